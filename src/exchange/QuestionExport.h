#pragma once
// Writing a test into a file of another format. The file is replaced only
// once it is completely written; for a format whose file names its media
// (.ard, CSV), the media files are copied beside it first, as a save does.
// Written to standard output ("-"), such a file names its media as the test
// does, and nothing is copied.

#include "exchange/QuestionFormatRegistry.h"

struct ExportRequest {
    QString path;                             // "-": standard output
    const QuestionFormat *format = nullptr;   // nullptr: chosen by the file's name
    ExportSource source;
    WorkProgress *progress = nullptr;         // reported to, and asked whether to stop
};

ExchangeReport exportQuestions(const ExportRequest &request,
                               const QuestionFormatRegistry &registry = QuestionFormatRegistry::instance());
