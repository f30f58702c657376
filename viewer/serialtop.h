#ifndef SERIALTOP_H
#define SERIALTOP_H

#include <QByteArray>
#include <QObject>
#include <QString>

#include "serialportsettings.h"

class SerialWorker;

// The viewer window's handle on the serial link. Lives in the worker thread; the public request
// slots run in the caller's thread and only post the work there.
class SerialTop : public QObject
{
    Q_OBJECT

public:
    SerialTop();
    ~SerialTop() override;

signals:
    void logInfo(QString message);
    void logWarning(QString message);
    void logError(QString message);
    void logTx(QByteArray data);
    void logRx(QByteArray data);
    void logRcvdData(QByteArray data);
    void connectedChanged(bool state);
    void increaseTxCount(int count);
    void increaseRxCount(int count);

public slots:
    void init();
    // Copies the record before it returns; the caller's record may go right after.
    void connectToDevice(serialPortSettings_t *settings);
    void disconnectFromDevice();
    void sendString(QString text);
    void sendData(QByteArray data);

private slots:
    void _connectToDevice(void *arg);
    void _disconnectFromDevice();
    void _sendString(QString text);
    void _sendData(QByteArray data);

private:
    SerialWorker *worker = nullptr;
};

#endif // SERIALTOP_H
