// What one frame costs the viewer_ext window, with a short plot and with up to ten minutes of points
// (359000 points is ten minutes of the line rate with three objects per measurement).
// Runs the real window and reports, for each store size, the wall time per frame of the whole chain
// (decoder, table, label, plot store and the merged redraws), and for comparison what handing a
// slot's whole series to its graph costs, which an append per point avoids.
#include <QApplication>
#include <QElapsedTimer>
#include <QVector>

#include <cmath>
#include <cstdio>

#include <qcustomplot.h>

#include "graph_plotter.h"
#include "mainwindow.h"
#include "devicemodel.h"
#include "serialtop.h"

namespace {

// Smooth distances, as moving targets give: a triangle wave per object.
double path(int object, double t)
{
    const double period = 7.0 + 3.0 * object;
    const double x = std::fmod(t + object * 2.1, period) / period;
    return 40 + 440 * (x < 0.5 ? 2 * x : 2 - 2 * x);
}

void measure(int storePoints)
{
    MainWindow window;
    window.resize(1200, 800);
    window.show();
    QCoreApplication::processEvents();
    graph_plotter *plotter = window.GraphPlotter();
    const qint64 start = 1700000000000;
    double nowMs = double(start);
    plotter->setClock([&nowMs] { return qint64(nowMs); });

    // Arm the time base, then fill the store: one result and three objects per measurement,
    // keys spread over the 585 s before the run.
    QMetaObject::invokeMethod(&window, "on_rcvSels", Qt::DirectConnection, Q_ARG(int, 1), Q_ARG(float, 100.f),
                              Q_ARG(float, 0.f), Q_ARG(float, 0.f));
    const int measurements = storePoints / 4;
    const double spanMs = 585000.0;
    for (int i = 0; i < measurements; ++i) {
        const double t = double(start) + spanMs * i / qMax(1, measurements);
        const double s = (t - double(start)) / 1000.0;
        plotter->AddPoint(0, t, path(0, s));
        for (int k = 0; k < 3; ++k)
            plotter->AddPoint(1, t, path(k, s));
    }
    nowMs = double(start) + spanMs;
    window.findChild<QCheckBox *>(QStringLiteral("checkBox_VisibleObj"))->click();

    // The decoder's output for each measurement goes to the window as the queued signals would.
    SerialTop decoder;
    QObject::connect(&decoder, &SerialTop::rcvNewMeas, &window, [&] {
        QMetaObject::invokeMethod(&window, "on_rcvNewMeas", Qt::DirectConnection);
    });
    QObject::connect(&decoder, &SerialTop::rcvObjs, &window,
                     [&](QVector<int> id, QVector<float> r, QVector<float> v, QVector<float> snr, int size) {
                         QMetaObject::invokeMethod(&window, "on_rcvObjs", Qt::DirectConnection,
                                                   Q_ARG(QVector<int>, id), Q_ARG(QVector<float>, r),
                                                   Q_ARG(QVector<float>, v), Q_ARG(QVector<float>, snr),
                                                   Q_ARG(int, size));
                     });
    QObject::connect(&decoder, &SerialTop::rcvSels, &window, [&](int id, float r, float v, float snr) {
        QMetaObject::invokeMethod(&window, "on_rcvSels", Qt::DirectConnection, Q_ARG(int, id), Q_ARG(float, r),
                                  Q_ARG(float, v), Q_ARG(float, snr));
    });

    int replots = 0;
    QObject::connect(window.findChild<QCustomPlot *>(QStringLiteral("widget_plot")), &QCustomPlot::afterReplot,
                     [&replots] { ++replots; });

    // 1500 measurements (7500 frames, 10 s of line time) as fast as the window takes them.
    DeviceModel device(DeviceModel::Tracker, 3, 1);
    const double lineMsPerMeasurement = 5 * 14 * 11 * 1000.0 / 115200.0;
    const int runMeasurements = 1500;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < runMeasurements; ++i) {
        nowMs += lineMsPerMeasurement;
        QByteArray bytes;
        for (const QByteArray &f : device.next(i * lineMsPerMeasurement / 1000.0))
            bytes += f;
        QMetaObject::invokeMethod(&decoder, "_logRx", Qt::DirectConnection, Q_ARG(QByteArray, bytes));
        QCoreApplication::processEvents();
    }
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double frames = runMeasurements * 5.0;
    const int held = plotter->Keys(0).size() + plotter->Keys(1).size();

    QElapsedTimer draw;
    draw.start();
    window.findChild<QCustomPlot *>(QStringLiteral("widget_plot"))->replot(QCustomPlot::rpImmediateRefresh);
    const double drawMs = draw.nsecsElapsed() / 1e6;

    QCPGraph *graph = plotter->Graph(1);
    QElapsedTimer whole;
    whole.start();
    graph->setData(plotter->Keys(1), plotter->Values(1));
    const double wholeMs = whole.nsecsElapsed() / 1e6;

    std::printf("store %6d -> %6d points: %6.1f us per frame with redraws (%5.0f frames/s possible, line 748); "
                "%3.0f redraws/s, one redraw %.1f ms; the whole slot-1 series to its graph: %.2f ms\n",
                storePoints, held, seconds * 1e6 / frames, frames / seconds, replots / seconds, drawMs, wholeMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    for (int n : {1000, 100000, 359000, 450000})
        measure(n);
    return 0;
}
