#include "replotthrottle.h"

#include <qcustomplot.h>

ReplotThrottle::ReplotThrottle(QCustomPlot *plot, QObject *parent)
    : QObject(parent)
    , plot(plot)
{
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &ReplotThrottle::replotNow);
}

void ReplotThrottle::request()
{
    if (timer.isActive())
        return; // the coming redraw shows this request's state too
    // A drawing that takes longer than a refresh gets as long a pause after it, so that the data
    // keeps flowing at any plot size.
    const qint64 gap = qMax<qint64>(refreshMs, lastDrawMs);
    if (!sinceLast.isValid() || sinceLast.elapsed() >= gap)
        replotNow();
    else
        timer.start(int(gap - sinceLast.elapsed()));
}

void ReplotThrottle::replotNow()
{
    QElapsedTimer drawing;
    drawing.start();
    if (plot)
        plot->replot(QCustomPlot::rpRefreshHint);
    lastDrawMs = drawing.elapsed();
    sinceLast.start();
}
