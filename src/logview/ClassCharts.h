#pragma once
// The class results' two charts, made from the figures the table shows:
// the score distribution (students per 10-percent band) and the facility
// of each question (the share right, in question order). The window shows
// them; the class report draws them as pictures. Qt Charts draws them, from
// a module loaded with the first chart (ChartDrawing.h).

#include "classresults/ItemAnalysis.h"
#include "logview/ChartDrawing.h"

namespace ClassCharts {
BarChart distribution(const ClassFigures &figures);
BarChart facility(const ClassFigures &figures);
// Every how many questions the facility chart names one (and question 1):
// at most about a dozen names, so they stand apart at any font size.
int labelStep(int questions);
// The charts' numbers as text, for screen readers ("90 to 100 percent: 14").
QString distributionText(const ClassFigures &figures);
QString facilityText(const ClassFigures &figures);
// What draws the charts, loaded on first use and kept for the program's
// life; nullptr with the reason in *error when its module cannot be had.
ChartDrawing *drawing(QString *error = nullptr);
// A chart drawn into a picture of `size` pixels; a null picture when the
// charts cannot be drawn.
QImage picture(const BarChart &chart, const QSize &size);
}
