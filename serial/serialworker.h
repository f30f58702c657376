#ifndef SERIALWORKER_H
#define SERIALWORKER_H

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include "serialportsettings.h"

// Owns one serial port and turns every outcome into a message on logInfo, logWarning or logError.
// Lives in, and is only used from, the thread that created it.
class SerialWorker : public QObject
{
    Q_OBJECT

public:
    SerialWorker();
    ~SerialWorker() override;

    // 0 opened; 10 configuration error; 11 already open; 12 open error.
    int openPort(serialPortSettings_t *settings);
    void closePort();
    // 0 written; -1 the port refused the write.
    int writeData(const QByteArray &data);
    int sendString(const QString &text);
    int sendData(const QByteArray &data);

signals:
    void logInfo(QString message);
    void logWarning(QString message);
    void logError(QString message);
    void logTx(QByteArray data);
    void logRx(QByteArray data);
    void bytesReceived(qlonglong);
    void bytesTransmitted(qlonglong);
    void connectedChanged(bool state);
    void increaseTxCount(int count);
    void increaseRxCount(int count);
    void serialPortClosed();

private slots:
    void onReadyRead();
    void onPortError(QSerialPort::SerialPortError error);
    void onPortWriteTimeout();

private:
    QSerialPort *port = nullptr;
};

#endif // SERIALWORKER_H
