#include "logview/LargeLogView.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>

namespace {
constexpr QChar kShownLineFeed(0x240A);
constexpr int kMargin = 4;
}

LargeLogView::LargeLogView(QWidget *parent) : QAbstractScrollArea(parent)
{
    setObjectName(QStringLiteral("txtLargeLog"));
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    const QFontMetrics metrics(font());
    m_lineHeight = qMax(1, metrics.lineSpacing());
    m_charWidth = qMax(1, metrics.horizontalAdvance(QLatin1Char('M')));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
}

void LargeLogView::setLog(LogLineIndex index)
{
    m_index = std::move(index);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

void LargeLogView::updateScrollBars()
{
    // Scrolled by whole lines and whole columns: the ranges stay within int
    // for any log the viewer reads.
    const int rows = qMax(1, viewport()->height() / m_lineHeight);
    const int cols = qMax(1, (viewport()->width() - kMargin) / m_charWidth);
    const qsizetype lines = m_index.lineCount();
    const qsizetype longest = m_index.longestLine();
    verticalScrollBar()->setRange(0, int(qMax<qsizetype>(0, lines - rows)));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
    horizontalScrollBar()->setRange(0, int(qMax<qsizetype>(0, longest - cols + 1)));
    horizontalScrollBar()->setPageStep(cols);
    horizontalScrollBar()->setSingleStep(1);
}

void LargeLogView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void LargeLogView::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::Text));
    const int rows = viewport()->height() / m_lineHeight + 1;
    const int cols = viewport()->width() / m_charWidth + 2;
    const qsizetype first = verticalScrollBar()->value();
    const qsizetype column = horizontalScrollBar()->value();
    const int ascent = QFontMetrics(font()).ascent();
    for (int row = 0; row < rows && first + row < m_index.lineCount(); ++row) {
        const QStringView line = m_index.line(first + row);
        if (line.size() <= column)
            continue;
        QString shown = line.mid(column, cols).toString();
        shown.replace(QLatin1Char('\n'), kShownLineFeed);
        painter.drawText(kMargin, row * m_lineHeight + ascent, shown);
    }
}
