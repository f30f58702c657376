#include "devicestreamer.h"

#include <QCoreApplication>

#include <cmath>

namespace {

constexpr int tickMs = 5;
// A real device does not wait for a listener: what the line cannot take while nobody reads is lost.
constexpr qint64 maxBacklog = 4096;

} // namespace

DeviceStreamer::DeviceStreamer(const SimOptions &o, QObject *parent)
    : QObject(parent)
    , options(o)
    , model(o.device, o.objects, o.seed)
    , faults(o.device, FaultInjector::Shares{o.badCrc, o.badEnd, o.stray, o.loseByte}, o.seed)
    , chunkRandom(o.seed ^ 0xC4C4u)
{
    timer.setInterval(tickMs);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, this, &DeviceStreamer::tick);
}

bool DeviceStreamer::open(QString *error)
{
    if (!options.replay.isEmpty()) {
        QFile replayFile(options.replay);
        if (!replayFile.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(options.replay, replayFile.errorString());
            return false;
        }
        replayBytes = replayFile.readAll();
    }

    if (options.toStdout) {
        if (!out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            *error = QStringLiteral("cannot write to standard output");
            return false;
        }
        return true;
    }

    port.setPortName(options.port);
    if (!port.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open %1: %2").arg(options.port, port.errorString());
        return false;
    }
    const bool configured = port.setBaudRate(115200) && port.setDataBits(QSerialPort::Data8)
            && port.setParity(QSerialPort::NoParity)
            && port.setStopBits(options.device == DeviceModel::Tracker ? QSerialPort::TwoStop : QSerialPort::OneStop)
            && port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        *error = QStringLiteral("cannot configure %1: %2").arg(options.port, port.errorString());
        port.close();
        return false;
    }
    return true;
}

void DeviceStreamer::start()
{
    clock.start();
    timer.start();
    tick();
}

bool DeviceStreamer::backlogged() const
{
    return port.isOpen() && port.bytesToWrite() > maxBacklog;
}

void DeviceStreamer::send(const QByteArray &bytes)
{
    int pos = 0;
    while (pos < bytes.size()) {
        const int n = options.randomChunks ? qMin(bytes.size() - pos, 1 + int(chunkRandom.bounded(32)))
                                           : bytes.size() - pos;
        const QByteArray chunk = bytes.mid(pos, n);
        if (port.isOpen()) {
            port.write(chunk);
            port.flush();
        } else {
            if (out.write(chunk) != chunk.size()) {
                // The reader went away (a closed pipe): nothing more to do.
                finish(0);
                return;
            }
        }
        pos += n;
    }
    bytesSent += bytes.size();
}

void DeviceStreamer::tick()
{
    if (stopping)
        return;
    const double elapsed = clock.nsecsElapsed() / 1e9;
    if (options.duration >= 0 && elapsed >= options.duration) {
        finish(0);
        return;
    }

    if (!options.replay.isEmpty()) {
        qint64 due = qint64(elapsed * options.byteRate) - bytesSent;
        if (options.count >= 0)
            due = qMin(due, options.count - bytesSent);
        QByteArray bytes;
        while (due > 0 && !replayBytes.isEmpty()) {
            if (replayPos >= replayBytes.size()) {
                if (!options.loop)
                    break;
                replayPos = 0;
            }
            const qint64 n = qMin(due, replayBytes.size() - replayPos);
            bytes += replayBytes.mid(int(replayPos), int(n));
            replayPos += n;
            due -= n;
        }
        if (!bytes.isEmpty())
            send(bytes);
        const bool atEnd = replayBytes.isEmpty() || (!options.loop && replayPos >= replayBytes.size());
        if (atEnd || (options.count >= 0 && bytesSent >= options.count))
            finish(0);
        return;
    }

    qint64 due = qint64(std::floor(elapsed * options.rate)) - messagesSent - messagesDropped;
    if (options.count >= 0)
        due = qMin(due, options.count - messagesSent - messagesDropped);
    QByteArray bytes;
    for (qint64 i = 0; i < due; ++i) {
        const double t = double(messagesSent + messagesDropped) / options.rate;
        const QVector<QByteArray> frames = model.next(t);
        if (backlogged()) {
            ++messagesDropped;
            continue;
        }
        for (const QByteArray &frame : frames)
            bytes += faults.apply(frame);
        ++messagesSent;
    }
    if (!bytes.isEmpty())
        send(bytes);
    if (options.count >= 0 && messagesSent + messagesDropped >= options.count)
        finish(0);
}

void DeviceStreamer::finish(int exitCode)
{
    if (stopping)
        return;
    stopping = true;
    timer.stop();
    if (port.isOpen()) {
        while (port.bytesToWrite() > 0 && port.waitForBytesWritten(1000)) {
        }
    }
    emit finished(exitCode);
}

QString DeviceStreamer::summary() const
{
    const FaultInjector::Counts &c = faults.counts();
    if (!options.replay.isEmpty())
        return QStringLiteral("replayed %1 bytes").arg(bytesSent);
    return QStringLiteral("sent %1 messages (%2 bytes), dropped %3 while nobody read; "
                          "bad checksum %4, bad end %5, stray gaps %6, lost bytes %7")
            .arg(messagesSent)
            .arg(bytesSent)
            .arg(messagesDropped)
            .arg(c.badCrc)
            .arg(c.badEnd)
            .arg(c.stray)
            .arg(c.lostBytes);
}
