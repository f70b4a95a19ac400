#include "logview/ClassCharts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QValueAxis>

namespace {
QChart *barChart(const QString &title, const QString &setName, const QStringList &categories,
                 const QList<qreal> &values, qreal maximum, const QString &valueFormat)
{
    auto *set = new QBarSet(setName);
    set->append(values);
    set->setColor(QColor(0x4A, 0x6F, 0xD8));
    auto *series = new QBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->addSeries(series);
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *x = new QBarCategoryAxis;
    x->append(categories);
    // Short labels ("10", "90") are whole even under narrow bars.
    x->setTruncateLabels(false);
    auto *y = new QValueAxis;
    y->setRange(0, maximum);
    y->setLabelFormat(valueFormat);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    return chart;
}
}

namespace ClassCharts {
QChart *distribution(const ClassFigures &figures)
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
    QChart *chart = barChart(QObject::tr("Students per score band (percent)"), QObject::tr("Students"), bands, counts, top,
                             QStringLiteral("%d"));
    auto *axis = static_cast<QValueAxis *>(chart->axes(Qt::Vertical).first());
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(step);
    return chart;
}

QChart *facility(const ClassFigures &figures)
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
    return barChart(QObject::tr("Right answers per question (percent)"), QObject::tr("Facility"), questions, shares,
                    100, QStringLiteral("%d%%"));
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

QImage picture(QChart *chart, const QSize &size)
{
    // Laid out in a scene of its own: a view that is never shown never
    // lays its chart out.
    QGraphicsScene scene;
    scene.addItem(chart);   // the scene deletes it
    chart->setGeometry(QRectF(QPointF(0, 0), QSizeF(size)));
    chart->layout()->activate();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)), QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}
}
