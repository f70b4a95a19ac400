#include "logview/ClassCharts.h"

#include "platform/ModuleLoader.h"

namespace ClassCharts {
BarChart distribution(const ClassFigures &figures)
{
    QStringList bands;
    QList<qreal> counts;
    int most = 1;
    for (int b = 0; b < figures.bands.size(); ++b) {
        // Each band by where it starts: "0" holds 0-9%, "90" 90-100%.
        bands << QString::number(b * 10);
        counts << figures.bands[b];
        most = std::max(most, figures.bands[b]);
    }
    // Whole students on a step of 1, 2, 5, 10, 20... with at most six
    // labels: fractional ticks printed as whole numbers crowd each other
    // and are elided ("…") on paper.
    int step = 1;
    for (const int factor : {2, 5, 10, 20, 50, 100, 200, 500, 1000})
        if (most / step > 5)
            step = factor;
    const int top = (most + step - 1) / step * step;
    return {QObject::tr("Students per score band (percent)"), QObject::tr("Students"), bands, counts, qreal(top),
            QStringLiteral("%d"), qreal(step)};
}

BarChart facility(const ClassFigures &figures)
{
    QStringList questions;
    QList<qreal> shares;
    for (const QuestionFigures &q : figures.questions) {
        // A dozen labels at most, whatever the font's size (the axis needs
        // labels that differ, so the others are invisible ones of different
        // lengths).
        const int step = labelStep(int(figures.questions.size()));
        questions << (q.number % step == 0 || q.number == 1 ? QString::number(q.number) : QString(q.number, QChar(0x200B)));
        shares << q.facility * 100;
    }
    return {QObject::tr("Right answers per question (percent)"), QObject::tr("Facility"), questions, shares, 100,
            QStringLiteral("%d%%"), 0};
}

int labelStep(int questions)
{
    for (const int step : {1, 2, 5, 10})
        if (questions <= 12 * step)
            return step;
    return 10;
}

QString distributionText(const ClassFigures &figures)
{
    QStringList parts;
    for (int b = 0; b < figures.bands.size(); ++b)
        parts << QObject::tr("%1 to %2 percent: %3").arg(b * 10).arg(b == 9 ? 100 : b * 10 + 9).arg(figures.bands[b]);
    return parts.join(QStringLiteral("; "));
}

QString facilityText(const ClassFigures &figures)
{
    QStringList parts;
    for (const QuestionFigures &q : figures.questions)
        parts << QObject::tr("Q%1: %2 percent").arg(q.number).arg(qRound(q.facility * 100));
    return parts.join(QStringLiteral("; "));
}

ChartDrawing *drawing(QString *error)
{
    return ModuleLoader::shared<ChartDrawing>(QStringLiteral(ARDENO_CHARTS_MODULE), ARDENO_CHARTS_FACTORY,
                                              kChartDrawingInterfaceVersion, error);
}

QImage picture(const BarChart &chart, const QSize &size)
{
    ChartDrawing *d = drawing();
    return d ? d->picture(chart, size) : QImage();
}
}
