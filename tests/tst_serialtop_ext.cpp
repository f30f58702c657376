// The viewer_ext front object in its own worker thread, on a real virtual serial line.
#include <QSignalSpy>
#include <QThread>
#include <QtTest>

#include "serialtop.h"
#include "virtualserialline.h"

class tst_SerialTopExt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void connectAndDisconnect();
    void missingPortFails();
    void connectingTwiceIsRefused();
    void receivedFramesAreDecodedInTheWorkerThread();

private:
    QStringList logLines() const;

    QThread *thread = nullptr;
    SerialTop *top = nullptr;
    // Filled through queued connections, so only the test thread touches them.
    QList<QPair<QString, bool>> log;
    QList<bool> states;
    QStringList errors;
};

void tst_SerialTopExt::init()
{
    qRegisterMetaType<QVector<int>>("QVector<int>");
    qRegisterMetaType<QVector<float>>("QVector<float>");
    log.clear();
    states.clear();
    errors.clear();
    thread = new QThread;
    top = new SerialTop;
    top->moveToThread(thread);
    connect(thread, &QThread::started, top, &SerialTop::Init);
    connect(thread, &QThread::finished, top, &QObject::deleteLater);
    connect(top, &SerialTop::appendLog, this, [this](const QString &s, bool newLine, const QColor &) {
        log.append({s, newLine});
    });
    connect(top, &SerialTop::connectedChanged, this, [this](bool state) { states << state; });
    connect(top, &SerialTop::logError, this, [this](const QString &s) { errors << s; });
    thread->start();
}

void tst_SerialTopExt::cleanup()
{
    thread->quit();
    QVERIFY(thread->wait(5000));
    delete thread;
}

QStringList tst_SerialTopExt::logLines() const
{
    // Joined as the window shows them: a continuation goes behind the previous line.
    QStringList lines;
    for (const auto &entry : log) {
        if (entry.second || lines.isEmpty())
            lines << entry.first;
        else
            lines.last() += entry.first;
    }
    return lines;
}

void tst_SerialTopExt::connectAndDisconnect()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));

    // Posted right after start-up: it must run after Init, which creates the worker.
    top->ConnectToPort(line.devicePath());
    QTRY_COMPARE(states.size(), 1);
    QCOMPARE(states.at(0), true);
    QCOMPARE(logLines(), QStringList{"Подключение...OK"});

    top->DisconnectFromPort();
    QTRY_COMPARE(states.size(), 2);
    QCOMPARE(states.at(1), false);
    QCOMPARE(logLines(), (QStringList{"Подключение...OK", "Отключение..."}));

    // Disconnecting again still reports.
    top->DisconnectFromPort();
    QTRY_COMPARE(states.size(), 3);
    QCOMPARE(logLines().last(), QStringLiteral("Отключение..."));
}

void tst_SerialTopExt::missingPortFails()
{
    top->ConnectToPort(QStringLiteral("/nonexistent/ttyVIEWER0"));
    QTRY_COMPARE(states.size(), 1);
    QCOMPARE(states.at(0), false);
    QCOMPARE(logLines(), QStringList{"Подключение...Ошибка подключения к порту"});
    // The reason travels on the relayed worker message.
    QTRY_VERIFY(!errors.isEmpty());
    QVERIFY(errors.last().startsWith(QStringLiteral("Serial port (/nonexistent/ttyVIEWER0) open error: ")));
}

void tst_SerialTopExt::connectingTwiceIsRefused()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    top->ConnectToPort(line.devicePath());
    top->ConnectToPort(line.devicePath());
    QTRY_COMPARE(states.size(), 2);
    // The refused attempt repeats the state it leaves unchanged.
    QCOMPARE(states.at(1), true);
    QCOMPARE(logLines(), (QStringList{"Подключение...OK", "Подключение...Ошибка подключения к порту"}));
}

void tst_SerialTopExt::receivedFramesAreDecodedInTheWorkerThread()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    QList<QPair<int, float>> sels;
    connect(top, &SerialTop::rcvSels, this, [&](int id, float r, float, float) { sels.append({id, r}); });
    top->ConnectToPort(line.devicePath());
    QTRY_COMPARE(states.size(), 1);

    QVERIFY(line.write(QByteArray::fromHex("AAAA0D07051ED204000014 0D5555")));
    QTRY_COMPARE(sels.count(), 1);
    QCOMPARE(sels.at(0).first, 5);
    QCOMPARE(sels.at(0).second, 1234.0f);
}

QTEST_GUILESS_MAIN(tst_SerialTopExt)
#include "tst_serialtop_ext.moc"
