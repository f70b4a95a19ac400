#pragma once
// The results a teacher has opened for a class: each result read, the logs
// that were no web-quiz results, and those that could not be read. Which
// test the class took is decided by the results themselves (the test most
// of them name); a result of another test, and a student's earlier attempt
// when the same student handed in again, are flagged, and the filter
// decides whether they are shown.

#include "classresults/ResultLog.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

struct ResultNotice {
    QString file;
    QString reason;
};

class ClassResults {
public:
    struct Filter {
        bool showOtherTests = false;
        bool latestAttemptOnly = false;
    };

    // Adds what reading one file gave; a file already added is not added
    // again.
    void add(const ResultRead &read, const QString &path);
    // Whether a log only its owner may read is among those added: the
    // class's spreadsheet and report are then made for the owner alone.
    bool holdsPrivateLogs() const { return m_private; }

    const QList<StudentResult> &results() const { return m_results; }
    const QStringList &notResults() const { return m_notResults; }
    const QList<ResultNotice> &unreadable() const { return m_unreadable; }
    bool isEmpty() const { return m_results.isEmpty(); }

    // The class's test: its title and number of questions (0 with no result).
    QString testTitle() const;
    // The class's test's identity ("" when its results name none).
    QString testId() const;
    int questionCount() const;

    // Flags of result i.
    bool isOtherTest(int i) const;
    // The same student (name, letter case and blanks aside) handed in more
    // than one result of the class's test.
    int attemptsOf(int i) const;
    // This result is not that student's latest.
    bool isEarlierAttempt(int i) const;
    // The attempt the figures count of a student who handed in more than
    // once: the first (what the class knew when first tested), or the
    // latest with View > "Latest Attempt Only".
    bool isCountedAttempt(int i, const Filter &filter) const;
    // "another test", "attempt 1 of 2, counted", "two students with one
    // name?": what the table says of a result.
    QStringList flags(int i, const Filter &filter) const;
    QStringList flags(int i) const;   // under the default filter

    // The results shown under the filter, in the order they were added.
    QList<int> shown(const Filter &filter) const;
    // Of those, the results of the class's test, one attempt per student:
    // what the figures count.
    QList<int> counted(const Filter &filter) const;

private:
    bool m_private = false;
    struct Attempt {
        int number = 1;
        int of = 1;
        // Taken while another attempt of that name was under way: no one
        // retakes a test before finishing it, so two students share a name.
        bool overlaps = false;
    };
    // Decides the class's test and numbers each student's attempts, once
    // after results were added.
    void recount() const;

    QList<StudentResult> m_results;
    QStringList m_notResults;
    QList<ResultNotice> m_unreadable;
    QSet<QString> m_files;   // every file added (by the file itself), results or not
    mutable bool m_counted = true;
    mutable int m_reference = -1;   // a result of the class's test
    mutable QList<bool> m_other;
    mutable QList<Attempt> m_attempts;
};
