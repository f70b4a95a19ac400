#pragma once
// The learning-platform packages as formats of the question format registry,
// written only: "scorm12" and "scorm2004". The pass mark comes with the test
// (ExportSource::passPercent).

#include "exchange/QuestionFormat.h"
#include "webquiz/ScormPackage.h"

class QuestionFormatRegistry;

class ScormFormat final : public WritableQuestionFormat {
public:
    explicit ScormFormat(ScormVersion version) : m_version(version) {}

    QString shortName() const override;
    FileFilter nameFilter() const override;
    ScormVersion version() const { return m_version; }
    // The package in memory (for standard output).
    WriteResult write(const ExportSource &test) const override;
    // The package streamed into its file: media are read as it is written.
    std::optional<ExchangeReport> writeFile(const ExportSource &test, const QString &path) const override;

    // Adds both versions to the registry (the program's own by default).
    static void registerInto(QuestionFormatRegistry &registry);
    static void registerFormats();

private:
    ScormVersion m_version;
};
