#include "serialworker.h"

SerialWorker::SerialWorker()
    : QObject(nullptr)
    , port(new QSerialPort(this))
{
    connect(port, &QSerialPort::bytesWritten, this, &SerialWorker::bytesTransmitted);
    connect(port, &QSerialPort::readyRead, this, &SerialWorker::onReadyRead);
    // errorOccurred is the Qt 5.8+ name of the port's error notification.
    connect(port, &QSerialPort::errorOccurred, this, &SerialWorker::onPortError);
}

SerialWorker::~SerialWorker()
{
    delete port;
    port = nullptr;
}

int SerialWorker::openPort(serialPortSettings_t *settings)
{
    if (port->isOpen()) {
        emit logWarning(tr("Serial port is already opened"));
        return 11;
    }

    port->setPortName(settings->name);
    if (!port->open(QIODevice::ReadWrite)) {
        // The reason is read before close() can replace it.
        const QString message = tr("Serial port (%1) open error: ").arg(port->portName()) + port->errorString();
        port->close();
        emit logError(message);
        return 12;
    }

    const bool configured = port->setBaudRate(settings->baudRate, QSerialPort::AllDirections)
            && port->setDataBits(settings->dataBits)
            && port->setParity(settings->parity)
            && port->setStopBits(settings->stopBits)
            && port->setFlowControl(settings->flowControl);
    if (!configured) {
        const QString message = tr("Serial port configuration error: ") + port->errorString();
        port->close();
        emit logError(message);
        return 10;
    }

    port->clear(QSerialPort::AllDirections);
    port->setDataTerminalReady(true);
    emit logInfo(tr("Serial port opened"));
    return 0;
}

void SerialWorker::closePort()
{
    port->close();
    emit serialPortClosed();
    emit logInfo(tr("Serial port closed"));
}

int SerialWorker::writeData(const QByteArray &data)
{
    if (port->write(data.constData(), data.size()) == -1) {
        emit logError(tr("Serial port write error: ") + port->errorString());
        return -1;
    }
    emit increaseTxCount(data.size());
    return 0;
}

int SerialWorker::sendString(const QString &text)
{
    const int rc = writeData(text.toLocal8Bit());
    if (rc != 0)
        emit logError(tr("Error (%1) occur while sending string: %2").arg(rc).arg(text));
    else
        emit logInfo(tr("Successfully send string: %1").arg(text));
    return rc;
}

int SerialWorker::sendData(const QByteArray &data)
{
    const int rc = writeData(data);
    if (rc != 0) {
        // The message shows the bytes as text up to the first zero byte.
        const QString text = data.isNull() ? QString() : QString::fromLocal8Bit(data.constData());
        emit logError(tr("Error (%1) occur while sending data: %2").arg(rc).arg(text));
    } else {
        emit logInfo(tr("%1 bytes of data successfully send").arg(data.size()));
    }
    return rc;
}

void SerialWorker::onReadyRead()
{
    const QByteArray data = port->readAll();
    emit increaseRxCount(data.size());
    emit logRx(data);
}

void SerialWorker::onPortError(QSerialPort::SerialPortError error)
{
    static const char *const names[] = {
        "NoError", "DeviceNotFoundError", "PermissionError", "OpenError", "ParityError",
        "FramingError", "BreakConditionError", "WriteError", "ReadError", "ResourceError",
        "UnsupportedOperationError", "UnknownError", "TimeoutError", "NotOpenError",
    };
    const int value = static_cast<int>(error);

    if (error == QSerialPort::PermissionError) {
        port->close();
        emit logError(tr("Serial port PermissionError. Serial port closed"));
        emit connectedChanged(false);
    } else if (value <= 0) {
        return;
    }

    const int known = int(sizeof(names) / sizeof(names[0]));
    const QString name = value < known ? QString::fromLatin1(names[value]) : QString::number(value);
    emit logError(tr("Serial port error: %1").arg(name));
}

void SerialWorker::onPortWriteTimeout()
{
    emit logError(tr("COM port writing timeout"));
}
