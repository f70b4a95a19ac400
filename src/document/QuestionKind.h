#pragma once
// The kind of a question, by the first character of its record ("m" multiple
// choice, "t" true/false); in the order of the editor's type options
// (optType_0, optType_1). Unknown: a record of some other kind, which every
// reader skips in its own way.

enum class QuestionKind { MultipleChoice = 0, TrueFalse = 1, Unknown = 2 };
