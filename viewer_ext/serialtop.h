#ifndef SERIALTOP_H
#define SERIALTOP_H

#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QString>
#include <QVector>

class SerialWorker;

// The window's handle on the serial link. Lives in the worker thread: the public connect and
// disconnect slots only post the work there, everything else runs there.
class SerialTop : public QObject
{
    Q_OBJECT

public:
    SerialTop();
    ~SerialTop() override;

    static constexpr int maxObjects = 256;

signals:
    void logInfo(QString message);
    void logWarning(QString message);
    void logError(QString message);
    void logTx(QByteArray data);
    void logRcvdData(QByteArray data);
    void increaseTxCount(int count);
    void increaseRxCount(int count);
    void appendLog(QString s, bool new_line, QColor color);
    void connectedChanged(bool state);
    // A copy of the reported entries: the decoder goes on overwriting its own arrays.
    void rcvObjs(QVector<int> id, QVector<float> r, QVector<float> v, QVector<float> snr, int size);
    void rcvSels(int id, float r, float v, float snr);
    void rcvNewMeas();

public slots:
    void ConnectToPort(QString name_port);
    void DisconnectFromPort();
    void SetLogRxByteEn(int state);
    void SetLogTxByteEn(int state);
    void Init();

private slots:
    void _logRx(QByteArray data);
    static uchar _calcCRC(QByteArray data);
    void _connectToPort(QString name_port);
    void _disconnectFromPort();

private:
    void _parseRxData(const QByteArray &data);
    void handleFrame();

    SerialWorker *worker = nullptr;
    bool logRxByteEn = false;
    bool logTxByteEn = false;
    bool connected = false;

    int syncCount = 0;
    int rxState = 0;
    QByteArray rxBuffer;
    int objId[maxObjects] = {};
    float objR[maxObjects] = {};
    float objV[maxObjects] = {};
    float objSnr[maxObjects] = {};
    int objCount = 0;
    int objTotal = 0;

    QColor logColor = QColor(255, 255, 255, 255);
};

#endif // SERIALTOP_H
