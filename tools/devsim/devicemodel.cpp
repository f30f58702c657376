#include "devicemodel.h"

#include <cmath>

#include "deviceframes.h"

namespace {

constexpr double nearCm = 40;
constexpr double farCm = 480;

} // namespace

DeviceModel::DeviceModel(Kind kind, int objectCount, quint32 seed)
    : kind(kind)
    , random(seed)
{
    for (int i = 0; i < objectCount; ++i) {
        Target t;
        t.id = 1 + i;
        t.r0 = nearCm + random.bounded(farCm - nearCm);
        t.v = (random.bounded(2) ? 1 : -1) * (0.3 + random.bounded(2.7));
        t.snr = 12 + random.bounded(30.0);
        targets.append(t);
    }
}

int DeviceModel::framesPerMessage() const
{
    return kind == Tracker ? targets.size() + 2 : 1;
}

QVector<QByteArray> DeviceModel::next(double t)
{
    if (kind == Tracker)
        return trackerMeasurement(t);
    return {heightRecord(t)};
}

// Targets move at constant speed and turn round at the edges of the field of view.
double DeviceModel::targetRange(const Target &target, double t, double *velocity) const
{
    const double span = farCm - nearCm;
    double travelled = std::fmod(target.r0 - nearCm + target.v * 100.0 * t, 2 * span);
    if (travelled < 0)
        travelled += 2 * span;
    const bool outbound = travelled <= span;
    *velocity = outbound ? target.v : -target.v;
    return nearCm + (outbound ? travelled : 2 * span - travelled);
}

QVector<QByteArray> DeviceModel::trackerMeasurement(double t)
{
    QVector<QByteArray> frames;
    frames.reserve(targets.size() + 2);
    frames.append(DeviceFrames::header(targets.size()));

    int nearest = -1;
    double nearestR = 0, nearestV = 0, nearestSnr = 0;
    for (const Target &target : targets) {
        double v = 0;
        const double r = targetRange(target, t, &v) + random.bounded(6.0) - 3.0;
        const double snr = target.snr + random.bounded(4.0) - 2.0;
        frames.append(DeviceFrames::object(target.id, snr, r, v));
        if (nearest < 0 || r < nearestR) {
            nearest = target.id;
            nearestR = r;
            nearestV = v;
            nearestSnr = snr;
        }
    }
    if (nearest < 0) {
        frames.append(DeviceFrames::result(0, 0, 0, 0));
    } else {
        frames.append(DeviceFrames::result(nearest, nearestSnr, nearestR, nearestV));
    }
    return frames;
}

// A flight of 120 s repeated: climb to about 40 m, cruise with gusts, descend, stand on the ground.
QByteArray DeviceModel::heightRecord(double t)
{
    const double phase = std::fmod(t, 120.0);
    double h;
    if (phase < 20)
        h = 40.0 * (0.5 - 0.5 * std::cos(M_PI * phase / 20.0));
    else if (phase < 85)
        h = 40.0 + 3.0 * std::sin((phase - 20) * 0.7) + 1.2 * std::sin((phase - 20) * 2.3);
    else if (phase < 110)
        h = 40.0 * (0.5 + 0.5 * std::cos(M_PI * (phase - 85) / 25.0));
    else
        h = 0.0;
    h += random.bounded(0.06) - 0.03;
    return DeviceFrames::heightRecord(qMax(0.0, h));
}
