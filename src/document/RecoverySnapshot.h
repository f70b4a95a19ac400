#pragma once
// What the editor holds that a teacher would lose if the program ended now:
// the test (title, class/teacher line, questions), the file it came from, and
// the question being typed in the entry area. Plain values, no widgets, so
// the recovery copy can be written, read and compared anywhere.

#include "document/TestCompanion.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>

// The entry area: both question frames keep their contents, so both are kept.
struct EntryArea {
    int type = 0;                        // 0 multiple choice, 1 true/false
    QString mcQuestion;                  // line breaks as CR LF, as the record holds them
    std::array<QString, 4> mcAnswers;
    int mcCorrect = 0;                   // 0 to 3
    QString mcMedia = QStringLiteral("none");
    QString mcDescription;               // of the media, as typed
    QString tfQuestion;
    int tfAnswer = 0;                    // 0 true, 1 false
    QString tfMedia = QStringLiteral("none");
    QString tfDescription;
    int editing = 0;                     // the question being edited (1 to N), 0 when adding

    // Nothing typed: no question text, no answer, no media chosen.
    bool isBlank() const;
    bool operator==(const EntryArea &other) const;
    bool operator!=(const EntryArea &other) const { return !(*this == other); }
};

struct EditorSnapshot {
    QString title;
    QString teacher;
    QStringList records;                 // questions 1 to N
    TestCompanion companion;             // the test's language, the media descriptions
    QString originalPath;                // the test's file, "" for an untitled test
    QString testFolder;                  // where its bare media names are found
    EntryArea entry;

    // An editor with nothing in it: no title, no class/teacher line, no
    // questions and nothing typed. Such work is never kept.
    bool isEmpty() const;
    // The same title, class/teacher line and questions, whatever the file
    // name and the entry area.
    bool sameTest(const EditorSnapshot &other) const;
    bool operator==(const EditorSnapshot &other) const;
    bool operator!=(const EditorSnapshot &other) const { return !(*this == other); }
};

// A snapshot as kept in the recovery folder, with the time it last changed.
struct RecoveryCopy {
    EditorSnapshot work;
    QDateTime lastChange;
};
