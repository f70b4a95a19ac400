#pragma once
// Where everything on an answer sheet is, in millimetres on the sheet's own
// axes: the origin is the centre of the top-left corner marker, x to the
// right, y down. The printout draws by it and the scan reads by it, so a
// sheet is read exactly where it was drawn.
//
// Four filled square markers at the corners, the code at the top right, the
// heading beside it, then the questions in four columns, each a row of its
// number and its bubbles (A to D, or T and F), top to bottom, left to right.
// A hundred questions fit on one page of either paper.

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

enum class SheetPaper { A4, Letter };

class SheetLayout {
public:
    static constexpr int Columns = 4;
    static constexpr double MarkerSide = 10.0;
    static constexpr double BubbleRadius = 2.9;
    static constexpr double RowHeight = 7.5;
    static constexpr double BubbleStep = 8.5;
    static constexpr double CodeSide = 34.0;      // the code's square with its quiet zone

    explicit SheetLayout(SheetPaper paper = SheetPaper::A4);

    SheetPaper paper() const { return m_paper; }
    // The paper's size and where the top-left marker's centre is on it.
    QSizeF pageSize() const;
    QPointF originOnPage() const;
    // The centres of the markers, clockwise from the top left.
    QList<QPointF> markerCentres() const;
    QRectF markerRect(int corner) const;
    QRectF codeRect() const;
    // The heading's area left of the code, and the box the name goes in.
    QRectF headingRect() const;
    QRectF nameRect() const;
    double questionsTop() const { return 52.0; }
    int rowsPerColumn() const;
    int capacity() const { return rowsPerColumn() * Columns; }

    // Question `place` (0-based, as printed): its row's rectangle, the
    // number's box and the centre of bubble `option` (0-based).
    QRectF rowRect(int place) const;
    QRectF numberRect(int place) const;
    QPointF bubbleCentre(int place, int option) const;

    // "a4" or "letter"; false for any other word.
    static bool paperFromName(const QString &name, SheetPaper *paper);
    static QString paperName(SheetPaper paper);

private:
    QSizeF markerSpan() const;   // from the top-left marker's centre to the bottom-right one's
    SheetPaper m_paper;
};
