#pragma once
// The test a class took, when it is known: result logs name their test by
// its identity ("Test id:") but hold no question texts, so the texts come
// from the test file. Found by its identity beside the logs (a live class's
// results folder lies beside its test), among the recent files, or opened
// by the teacher.

#include "classresults/ItemAnalysis.h"

#include <QString>
#include <QStringList>

struct ClassTest {
    QString path;
    QString id;
    QString title;
    QStringList texts;        // per question: its text ("" for a damaged record)
    QStringList rightTexts;   // per question: "C: Nile", "True", or ""

    bool isKnown() const { return !id.isEmpty(); }

    // The test at `path`; unknown (with the reason) when it cannot be read.
    static ClassTest read(const QString &path, QString *reason = nullptr);
    // The first test with identity `id` in `folders` (the test files in each,
    // at most a few hundred looked at per folder) or among `files`;
    // unknown when none has it.
    static ClassTest find(const QString &id, const QStringList &folders, const QStringList &files = {});
    // Where a class's test is looked for: the folders of its logs and the
    // folders around them.
    static QStringList foldersAround(const QStringList &logFiles);

    // Gives each question of `figures` its text and right answer's text.
    void annotate(ClassFigures &figures) const;
};
