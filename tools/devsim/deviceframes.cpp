#include "deviceframes.h"

#include <QtGlobal>

#include <cmath>

QByteArray DeviceFrames::trackerFrame(quint16 id, const QByteArray &payload)
{
    QByteArray f;
    f.reserve(trackerFrameSize);
    f.append(char(0xAA)).append(char(0xAA));
    f.append(char(id & 0xFF)).append(char(id >> 8));
    uint sum = 0;
    for (int i = 0; i < 7; ++i) {
        const char b = i < payload.size() ? payload.at(i) : char(0);
        f.append(b);
        sum += uchar(b);
    }
    f.append(char(sum & 0xFF));
    f.append(char(0x55)).append(char(0x55));
    return f;
}

QByteArray DeviceFrames::header(int objectCount)
{
    QByteArray p(7, 0);
    p[0] = char(qBound(0, objectCount, 255));
    return trackerFrame(0x070B, p);
}

int DeviceFrames::velocityCode(double vMs)
{
    const int signedCode = qBound(-1023, int(std::lround(vMs / 0.05)), 1024);
    return signedCode < 0 ? signedCode + 2048 : signedCode;
}

QByteArray DeviceFrames::trackedPayload(int id, double snr, double rCm, double vMs)
{
    QByteArray p(7, 0);
    const int r = qBound(0, int(std::lround(rCm)), 65535);
    const int code = velocityCode(vMs);
    p[0] = char(qBound(0, id, 255));
    p[1] = char(qBound(0, int(std::lround(snr)), 255));
    p[2] = char(r & 0xFF);
    p[3] = char(r >> 8);
    p[5] = char((code >> 8) & 0x07);
    p[6] = char(code & 0xFF);
    return p;
}

QByteArray DeviceFrames::object(int id, double snr, double rCm, double vMs)
{
    return trackerFrame(0x070C, trackedPayload(id, snr, rCm, vMs));
}

QByteArray DeviceFrames::result(int id, double snr, double rCm, double vMs)
{
    return trackerFrame(0x070D, trackedPayload(id, snr, rCm, vMs));
}

QByteArray DeviceFrames::heightRecord(double metres)
{
    const int raw = qBound(0, int(std::lround(metres * 100.0)), 65535);
    QByteArray r(heightRecordSize, 0);
    r[0] = char(0xFE);
    r[2] = char(raw & 0xFF);
    r[3] = char(raw >> 8);
    return r;
}
