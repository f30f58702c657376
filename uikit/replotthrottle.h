#ifndef REPLOTTHROTTLE_H
#define REPLOTTHROTTLE_H

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class QCustomPlot;

// Merges redraw requests: at most one redraw per display refresh, and none later than one
// refresh after the request. Data arrives far faster than a screen can show it. A redraw slower
// than a refresh is followed by an equal pause, so drawing never takes more than half the thread.
class ReplotThrottle : public QObject
{
    Q_OBJECT

public:
    static constexpr int refreshMs = 16;

    explicit ReplotThrottle(QCustomPlot *plot, QObject *parent = nullptr);

    void request();

private:
    void replotNow();

    QPointer<QCustomPlot> plot;
    QTimer timer;
    QElapsedTimer sinceLast;   // since the end of the last redraw
    qint64 lastDrawMs = 0;
};

#endif // REPLOTTHROTTLE_H
