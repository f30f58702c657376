#ifndef DEVICEFRAMES_H
#define DEVICEFRAMES_H

#include <QByteArray>

// The byte layouts the two devices send.
class DeviceFrames
{
public:
    static constexpr int trackerFrameSize = 14;
    static constexpr int heightRecordSize = 6;

    // 14-byte tracker frame: AA AA, id (little-endian), 7 payload bytes, 8-bit sum, 55 55.
    static QByteArray trackerFrame(quint16 id, const QByteArray &payload);
    static QByteArray header(int objectCount);
    static QByteArray object(int id, double snr, double rCm, double vMs);
    static QByteArray result(int id, double snr, double rCm, double vMs);
    // The 11-bit velocity code: steps of 0.05 m/s, 1025..2047 negative, 1024 is +51.2.
    static int velocityCode(double vMs);

    // 6-byte height record: FE, a spare byte, height in centimetres (little-endian), two spare bytes.
    static QByteArray heightRecord(double metres);

private:
    static QByteArray trackedPayload(int id, double snr, double rCm, double vMs);
};

#endif // DEVICEFRAMES_H
