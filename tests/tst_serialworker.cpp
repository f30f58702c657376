#include <QSignalSpy>
#include <QtTest>

#include "serialworker.h"
#include "virtualserialline.h"

Q_DECLARE_METATYPE(QSerialPort::SerialPortError)

class tst_SerialWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void openReportsAndReturnsZero();
    void openTwiceKeepsFirstSettings();
    void missingPortIsAnOpenError();
    void refusedBaudRateIsAConfigurationError();
    void closeTwiceReportsEachTime();
    void writeOnClosedPortFails();
    void sendDataShowsTextUpToZeroByte();
    void sendStringAndDataReachTheLine();
    void bytesBeforeOpenAreDiscarded();
    void everyChunkIsCountedThenLogged();
    void portErrorMessages_data();
    void portErrorMessages();

private:
    static serialPortSettings_t settingsFor(const QString &name, qint32 baud = 115200);
};

serialPortSettings_t tst_SerialWorker::settingsFor(const QString &name, qint32 baud)
{
    serialPortSettings_t s;
    s.name = name;
    s.baudRate = baud;
    s.dataBits = QSerialPort::Data8;
    s.parity = QSerialPort::NoParity;
    s.stopBits = QSerialPort::TwoStop;
    s.flowControl = QSerialPort::NoFlowControl;
    return s;
}

void tst_SerialWorker::initTestCase()
{
    qRegisterMetaType<QSerialPort::SerialPortError>();
}

void tst_SerialWorker::openReportsAndReturnsZero()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    SerialWorker worker;
    QSignalSpy info(&worker, &SerialWorker::logInfo);
    QSignalSpy errors(&worker, &SerialWorker::logError);
    QVERIFY(info.isValid() && errors.isValid());

    serialPortSettings_t s = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&s), 0);
    QCOMPARE(info.count(), 1);
    QCOMPARE(info.at(0).at(0).toString(), QStringLiteral("Serial port opened"));
    // A pseudo-terminal has no modem lines, so raising DTR is reported as unsupported; nothing else fails.
    for (const QList<QVariant> &call : errors)
        QCOMPARE(call.at(0).toString(), QStringLiteral("Serial port error: UnsupportedOperationError"));

    auto *port = worker.findChild<QSerialPort *>();
    QVERIFY(port && port->isOpen());
    QCOMPARE(port->baudRate(), 115200);
    QCOMPARE(port->dataBits(), QSerialPort::Data8);
    QCOMPARE(port->parity(), QSerialPort::NoParity);
    QCOMPARE(port->stopBits(), QSerialPort::TwoStop);
    QCOMPARE(port->flowControl(), QSerialPort::NoFlowControl);
}

void tst_SerialWorker::openTwiceKeepsFirstSettings()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    SerialWorker worker;
    QSignalSpy warnings(&worker, &SerialWorker::logWarning);

    serialPortSettings_t first = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&first), 0);
    serialPortSettings_t second = settingsFor(line.devicePath(), 9600);
    second.stopBits = QSerialPort::OneStop;
    QCOMPARE(worker.openPort(&second), 11);

    QCOMPARE(warnings.count(), 1);
    QCOMPARE(warnings.at(0).at(0).toString(), QStringLiteral("Serial port is already opened"));
    auto *port = worker.findChild<QSerialPort *>();
    QCOMPARE(port->baudRate(), 115200);
    QCOMPARE(port->stopBits(), QSerialPort::TwoStop);
}

void tst_SerialWorker::missingPortIsAnOpenError()
{
    SerialWorker worker;
    QSignalSpy errors(&worker, &SerialWorker::logError);
    QSignalSpy info(&worker, &SerialWorker::logInfo);
    const QString name = QStringLiteral("/nonexistent/ttyVIEWER9");
    serialPortSettings_t s = settingsFor(name);

    QCOMPARE(worker.openPort(&s), 12);
    QVERIFY(!worker.findChild<QSerialPort *>()->isOpen());
    QVERIFY(errors.count() >= 1);
    // The port's own notifications come first; the outcome of the call is the last line.
    const QString last = errors.last().at(0).toString();
    const QString prefix = QStringLiteral("Serial port (%1) open error: ").arg(name);
    QVERIFY2(last.startsWith(prefix) && last.size() > prefix.size(), qPrintable(last));
    for (int i = 0; i + 1 < errors.count(); ++i)
        QVERIFY(errors.at(i).at(0).toString().startsWith(QStringLiteral("Serial port error: ")));
    QCOMPARE(info.count(), 0);
}

void tst_SerialWorker::refusedBaudRateIsAConfigurationError()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    SerialWorker worker;
    QSignalSpy errors(&worker, &SerialWorker::logError);
    serialPortSettings_t s = settingsFor(line.devicePath(), -5);

    QCOMPARE(worker.openPort(&s), 10);
    QVERIFY(!worker.findChild<QSerialPort *>()->isOpen());
    QVERIFY(errors.count() >= 1);
    QVERIFY2(errors.last().at(0).toString().startsWith(QStringLiteral("Serial port configuration error: ")),
             qPrintable(errors.last().at(0).toString()));

    // The port is closed again, so a good open works afterwards.
    serialPortSettings_t good = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&good), 0);
}

void tst_SerialWorker::closeTwiceReportsEachTime()
{
    SerialWorker worker;
    QSignalSpy closed(&worker, &SerialWorker::serialPortClosed);
    QSignalSpy info(&worker, &SerialWorker::logInfo);
    worker.closePort();
    worker.closePort();
    QCOMPARE(closed.count(), 2);
    QCOMPARE(info.count(), 2);
    QCOMPARE(info.at(1).at(0).toString(), QStringLiteral("Serial port closed"));
}

void tst_SerialWorker::writeOnClosedPortFails()
{
    SerialWorker worker;
    QSignalSpy errors(&worker, &SerialWorker::logError);
    QSignalSpy tx(&worker, &SerialWorker::increaseTxCount);

    QCOMPARE(worker.writeData("abc"), -1);
    QCOMPARE(errors.count(), 1);
    QVERIFY(errors.at(0).at(0).toString().startsWith(QStringLiteral("Serial port write error: ")));

    QCOMPARE(worker.sendString(QStringLiteral("ping")), -1);
    QCOMPARE(errors.count(), 3);
    QCOMPARE(errors.at(2).at(0).toString(), QStringLiteral("Error (-1) occur while sending string: ping"));
    QCOMPARE(tx.count(), 0);
}

void tst_SerialWorker::sendDataShowsTextUpToZeroByte()
{
    SerialWorker worker;
    QSignalSpy errors(&worker, &SerialWorker::logError);
    QCOMPARE(worker.sendData(QByteArray("AB\0CD", 5)), -1);
    QCOMPARE(errors.last().at(0).toString(), QStringLiteral("Error (-1) occur while sending data: AB"));
    QCOMPARE(worker.sendData(QByteArray()), -1);
    QCOMPARE(errors.last().at(0).toString(), QStringLiteral("Error (-1) occur while sending data: "));
}

void tst_SerialWorker::sendStringAndDataReachTheLine()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    SerialWorker worker;
    QSignalSpy info(&worker, &SerialWorker::logInfo);
    QSignalSpy tx(&worker, &SerialWorker::increaseTxCount);
    serialPortSettings_t s = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&s), 0);

    QCOMPARE(worker.sendString(QStringLiteral("hello")), 0);
    QCOMPARE(info.last().at(0).toString(), QStringLiteral("Successfully send string: hello"));
    QCOMPARE(worker.sendData(QByteArray("\x01\x00\x02", 3)), 0);
    QCOMPARE(info.last().at(0).toString(), QStringLiteral("3 bytes of data successfully send"));
    QCOMPARE(tx.count(), 2);
    QCOMPARE(tx.at(0).at(0).toInt(), 5);
    QCOMPARE(tx.at(1).at(0).toInt(), 3);

    // Bytes leave when the event loop lets the port flush them.
    QByteArray got;
    QTRY_VERIFY((got += line.read(8, 50)).size() >= 8);
    QCOMPARE(got, QByteArray("hello\x01\x00\x02", 8));
}

void tst_SerialWorker::bytesBeforeOpenAreDiscarded()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    QVERIFY(line.write("stale bytes"));
    QTest::qWait(100); // let socat hand them on before the port opens

    SerialWorker worker;
    QSignalSpy rx(&worker, &SerialWorker::logRx);
    serialPortSettings_t s = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&s), 0);

    QVERIFY(line.write("fresh"));
    QByteArray got;
    QTRY_COMPARE_WITH_TIMEOUT([&] {
        got.clear();
        for (const QList<QVariant> &call : rx)
            got += call.at(0).toByteArray();
        return got;
    }(), QByteArray("fresh"), 3000);
}

void tst_SerialWorker::everyChunkIsCountedThenLogged()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    SerialWorker worker;
    QList<QPair<QString, QByteArray>> events;
    connect(&worker, &SerialWorker::increaseRxCount, this,
            [&](int n) { events.append({QStringLiteral("count"), QByteArray::number(n)}); });
    connect(&worker, &SerialWorker::logRx, this,
            [&](const QByteArray &d) { events.append({QStringLiteral("rx"), d}); });
    serialPortSettings_t s = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&s), 0);

    const QByteArray sent = QByteArray::fromHex("AAAA0B070300000000000003555501020304");
    QVERIFY(line.write(sent));
    QByteArray received;
    QTRY_COMPARE_WITH_TIMEOUT([&] {
        received.clear();
        for (const auto &e : events)
            if (e.first == QLatin1String("rx"))
                received += e.second;
        return received;
    }(), sent, 3000);

    QVERIFY(events.size() % 2 == 0);
    for (int i = 0; i < events.size(); i += 2) {
        QCOMPARE(events.at(i).first, QStringLiteral("count"));
        QCOMPARE(events.at(i + 1).first, QStringLiteral("rx"));
        QCOMPARE(events.at(i).second.toInt(), events.at(i + 1).second.size());
    }
}

void tst_SerialWorker::portErrorMessages_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("disconnects");

    QTest::addRow("0 NoError is silent") << 0 << QStringList() << 0;
    static const char *const names[] = {
        "DeviceNotFoundError", "PermissionError", "OpenError", "ParityError", "FramingError",
        "BreakConditionError", "WriteError", "ReadError", "ResourceError",
        "UnsupportedOperationError", "UnknownError", "TimeoutError", "NotOpenError",
    };
    for (int v = 1; v <= 13; ++v) {
        QStringList lines;
        if (v == 2)
            lines << QStringLiteral("Serial port PermissionError. Serial port closed");
        lines << QStringLiteral("Serial port error: %1").arg(QLatin1String(names[v - 1]));
        QTest::addRow("%d %s", v, names[v - 1]) << v << lines << (v == 2 ? 1 : 0);
    }
    QTest::addRow("14 has no name") << 14 << QStringList{QStringLiteral("Serial port error: 14")} << 0;
}

void tst_SerialWorker::portErrorMessages()
{
    QFETCH(int, error);
    QFETCH(QStringList, lines);
    QFETCH(int, disconnects);

    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    SerialWorker worker;
    serialPortSettings_t s = settingsFor(line.devicePath());
    QCOMPARE(worker.openPort(&s), 0);

    QSignalSpy errors(&worker, &SerialWorker::logError);
    QSignalSpy connected(&worker, &SerialWorker::connectedChanged);
    QVERIFY(QMetaObject::invokeMethod(&worker, "onPortError", Qt::DirectConnection,
                                      Q_ARG(QSerialPort::SerialPortError, QSerialPort::SerialPortError(error))));

    QStringList got;
    for (const QList<QVariant> &call : errors)
        got << call.at(0).toString();
    QCOMPARE(got, lines);
    QCOMPARE(connected.count(), disconnects);
    if (disconnects)
        QCOMPARE(connected.at(0).at(0).toBool(), false);
    // Only a permission error closes the port.
    QCOMPARE(worker.findChild<QSerialPort *>()->isOpen(), disconnects == 0);
}

QTEST_GUILESS_MAIN(tst_SerialWorker)
#include "tst_serialworker.moc"
