#pragma once
// The web quiz as a format of the question format registry: written only
// (a page to take the test in, not a file to read questions from). This
// layer adds it to the registry at start-up, as the core cannot know it.

#include "exchange/QuestionFormat.h"

class QuestionFormatRegistry;

class WebQuizFormat final : public WritableQuestionFormat {
public:
    QString shortName() const override { return QStringLiteral("web"); }
    FileFilter nameFilter() const override;
    // A media file that is missing or cannot be used is a question that
    // went across without part of it; each conversion and the page's size
    // are notes.
    WriteResult write(const ExportSource &test) const override;
    // The page streamed into its file: its media are read from their files
    // as it is written, never held whole.
    std::optional<ExchangeReport> writeFile(const ExportSource &test, const QString &path) const override;

    // Adds the format, and the learning-platform packages made of the same
    // page, to the registry (the program's own by default).
    static void registerInto(QuestionFormatRegistry &registry);
    static void registerFormat();
};
