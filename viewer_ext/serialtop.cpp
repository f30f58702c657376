#include "serialtop.h"

#include <QMetaObject>
#include <QThread>

#include "logline.h"
#include "serialworker.h"

namespace {

constexpr int frameSize = 14;
constexpr uchar syncByte = 0xAA;
constexpr uchar endByte = 0x55;
constexpr quint16 idHeader = 0x070B;
constexpr quint16 idObject = 0x070C;
constexpr quint16 idResult = 0x070D;

struct Payload
{
    int id;
    float snr;
    float r;
    float v;
};

Payload decodePayload(const uchar *f)
{
    Payload p;
    p.id = f[4];
    p.snr = float(f[5]);
    p.r = float(f[6] | (f[7] << 8));
    // 11-bit code; 1024 itself still counts as positive, only 1025..2047 are negative.
    const int code = ((f[9] & 0x07) << 8) | f[10];
    const int signedCode = code > 1024 ? code - 2048 : code;
    p.v = float(double(signedCode) * 0.05);
    return p;
}

} // namespace

SerialTop::SerialTop()
    : QObject(nullptr)
{
    rxBuffer.reserve(frameSize);
}

SerialTop::~SerialTop() = default;

void SerialTop::ConnectToPort(QString name_port)
{
    QMetaObject::invokeMethod(this, "_connectToPort", Qt::AutoConnection, Q_ARG(QString, name_port));
}

void SerialTop::DisconnectFromPort()
{
    QMetaObject::invokeMethod(this, "_disconnectFromPort", Qt::AutoConnection);
}

void SerialTop::SetLogRxByteEn(int state)
{
    logRxByteEn = state != 0;
}

void SerialTop::SetLogTxByteEn(int state)
{
    logTxByteEn = state != 0;
}

// Runs in the worker thread; the worker and its port are created here so they belong to it.
void SerialTop::Init()
{
    rxBuffer.clear();
    logRxByteEn = false;
    logTxByteEn = false;
    connected = false;
    logColor = QColor(255, 255, 255, 255);

    worker = new SerialWorker();
    // The worker goes with its thread, so that the port is closed when the program ends.
    connect(QThread::currentThread(), &QThread::finished, worker, &QObject::deleteLater);

    connect(worker, &SerialWorker::logInfo, this, &SerialTop::logInfo);
    connect(worker, &SerialWorker::logWarning, this, &SerialTop::logWarning);
    connect(worker, &SerialWorker::logError, this, &SerialTop::logError);
    connect(worker, &SerialWorker::logTx, this, &SerialTop::logTx);
    connect(worker, &SerialWorker::logRx, this, &SerialTop::_logRx);
    connect(worker, &SerialWorker::increaseRxCount, this, &SerialTop::increaseRxCount);
    connect(worker, &SerialWorker::increaseTxCount, this, &SerialTop::increaseTxCount);

    emit logInfo(tr("Serial port initialized"));
}

void SerialTop::_connectToPort(QString name_port)
{
    emit appendLog(QStringLiteral("Подключение..."), true, logColor);

    serialPortSettings_t settings;
    settings.name = name_port;
    settings.baudRate = 115200;
    settings.dataBits = QSerialPort::Data8;
    settings.parity = QSerialPort::NoParity;
    settings.stopBits = QSerialPort::TwoStop;
    settings.flowControl = QSerialPort::NoFlowControl;

    if (worker->openPort(&settings) == 0) {
        connected = true;
        emit appendLog(QStringLiteral("OK"), false, logColor);
    } else {
        emit appendLog(QStringLiteral("Ошибка подключения к порту"), false, logColor);
    }
    emit connectedChanged(connected);
}

void SerialTop::_disconnectFromPort()
{
    emit appendLog(QStringLiteral("Отключение..."), true, logColor);
    connected = false;
    worker->closePort();
    emit connectedChanged(false);
}

void SerialTop::_logRx(QByteArray data)
{
    if (logRxByteEn)
        emit appendLog(LogLine::rxBytes(data), true, logColor);
    _parseRxData(data);
}

uchar SerialTop::_calcCRC(QByteArray data)
{
    uint sum = 0;
    for (const char c : data)
        sum += uchar(c);
    return uchar(sum & 0xFF);
}

void SerialTop::_parseRxData(const QByteArray &data)
{
    for (const char c : data) {
        const uchar b = uchar(c);
        rxBuffer.append(char(b));

        if (rxState == 0) {
            if (b == syncByte) {
                if (++syncCount == 2) {
                    rxState = 1;
                    syncCount = 0;
                }
            } else {
                rxBuffer.clear();
                syncCount = 0;
            }
        } else if (rxBuffer.size() == frameSize) {
            handleFrame();
            rxBuffer.clear();
            rxState = 0;
        }
    }
}

void SerialTop::handleFrame()
{
    const auto *f = reinterpret_cast<const uchar *>(rxBuffer.constData());

    // The end sequence is checked first: a frame with both faults reports only this one.
    if (f[12] != endByte || f[13] != endByte) {
        emit appendLog(QStringLiteral("Ошибка EndSequence!!!"), true, logColor);
        return;
    }
    if (_calcCRC(rxBuffer.mid(4, 7)) != f[11]) {
        emit appendLog(QStringLiteral("Ошибка CRC!!!"), true, logColor);
        return;
    }

    const quint16 id = quint16(f[2] | (f[3] << 8));
    if (id == idHeader) {
        objCount = 0;
        objTotal = f[4];
        emit rcvNewMeas();
    } else if (id == idObject) {
        if (objCount >= maxObjects)
            return; // the arrays are full; later records of this measurement are dropped
        const Payload p = decodePayload(f);
        objId[objCount] = p.id;
        objR[objCount] = p.r;
        objV[objCount] = p.v;
        objSnr[objCount] = p.snr;
        ++objCount;
        if (objCount == objTotal) {
            emit rcvObjs(QVector<int>(objId, objId + objCount), QVector<float>(objR, objR + objCount),
                         QVector<float>(objV, objV + objCount), QVector<float>(objSnr, objSnr + objCount),
                         objCount);
        }
    } else if (id == idResult) {
        const Payload p = decodePayload(f);
        emit rcvSels(p.id, p.r, p.v, p.snr);
    }
}
