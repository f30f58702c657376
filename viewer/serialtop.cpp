#include "serialtop.h"

#include <QMetaObject>
#include <QThread>

#include <memory>

#include "serialworker.h"

SerialTop::SerialTop()
    : QObject(nullptr)
{
}

SerialTop::~SerialTop() = default;

// Runs in the worker thread; the worker and its port are created here so they belong to it.
void SerialTop::init()
{
    worker = new SerialWorker();
    // The worker goes with its thread, so that the port is closed when the program ends.
    connect(QThread::currentThread(), &QThread::finished, worker, &QObject::deleteLater);

    connect(worker, &SerialWorker::logInfo, this, &SerialTop::logInfo);
    connect(worker, &SerialWorker::logWarning, this, &SerialTop::logWarning);
    connect(worker, &SerialWorker::logError, this, &SerialTop::logError);
    connect(worker, &SerialWorker::logTx, this, &SerialTop::logTx);
    connect(worker, &SerialWorker::logRx, this, &SerialTop::logRx);
    connect(worker, &SerialWorker::connectedChanged, this, &SerialTop::connectedChanged);
    connect(worker, &SerialWorker::increaseRxCount, this, &SerialTop::increaseRxCount);
    connect(worker, &SerialWorker::increaseTxCount, this, &SerialTop::increaseTxCount);

    emit logInfo(tr("Serial port initialized"));
}

void SerialTop::connectToDevice(serialPortSettings_t *settings)
{
    // The posted call owns this copy; _connectToDevice releases it in the worker thread.
    auto *copy = new serialPortSettings_t(*settings);
    if (!QMetaObject::invokeMethod(this, "_connectToDevice", Qt::AutoConnection, Q_ARG(void *, copy)))
        delete copy;
}

void SerialTop::disconnectFromDevice()
{
    QMetaObject::invokeMethod(this, "_disconnectFromDevice", Qt::AutoConnection);
}

void SerialTop::sendString(QString text)
{
    QMetaObject::invokeMethod(this, "_sendString", Qt::AutoConnection, Q_ARG(const QString &, text));
}

void SerialTop::sendData(QByteArray data)
{
    QMetaObject::invokeMethod(this, "_sendData", Qt::AutoConnection, Q_ARG(QByteArray, data));
}

void SerialTop::_connectToDevice(void *arg)
{
    std::unique_ptr<serialPortSettings_t> settings(static_cast<serialPortSettings_t *>(arg));
    if (worker->openPort(settings.get()) == 0)
        emit connectedChanged(true);
}

void SerialTop::_disconnectFromDevice()
{
    worker->closePort();
    emit connectedChanged(false);
}

void SerialTop::_sendString(QString text)
{
    worker->sendString(text);
}

void SerialTop::_sendData(QByteArray data)
{
    worker->sendData(data);
}
