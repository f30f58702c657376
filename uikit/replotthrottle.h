#ifndef REPLOTTHROTTLE_H
#define REPLOTTHROTTLE_H

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QCustomPlot;

// Merges redraw requests: at most one redraw per display refresh, and none later than one
// refresh after the request. Data arrives far faster than a screen can show it.
class ReplotThrottle : public QObject
{
    Q_OBJECT

public:
    static constexpr int refreshMs = 16;

    explicit ReplotThrottle(QCustomPlot *plot, QObject *parent = nullptr);

    void request();
    bool pending() const { return timer.isActive(); }

private:
    void replotNow();

    QPointer<QCustomPlot> plot;
    QTimer timer;
    QElapsedTimer sinceLast;
};

#endif // REPLOTTHROTTLE_H
