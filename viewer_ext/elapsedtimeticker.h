#ifndef ELAPSEDTIMETICKER_H
#define ELAPSEDTIMETICKER_H

#include <qcustomplot.h>

// Date-time labels "hh:mm:ss" in UTC, so that keys in seconds since the time base read as elapsed
// time. Tick steps are whole seconds a clock face uses (1, 2, 5, 10, 15, 30 s, 1, 2, 5 ... min):
// a label without fractions never stands at a fractional second.
class ElapsedTimeTicker : public QCPAxisTickerDateTime
{
public:
    ElapsedTimeTicker();

protected:
    double getTickStep(const QCPRange &range) override;
    int getSubTickCount(double tickStep) override;
};

#endif // ELAPSEDTIMETICKER_H
