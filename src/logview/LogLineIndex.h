#pragma once
// The lines of a score log's CR LF text, found once: where each line starts
// and how long the longest is. The large-log view draws from it only the
// lines on screen, so a log of millions of lines or of one line of millions
// of characters is never laid out as a whole.

#include <QList>
#include <QString>
#include <QStringView>

class LogLineIndex {
public:
    LogLineIndex() = default;
    // `crlfText`: every line ended by CR LF (as ScoreLog::textFromBytes gives it).
    explicit LogLineIndex(QString crlfText);

    const QString &text() const { return m_text; }
    qsizetype lineCount() const { return m_starts.size(); }
    qsizetype longestLine() const { return m_longest; }
    // Line `i` (from 0) without its CR LF.
    QStringView line(qsizetype i) const;

    // Whether a text is better shown by the large-log view than by the text
    // box: a box lays out every line, and re-lays out a long line on each
    // blink of its caret.
    static bool isLarge(const QString &crlfText);

private:
    QString m_text;
    QList<qsizetype> m_starts;
    qsizetype m_longest = 0;
};
