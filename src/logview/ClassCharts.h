#pragma once
// The class results' two charts, made from the figures the table shows:
// the score distribution (students per 10-percent band) and the facility
// of each question (the share right, in question order). The window shows
// them; the class report draws them as pictures.

#include "classresults/ItemAnalysis.h"

#include <QImage>
#include <QSize>

class QChart;

namespace ClassCharts {
QChart *distribution(const ClassFigures &figures);
QChart *facility(const ClassFigures &figures);
// Every how many questions the facility chart names one (and question 1):
// at most about a dozen names, so they stand apart at any font size.
int labelStep(int questions);
// The charts' numbers as text, for screen readers ("90 to 100 percent: 14").
QString distributionText(const ClassFigures &figures);
QString facilityText(const ClassFigures &figures);
// A chart drawn into a picture of `size` pixels (the chart is deleted).
QImage picture(QChart *chart, const QSize &size);
}
