#pragma once
// A read-only view of a large score log: it keeps the log's line index and
// draws only the lines (and, of a long line, only the characters) that are on
// screen, so opening a log of millions of lines takes a moment and nothing
// runs once it is shown. Lines are drawn in a fixed-pitch font, so that a
// column is found without measuring the line before it; a lone LF inside a
// line is shown as the sign U+240A, as in the text box.

#include "logview/LogLineIndex.h"

#include <QAbstractScrollArea>

class LargeLogView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit LargeLogView(QWidget *parent = nullptr);

    void setLog(LogLineIndex index);
    const LogLineIndex &log() const { return m_index; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateScrollBars();

    LogLineIndex m_index;
    int m_lineHeight = 1;
    int m_charWidth = 1;
};
