#pragma once
// The boundary between the class results and Qt Charts, which draws their
// bar charts, in a module of its own (libardeno_charts.so) loaded when the
// first chart is shown or printed: Qt Charts brings Qt's OpenGL libraries
// with it, which would cost every start of the editor. The module exports
// one extern "C" function, ardeno_create_chart_drawing(version), returning a
// new drawing or nullptr when it was built for another version of this
// interface.

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class QWidget;

// A bar chart of one series, as the class results show it.
struct BarChart {
    QString title;
    QString seriesName;
    QStringList categories;   // one per bar, along the bottom
    QList<qreal> values;
    qreal maximum = 100;      // the value axis runs from 0 to this
    QString valueFormat;      // of the value axis's labels, as printf's
    qreal tickInterval = 0;   // a tick every this much from 0; 0: the axis's own ticks
};

class ChartDrawing {
public:
    virtual ~ChartDrawing() = default;
    // A view showing charts (a QChartView), a child of `parent`.
    virtual QWidget *newView(QWidget *parent) = 0;
    // The view made by newView shows `chart` from now on.
    virtual void show(QWidget *view, const BarChart &chart) = 0;
    // `chart` drawn into a white picture of `size` pixels.
    virtual QImage picture(const BarChart &chart, const QSize &size) = 0;
};

constexpr int kChartDrawingInterfaceVersion = 1;
#define ARDENO_CHARTS_MODULE "ardeno_charts"
#define ARDENO_CHARTS_FACTORY "ardeno_create_chart_drawing"
