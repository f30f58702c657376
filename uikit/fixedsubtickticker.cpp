#include "fixedsubtickticker.h"

FixedSubTickTicker::FixedSubTickTicker(int subTickCount)
    : subTicks(subTickCount)
{
}

int FixedSubTickTicker::getSubTickCount(double tickStep)
{
    Q_UNUSED(tickStep)
    return subTicks;
}

void FixedSubTickTicker::install(QCPAxis *axis, int tickCount, int subTickCount)
{
    QSharedPointer<FixedSubTickTicker> ticker(new FixedSubTickTicker(subTickCount));
    ticker->setTickCount(tickCount);
    axis->setTicker(ticker);
}
