#pragma once
// The question formats the program knows. The built-in ones (.ard, GIFT,
// Aiken, Moodle XML, CSV) are there from the start; a higher layer adds its
// own at start-up with add(), so this core never depends on it.

#include "exchange/QuestionFormat.h"

#include <memory>
#include <vector>

class QuestionFormatRegistry {
public:
    // The program's registry, with the built-in formats.
    static QuestionFormatRegistry &instance();

    QuestionFormatRegistry();   // holds the built-in formats
    QuestionFormatRegistry(const QuestionFormatRegistry &) = delete;
    QuestionFormatRegistry &operator=(const QuestionFormatRegistry &) = delete;

    // Adds a format, in place of one with the same short name.
    void add(std::unique_ptr<QuestionFormat> format);

    // In the order they were added, those with all the given capabilities.
    QList<const QuestionFormat *> formats(QuestionFormat::Capabilities wanted = QuestionFormat::NoCapability) const;
    const QuestionFormat *byShortName(const QString &shortName) const;
    // The first with the capabilities whose name filter takes the file's name.
    const QuestionFormat *forFileName(const QString &fileName, QuestionFormat::Capabilities wanted) const;
    // The short names, for usage texts: "ard, gift, ...".
    QStringList shortNames(QuestionFormat::Capabilities wanted = QuestionFormat::NoCapability) const;
    // The endings of the file names the formats take (".gift, .txt, ..."),
    // for a message that says which names are known.
    QString knownEndings(QuestionFormat::Capabilities wanted) const;

private:
    std::vector<std::unique_ptr<QuestionFormat>> m_formats;
};
