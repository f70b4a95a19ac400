#pragma once
// Answer sheets for a class, one a student, drawn on the print surface
// (the default printer or a PDF) by SheetLayout: the markers and the code
// the scan finds the sheet by, the test's title and class line, the date,
// the student's name (or a box for it on a numbered sheet), the version,
// and every question's number with its bubbles, each holding its letter as
// text (A to D, T and F).

#include "paper/SheetLayout.h"

#include <QDate>
#include <QString>
#include <QStringList>

class PrintSurface;
class WorkProgress;

struct AnswerSheetRun {
    QString title;
    QString teacher;
    QStringList records;          // the test's questions, in its own order
    QStringList names;            // one sheet each; empty: `count` numbered sheets
    int count = 0;
    int versions = 1;             // 1 to 4, given out in turn
    SheetPaper paper = SheetPaper::A4;
    QDate date = QDate::currentDate();

    int sheetCount() const { return names.isEmpty() ? count : int(names.size()); }
    // Sheet `sheet` (1-based): the version it carries.
    int versionOf(int sheet) const { return (sheet - 1) % qMax(1, versions) + 1; }
    // Why the run cannot be printed ("" when it can): no questions, more
    // than a sheet holds, no students, a version count outside 1 to 4.
    QString problem() const;
};

namespace AnswerSheetPrintout {
// Draws every sheet and ends the document; false with the surface's
// reason, or on Cancel (nothing is sent and no PDF is left).
bool print(PrintSurface &surface, const AnswerSheetRun &run, WorkProgress *progress = nullptr);
}
