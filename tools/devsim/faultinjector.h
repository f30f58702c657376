#ifndef FAULTINJECTOR_H
#define FAULTINJECTOR_H

#include <QByteArray>
#include <QRandomGenerator>

#include "devicemodel.h"

// Spoils a share of the frames the way a noisy line or a faulty device would.
class FaultInjector
{
public:
    struct Shares
    {
        double badCrc = 0;
        double badEnd = 0;
        double stray = 0;
        double loseByte = 0;
    };
    struct Counts
    {
        qint64 badCrc = 0;
        qint64 badEnd = 0;
        qint64 stray = 0;
        qint64 lostBytes = 0;
    };

    FaultInjector(DeviceModel::Kind kind, const Shares &shares, quint32 seed);

    // The bytes to send for one frame, with the gap before it.
    QByteArray apply(QByteArray frame);
    const Counts &counts() const { return done; }

private:
    bool happens(double share);

    DeviceModel::Kind kind;
    Shares shares;
    QRandomGenerator random;
    Counts done;
};

#endif // FAULTINJECTOR_H
