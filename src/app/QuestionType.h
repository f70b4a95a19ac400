#pragma once
// The two kinds of question the editor makes, in the order of its type
// options (optType_0, optType_1).

enum class QuestionType { MultipleChoice = 0, TrueFalse = 1 };
