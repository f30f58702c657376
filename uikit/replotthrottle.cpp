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
    if (!sinceLast.isValid() || sinceLast.elapsed() >= refreshMs)
        replotNow();
    else
        timer.start(int(refreshMs - sinceLast.elapsed()));
}

void ReplotThrottle::replotNow()
{
    sinceLast.start();
    if (plot)
        plot->replot(QCustomPlot::rpRefreshHint);
}
