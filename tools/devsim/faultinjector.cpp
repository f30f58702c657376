#include "faultinjector.h"

FaultInjector::FaultInjector(DeviceModel::Kind kind, const Shares &shares, quint32 seed)
    : kind(kind)
    , shares(shares)
    , random(seed ^ 0x5EED5EEDu)
{
}

bool FaultInjector::happens(double share)
{
    return share > 0 && random.generateDouble() < share;
}

QByteArray FaultInjector::apply(QByteArray frame)
{
    QByteArray out;
    if (happens(shares.stray)) {
        // Noise that cannot be taken for a sync or lead byte, so the frames around it survive.
        const uchar avoid = kind == DeviceModel::Tracker ? 0xAA : 0xFE;
        const int n = 1 + int(random.bounded(3));
        for (int i = 0; i < n; ++i) {
            uchar b = uchar(random.bounded(256));
            if (b == avoid)
                b ^= 0x01;
            out.append(char(b));
        }
        ++done.stray;
    }
    if (kind == DeviceModel::Tracker && frame.size() == 14) {
        if (happens(shares.badEnd)) {
            frame[13] = char(0x00);
            ++done.badEnd;
        } else if (happens(shares.badCrc)) {
            frame[11] = char(uchar(frame[11]) ^ 0x5A);
            ++done.badCrc;
        }
    }
    if (happens(shares.loseByte) && !frame.isEmpty()) {
        frame.remove(int(random.bounded(frame.size())), 1);
        ++done.lostBytes;
    }
    out.append(frame);
    return out;
}
