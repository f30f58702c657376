#ifndef DEVICEMODEL_H
#define DEVICEMODEL_H

#include <QByteArray>
#include <QRandomGenerator>
#include <QVector>

// Plausible content for the simulated devices, advanced in simulated time.
class DeviceModel
{
public:
    enum Kind { Tracker, Height };

    DeviceModel(Kind kind, int objectCount, quint32 seed);

    // The frames (tracker) or the record (height) of the next message, time t in seconds.
    QVector<QByteArray> next(double t);
    // Frames per message: header + objects + result, or one record.
    int framesPerMessage() const;

private:
    struct Target
    {
        int id;
        double r0;   // cm
        double v;    // m/s, positive moving away
        double snr;
    };

    QVector<QByteArray> trackerMeasurement(double t);
    QByteArray heightRecord(double t);
    double targetRange(const Target &target, double t, double *velocity) const;

    Kind kind;
    QRandomGenerator random;
    QVector<Target> targets;
};

#endif // DEVICEMODEL_H
