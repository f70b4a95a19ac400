// The class results' bar charts drawn by Qt Charts (see ChartDrawing.h).
#include "logview/ChartDrawing.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QPainter>
#include <QValueAxis>

namespace {

QChart *newChart(const BarChart &spec)
{
    auto *set = new QBarSet(spec.seriesName);
    set->append(spec.values);
    set->setColor(QColor(0x4A, 0x6F, 0xD8));
    auto *series = new QBarSeries;
    series->append(set);
    auto *chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->addSeries(series);
    chart->setTitle(spec.title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *x = new QBarCategoryAxis;
    x->append(spec.categories);
    // Short labels ("10", "90") are whole even under narrow bars.
    x->setTruncateLabels(false);
    auto *y = new QValueAxis;
    y->setRange(0, spec.maximum);
    y->setLabelFormat(spec.valueFormat);
    if (spec.tickInterval > 0) {
        y->setTickType(QValueAxis::TicksDynamic);
        y->setTickAnchor(0);
        y->setTickInterval(spec.tickInterval);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    return chart;
}

class QtChartDrawing : public ChartDrawing {
public:
    QWidget *newView(QWidget *parent) override
    {
        auto *view = new QChartView(parent);
        view->setRenderHint(QPainter::Antialiasing);
        return view;
    }

    void show(QWidget *view, const BarChart &chart) override
    {
        // The view owns its chart: setting a new one deletes the old.
        if (auto *chartView = qobject_cast<QChartView *>(view))
            chartView->setChart(newChart(chart));
    }

    QImage picture(const BarChart &spec, const QSize &size) override
    {
        // Laid out in a scene of its own: a view that is never shown never
        // lays its chart out.
        QGraphicsScene scene;
        QChart *chart = newChart(spec);
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
};

}

extern "C" Q_DECL_EXPORT ChartDrawing *ardeno_create_chart_drawing(int version)
{
    return version == kChartDrawingInterfaceVersion ? new QtChartDrawing : nullptr;
}
