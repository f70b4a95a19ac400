#pragma once
// What an import or an export did: the questions that went across, one line
// for each thing that could have gone and did not (with its question number
// or source line), notes said once about what a test has no place for, and
// the reason when nothing went across at all.

#include <QHash>
#include <QString>
#include <QStringList>

class ExchangeReport {
public:
    // Nothing went across. line > 0 names the source line ("Line 12: ...").
    void fail(const QString &message, int line = 0);
    // The export was stopped by its Cancel: nothing went across.
    void failCancelledExport();
    // One question, or one part of it, stayed behind: "Line 12: why".
    void skip(const QString &where, const QString &why);
    // `count` more questions stayed behind for `why`, counted under that
    // reason without a line each.
    void skipUnlisted(const QString &why, int count);
    // Something the source holds that a test has no place for (names,
    // feedback, categories): each note is kept once.
    void note(const QString &text);
    // A skipped line for the characters of `text` that a test file cannot
    // hold and holds as "?" instead, when it has any.
    void skipUnstorable(const QString &where, const QString &text);
    void addCarried(int count = 1) { m_carried += count; }
    void setSummary(const QString &summary) { m_summary = summary; }
    // Puts the skipped lines in the order of their line or question numbers.
    void sortSkipped();
    // Takes over the other's skipped lines and notes (not its count).
    void absorb(const ExchangeReport &other);

    bool failed() const { return !m_error.isEmpty(); }
    // Everything went across.
    bool complete() const { return !failed() && m_skippedCount == 0; }
    QString error() const { return m_error; }
    // The skipped lines kept to be shown: the first ListedAtMost of them; a
    // file of a million bad blocks costs a count, not a million lines.
    const QStringList &skipped() const { return m_skipped; }
    // How many stayed behind in all, listed or not.
    int skippedCount() const { return m_skippedCount; }
    static constexpr int ListedAtMost = 300;
    const QStringList &notes() const { return m_notes; }
    int carried() const { return m_carried; }
    QString summary() const { return m_summary; }

    // The summary (or the error); for more than a few skipped lines, how
    // many stayed behind for each reason, most first; then the skipped lines,
    // then the notes.
    QString text() const;
    // "105 × it has 3 answers; ...": the skipped lines counted by reason
    // (numbers and quoted texts in a reason aside), most first.
    QStringList countsByReason() const;
    static constexpr int CountsFrom = 4;
    // ardeno-tool's exit status: 0 all went across, 3 something stayed behind, 1 failure.
    int exitStatus() const { return failed() ? 1 : complete() ? 0 : 3; }

    static QString atLine(int line);          // "Line 12"
    static QString atQuestion(int number);    // "Question 3"

private:
    QString m_error;
    QString m_summary;
    struct Reason {
        QString shown;   // the first line's own words
        int count = 0;
        qsizetype first = 0;
    };
    // `count` more stayed behind for `why` (a line's reason, after "Line 12: ").
    void countReason(const QString &why, int count);
    QStringList m_skipped;
    int m_skippedCount = 0;
    QHash<QString, Reason> m_reasons;   // by the reason with its details left out
    QStringList m_notes;
    int m_carried = 0;
};
