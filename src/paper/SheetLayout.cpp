#include "paper/SheetLayout.h"

#include <cmath>

namespace {
// The markers' centres this far in from the paper's edges: inside what any
// printer prints, on A4 and on Letter.
constexpr double kMarkerInset = 12.0;
constexpr double kColumnWidth = 46.5;
constexpr double kNumberWidth = 9.0;
}

SheetLayout::SheetLayout(SheetPaper paper) : m_paper(paper) {}

QSizeF SheetLayout::pageSize() const
{
    return m_paper == SheetPaper::Letter ? QSizeF(215.9, 279.4) : QSizeF(210.0, 297.0);
}

QPointF SheetLayout::originOnPage() const
{
    return {kMarkerInset, kMarkerInset};
}

QSizeF SheetLayout::markerSpan() const
{
    const QSizeF page = pageSize();
    return {page.width() - 2 * kMarkerInset, page.height() - 2 * kMarkerInset};
}

QList<QPointF> SheetLayout::markerCentres() const
{
    const QSizeF span = markerSpan();
    return {{0, 0}, {span.width(), 0}, {span.width(), span.height()}, {0, span.height()}};
}

QRectF SheetLayout::markerRect(int corner) const
{
    const QPointF c = markerCentres().value(corner);
    return {c.x() - MarkerSide / 2, c.y() - MarkerSide / 2, MarkerSide, MarkerSide};
}

QRectF SheetLayout::codeRect() const
{
    return {markerSpan().width() - MarkerSide / 2 - 2 - CodeSide, 4.0, CodeSide, CodeSide};
}

QRectF SheetLayout::headingRect() const
{
    const double left = MarkerSide / 2 + 3;
    return {left, -MarkerSide / 2, codeRect().left() - 3 - left, 26.0};
}

QRectF SheetLayout::nameRect() const
{
    const QRectF heading = headingRect();
    return {heading.left(), heading.bottom() + 2, heading.width(), 12.0};
}

int SheetLayout::rowsPerColumn() const
{
    const double bottom = markerSpan().height() - MarkerSide / 2 - 2;
    return int(std::floor((bottom - questionsTop()) / RowHeight));
}

QRectF SheetLayout::rowRect(int place) const
{
    const int rows = rowsPerColumn();
    const double columnsLeft = (markerSpan().width() - Columns * kColumnWidth) / 2;
    return {columnsLeft + (place / rows) * kColumnWidth, questionsTop() + (place % rows) * RowHeight, kColumnWidth,
            RowHeight};
}

QRectF SheetLayout::numberRect(int place) const
{
    const QRectF row = rowRect(place);
    return {row.left(), row.top(), kNumberWidth, row.height()};
}

QPointF SheetLayout::bubbleCentre(int place, int option) const
{
    const QRectF row = rowRect(place);
    return {row.left() + kNumberWidth + 1.5 + BubbleRadius + option * BubbleStep, row.center().y()};
}

bool SheetLayout::paperFromName(const QString &name, SheetPaper *paper)
{
    if (name.compare(QLatin1String("a4"), Qt::CaseInsensitive) == 0)
        *paper = SheetPaper::A4;
    else if (name.compare(QLatin1String("letter"), Qt::CaseInsensitive) == 0)
        *paper = SheetPaper::Letter;
    else
        return false;
    return true;
}

QString SheetLayout::paperName(SheetPaper paper)
{
    return paper == SheetPaper::Letter ? QStringLiteral("letter") : QStringLiteral("a4");
}
