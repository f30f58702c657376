#include "elapsedtimeticker.h"

ElapsedTimeTicker::ElapsedTimeTicker()
{
    setDateTimeSpec(Qt::UTC);
    setDateTimeFormat(QStringLiteral("hh:mm:ss"));
}

double ElapsedTimeTicker::getTickStep(const QCPRange &range)
{
    static const QVector<double> steps{1,      2,      5,      10,     15,      30,      60,      120,
                                       300,    600,    900,    1800,   3600,    7200,    3 * 3600, 6 * 3600,
                                       12 * 3600, 24 * 3600};
    const double exact = range.size() / (double(tickCount()) + 1e-10);
    if (exact > steps.last())
        return QCPAxisTickerDateTime::getTickStep(range);
    return pickClosest(exact, steps);
}

int ElapsedTimeTicker::getSubTickCount(double tickStep)
{
    // Sub-ticks at whole seconds (or minutes) where the step allows it.
    for (double unit : {3600.0, 60.0, 1.0}) {
        const double n = tickStep / unit;
        if (tickStep >= unit && n == double(int(n)) && n <= 10 && n > 1)
            return int(n) - 1;
    }
    return 4;
}
