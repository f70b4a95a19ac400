#pragma once
// What a test file has no room for, kept by this program in a file beside
// it (the quiz player never reads that file): the language the test is
// written in, and a description of each question's media, which a page
// gives as a picture's text alternative and shows as the transcript of a
// sound or a video.

#include <QString>
#include <QStringList>

struct TestCompanion {
    // A language tag as web pages write it ("fr", "pt-BR"); "" for none named.
    QString language;
    // Question i's description at index i - 1; "" for none. May be shorter
    // than the test: the missing ones are "".
    QStringList descriptions;
    // Each student of a web quiz, a platform's package or a live class sees
    // the questions, and the answers of each, in an order of their own.
    bool shuffle = false;

    // The description of question `number` (1 to N); "" for none.
    QString description(int number) const;
    // Nothing to keep: no language, no description, no shuffle.
    bool isEmpty() const;
    bool operator==(const TestCompanion &other) const;
    bool operator!=(const TestCompanion &other) const { return !(*this == other); }

    // The most a description holds (a transcript of a short clip); longer
    // ones are cut here wherever they come from.
    static constexpr int MaxDescription = 2000;
    // A description as kept: line breaks and tabs made blanks, runs of
    // blanks one, no blanks at the ends, at most MaxDescription characters.
    static QString cleanDescription(const QString &text);
    // A language tag as kept: "" unless it has the shape of one (letters,
    // digits and hyphens, starting with two or three letters, at most 35
    // characters); "fr_CA" is taken as "fr-CA".
    static QString cleanLanguage(const QString &tag);
};
