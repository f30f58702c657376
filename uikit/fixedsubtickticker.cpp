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
