// The device simulator's command line, its encoding and its pacing, as a user of it sees them.
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include "deviceframes.h"
#include "simoptions.h"

class tst_Simulator : public QObject
{
    Q_OBJECT

private slots:
    void options_data();
    void options();
    void lineRates();
    void velocityCodes_data();
    void velocityCodes();
    void replayIsByteExactAndPaced();
    void unopenablePortIsAClearError();
};

void tst_Simulator::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("error"); // empty: accepted

    QTest::addRow("stdout") << QStringList{"--stdout"} << "";
    QTest::addRow("port") << QStringList{"--port", "/dev/null"} << "";
    QTest::addRow("neither output") << QStringList{} << "give exactly one of --port <path> and --stdout";
    QTest::addRow("both outputs") << QStringList{"--stdout", "--port", "/x"} << "give exactly one of --port <path> and --stdout";
    QTest::addRow("unknown device") << QStringList{"--stdout", "--device", "radar"} << "--device is viewer_ext or viewer, not \"radar\"";
    QTest::addRow("share above 1") << QStringList{"--stdout", "--bad-crc", "1.5"} << "--bad-crc takes a share between 0 and 1, not \"1.5\"";
    QTest::addRow("bad rate") << QStringList{"--stdout", "--rate", "fast"} << "--rate takes a positive number or \"max\", not \"fast\"";
    QTest::addRow("objects out of range") << QStringList{"--stdout", "--objects", "300"} << "--objects takes a number from 0 to 255";
    QTest::addRow("checksum faults on heights")
            << QStringList{"--stdout", "--device", "viewer", "--bad-end", "0.1"}
            << "height records have no checksum or end sequence: --bad-crc and --bad-end are for viewer_ext";
    QTest::addRow("loop without replay") << QStringList{"--stdout", "--loop"} << "--loop and --byte-rate go with --replay";
    QTest::addRow("stray argument") << QStringList{"--stdout", "extra"} << "unexpected argument \"extra\"";
    QTest::addRow("unknown option") << QStringList{"--stdout", "--fast"} << "Unknown option 'fast'.";
}

void tst_Simulator::options()
{
    QFETCH(QStringList, args);
    QFETCH(QString, error);
    SimOptions o;
    QString message, help;
    const bool ok = SimOptions::parse(QStringList{"vandor-sim"} + args, &o, &message, &help);
    QCOMPARE(ok, error.isEmpty());
    QCOMPARE(message, error);
}

void tst_Simulator::lineRates()
{
    SimOptions o;
    QString message, help;
    QVERIFY(SimOptions::parse({"vandor-sim", "--stdout", "--rate", "max"}, &o, &message, &help));
    // 115200 baud, 11 bits a byte, 14-byte frames, five frames a measurement: 748 frames/s.
    QCOMPARE(qRound(o.rate * 5), 748);
    QVERIFY(SimOptions::parse({"vandor-sim", "--stdout", "--device", "viewer", "--rate", "99999"}, &o, &message, &help));
    QCOMPARE(qRound(o.rate), 1920);
    QVERIFY(SimOptions::parse({"vandor-sim", "--stdout", "--help"}, &o, &message, &help));
    for (const char *option : {"--device", "--port", "--stdout", "--rate", "--objects", "--bad-crc", "--bad-end", "--stray",
                               "--lose-byte", "--random-chunks", "--replay", "--byte-rate", "--loop", "--count",
                               "--duration", "--seed"})
        QVERIFY2(help.contains(QLatin1String(option)), option);
}

void tst_Simulator::velocityCodes_data()
{
    QTest::addColumn<double>("velocity");
    QTest::addColumn<int>("code");
    QTest::addRow("+51.2 is 1024") << 51.2 << 1024;
    QTest::addRow("-51.15 is 1025") << -51.15 << 1025;
    QTest::addRow("-0.05 is 2047") << -0.05 << 2047;
    QTest::addRow("0 is 0") << 0.0 << 0;
    QTest::addRow("-1.5 is 2018") << -1.5 << 2018;
    QTest::addRow("beyond the range is clamped") << 80.0 << 1024;
}

void tst_Simulator::velocityCodes()
{
    QFETCH(double, velocity);
    QFETCH(int, code);
    QCOMPARE(DeviceFrames::velocityCode(velocity), code);
    const QByteArray f = DeviceFrames::object(7, 30, 1234, velocity);
    QCOMPARE(((uchar(f[9]) & 0x07) << 8) | uchar(f[10]), code);
}

void tst_Simulator::replayIsByteExactAndPaced()
{
    QTemporaryDir dir;
    const QString capture = dir.filePath(QStringLiteral("capture.bin"));
    QProcess record;
    record.setStandardOutputFile(capture);
    record.start(QStringLiteral(VANDOR_SIM_PATH), {"--stdout", "--count", "30", "--objects", "2"});
    QVERIFY(record.waitForFinished(10000));
    QCOMPARE(record.exitCode(), 0);
    QFile f(capture);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QCOMPARE(bytes.size(), 30 * 4 * 14);
    QCOMPARE(bytes.left(14), DeviceFrames::header(2));

    QProcess replay;
    QElapsedTimer clock;
    clock.start();
    replay.start(QStringLiteral(VANDOR_SIM_PATH), {"--stdout", "--replay", capture, "--byte-rate", "5000"});
    QVERIFY(replay.waitForFinished(10000));
    const qint64 ms = clock.elapsed();
    QCOMPARE(replay.exitCode(), 0);
    QCOMPARE(replay.readAllStandardOutput(), bytes);
    QVERIFY2(ms >= 300 && ms < 2000, qPrintable(QString::number(ms))); // 1680 bytes at 5000 B/s
}

void tst_Simulator::unopenablePortIsAClearError()
{
    QProcess sim;
    sim.start(QStringLiteral(VANDOR_SIM_PATH), {"--port", "/nonexistent/ttyX"});
    QVERIFY(sim.waitForFinished(10000));
    QCOMPARE(sim.exitCode(), 3);
    QVERIFY(QString::fromLocal8Bit(sim.readAllStandardError()).startsWith(QStringLiteral("vandor-sim: cannot open /nonexistent/ttyX: ")));
}

QTEST_GUILESS_MAIN(tst_Simulator)
#include "tst_simulator.moc"
