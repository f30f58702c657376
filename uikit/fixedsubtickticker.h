#ifndef FIXEDSUBTICKTICKER_H
#define FIXEDSUBTICKTICKER_H

#include <qcustomplot.h>

// Automatic tick step, but a fixed number of sub-ticks between two ticks.
class FixedSubTickTicker : public QCPAxisTicker
{
public:
    explicit FixedSubTickTicker(int subTickCount);

    // Gives the axis such a ticker, aiming at tickCount ticks.
    static void install(QCPAxis *axis, int tickCount, int subTickCount);

protected:
    int getSubTickCount(double tickStep) override;

private:
    int subTicks = 0;
};

#endif // FIXEDSUBTICKTICKER_H
