#ifndef DEVICESTREAMER_H
#define DEVICESTREAMER_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QRandomGenerator>
#include <QSerialPort>
#include <QTimer>

#include <memory>

#include "devicemodel.h"
#include "faultinjector.h"
#include "simoptions.h"

// Sends the simulated device's bytes at the requested pace, to a serial port or standard output.
class DeviceStreamer : public QObject
{
    Q_OBJECT

public:
    explicit DeviceStreamer(const SimOptions &options, QObject *parent = nullptr);

    // Opens the output; false with a message in *error when it cannot.
    bool open(QString *error);
    void start();
    QString summary() const;

signals:
    void finished(int exitCode);

private:
    void tick();
    void send(const QByteArray &bytes);
    void finish(int exitCode);
    bool backlogged() const;

    SimOptions options;
    DeviceModel model;
    FaultInjector faults;
    QRandomGenerator chunkRandom;
    QSerialPort port;
    QFile out;
    QByteArray replayBytes;
    qint64 replayPos = 0;
    QTimer timer;
    QElapsedTimer clock;
    qint64 messagesSent = 0;
    qint64 messagesDropped = 0;
    qint64 bytesSent = 0;
    bool stopping = false;
};

#endif // DEVICESTREAMER_H
