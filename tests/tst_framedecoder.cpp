// The viewer_ext frame decoder, fed chunk by chunk as the serial worker would.
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QtTest>

#include "deviceframes.h"
#include "serialtop.h"

namespace {

QByteArray frame(quint16 id, const QByteArray &payload7)
{
    return DeviceFrames::trackerFrame(id, payload7);
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// What one run of the decoder produced, in order, as comparable text.
struct Recorder
{
    explicit Recorder(SerialTop *top)
    {
        QObject::connect(top, &SerialTop::rcvNewMeas, [this] { events << QStringLiteral("new"); });
        QObject::connect(top, &SerialTop::rcvObjs,
                         [this](QVector<int> id, QVector<float> r, QVector<float> v, QVector<float> snr, int size) {
                             QString e = QStringLiteral("objs %1:").arg(size);
                             for (int i = 0; i < id.size(); ++i)
                                 e += QStringLiteral(" %1/%2/%3/%4").arg(id[i]).arg(double(r[i])).arg(double(v[i])).arg(double(snr[i]));
                             events << e;
                         });
        QObject::connect(top, &SerialTop::rcvSels, [this](int id, float r, float v, float snr) {
            events << QStringLiteral("sel %1/%2/%3/%4").arg(id).arg(double(r)).arg(double(v)).arg(double(snr));
        });
        QObject::connect(top, &SerialTop::appendLog, [this](const QString &s, bool newLine, const QColor &c) {
            QVERIFY(newLine);
            QCOMPARE(c, QColor(255, 255, 255, 255));
            events << QStringLiteral("log ") + s;
        });
    }
    QStringList events;
};

void feed(SerialTop *top, const QByteArray &chunk)
{
    QVERIFY(QMetaObject::invokeMethod(top, "_logRx", Qt::DirectConnection, Q_ARG(QByteArray, chunk)));
}

const QByteArray header3 = hex("AAAA0B07030000000000000355 55");
const QByteArray object7 = hex("AAAA0C07071ED2040007E2E45555");
const QByteArray result5 = hex("AAAA0D07051ED20400001 40D5555");

} // namespace

class tst_FrameDecoder : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void streams_data();
    void streams();
    void chunkingDoesNotMatter_data();
    void chunkingDoesNotMatter();
    void velocityCodes_data();
    void velocityCodes();
    void checksumIsLowByteOfSum();
    void reportedObjectsAreACopy();
    void objectsBeyondStorageAreDropped();
    void rxByteLineComesFirstAndOnlyWhenEnabled();
};

void tst_FrameDecoder::initTestCase()
{
    QCOMPARE(frame(0x070B, hex("03000000000000")), header3);
    QCOMPARE(frame(0x070C, hex("071ED2040007E2")), object7);
    QCOMPARE(frame(0x070D, hex("051ED204000014")), result5);
}

void tst_FrameDecoder::streams_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    const QString obj = QStringLiteral("7/1234/-1.5/30");
    const QString sel = QStringLiteral("sel 5/1234/1/30");
    QByteArray badCrc = object7;
    badCrc[11] = char(0xE5);
    QByteArray badEnd = object7;
    badEnd[13] = char(0x56);
    QByteArray bothBad = badCrc;
    bothBad[12] = char(0x00);

    QTest::addRow("header announces a measurement") << header3 << QStringList{"new"};
    QTest::addRow("header and three objects")
            << header3 + object7 + object7 + object7 << QStringList{"new", "objs 3: " + obj + " " + obj + " " + obj};
    QTest::addRow("result") << result5 << QStringList{sel};
    QTest::addRow("result between objects")
            << header3 + object7 + result5 + object7 + object7
            << QStringList{"new", sel, "objs 3: " + obj + " " + obj + " " + obj};
    QTest::addRow("header of 0 reports no list") << frame(0x070B, hex("00000000000000")) + object7
                                                 << QStringList{"new"};
    QTest::addRow("objects beyond the count are not reported")
            << frame(0x070B, hex("01000000000000")) + object7 + object7 << QStringList{"new", "objs 1: " + obj};
    QTest::addRow("objects before any header are never reported") << object7 + object7 << QStringList();
    QTest::addRow("bad checksum, then a good frame") << badCrc + result5 << QStringList{"log Ошибка CRC!!!", sel};
    QTest::addRow("bad end sequence, then a good frame")
            << badEnd + result5 << QStringList{"log Ошибка EndSequence!!!", sel};
    QTest::addRow("both faults report the end sequence only") << bothBad << QStringList{"log Ошибка EndSequence!!!"};
    QTest::addRow("a bad frame leaves the object list alone")
            << header3 + object7 + badCrc + object7 + object7
            << QStringList{"new", "log Ошибка CRC!!!", "objs 3: " + obj + " " + obj + " " + obj};
    QTest::addRow("unknown id with a good checksum is silent") << frame(0x0700, hex("051ED204000014")) + result5
                                                               << QStringList{sel};
    QTest::addRow("AA 00 AA AA: the frame starts at the pair") << hex("AA00") + result5 << QStringList{sel};
    QTest::addRow("stray bytes before a frame") << hex("0102035555") + result5 << QStringList{sel};
    // The third AA is taken as the identifier's low byte; the frame ends 14 bytes after the pair.
    QTest::addRow("three AA in a row")
            << hex("AA") + result5 + result5 << QStringList{"log Ошибка EndSequence!!!", sel};
}

void tst_FrameDecoder::streams()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    SerialTop top;
    Recorder rec(&top);
    feed(&top, bytes);
    QCOMPARE(rec.events, expected);
}

void tst_FrameDecoder::chunkingDoesNotMatter_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 5; ++seed)
        QTest::addRow("random cuts, seed %d", seed) << seed;
}

void tst_FrameDecoder::chunkingDoesNotMatter()
{
    QFETCH(int, seed);
    QByteArray badCrc = object7;
    badCrc[11] = 0;
    const QByteArray stream = hex("AA00") + header3 + object7 + badCrc + object7 + object7 + result5 + hex("55AA")
            + result5 + frame(0x070B, hex("02000000000000")) + frame(0x070C, hex("FF00FFFF00F814"))
            + frame(0x070C, hex("0102030400 0401"));

    SerialTop whole;
    Recorder wholeRec(&whole);
    feed(&whole, stream);
    QCOMPARE(wholeRec.events.size(), 7);

    SerialTop bytewise;
    Recorder byteRec(&bytewise);
    for (char c : stream)
        feed(&bytewise, QByteArray(1, c));
    QCOMPARE(byteRec.events, wholeRec.events);

    SerialTop random;
    Recorder randomRec(&random);
    QRandomGenerator gen{quint32(seed)};
    for (int pos = 0; pos < stream.size();) {
        const int n = gen.bounded(1, 30);
        feed(&random, stream.mid(pos, n));
        pos += n;
    }
    QCOMPARE(randomRec.events, wholeRec.events);
}

void tst_FrameDecoder::velocityCodes_data()
{
    QTest::addColumn<uchar>("p5");
    QTest::addColumn<uchar>("p6");
    QTest::addColumn<double>("velocity");
    QTest::addRow("code 1024 is +51.2") << uchar(0x04) << uchar(0x00) << 51.2;
    QTest::addRow("code 1025 is -51.15") << uchar(0x04) << uchar(0x01) << -51.15;
    QTest::addRow("code 2047 is -0.05") << uchar(0x07) << uchar(0xFF) << -0.05;
    QTest::addRow("code 0 is 0") << uchar(0x00) << uchar(0x00) << 0.0;
    QTest::addRow("high bits of P5 are ignored") << uchar(0xF8) << uchar(0x14) << 1.0;
    QTest::addRow("code 2018 is -1.5") << uchar(0x07) << uchar(0xE2) << -1.5;
}

void tst_FrameDecoder::velocityCodes()
{
    QFETCH(uchar, p5);
    QFETCH(uchar, p6);
    QFETCH(double, velocity);
    QByteArray payload = hex("0900FFFF000000");
    payload[5] = char(p5);
    payload[6] = char(p6);

    SerialTop top;
    QSignalSpy sels(&top, &SerialTop::rcvSels);
    QVERIFY(sels.isValid());
    feed(&top, frame(0x070D, payload));
    QCOMPARE(sels.count(), 1);
    QCOMPARE(sels.at(0).at(0).toInt(), 9);
    QCOMPARE(sels.at(0).at(1).toFloat(), 65535.0f);
    QCOMPARE(sels.at(0).at(2).toFloat(), float(velocity));
    QCOMPARE(sels.at(0).at(3).toFloat(), 0.0f);
}

void tst_FrameDecoder::checksumIsLowByteOfSum()
{
    SerialTop top;
    uchar crc = 0;
    QVERIFY(QMetaObject::invokeMethod(&top, "_calcCRC", Qt::DirectConnection, Q_RETURN_ARG(uchar, crc),
                                      Q_ARG(QByteArray, hex("071ED2040007E2"))));
    QCOMPARE(int(crc), 0xE4);
    QVERIFY(QMetaObject::invokeMethod(&top, "_calcCRC", Qt::DirectConnection, Q_RETURN_ARG(uchar, crc),
                                      Q_ARG(QByteArray, QByteArray())));
    QCOMPARE(int(crc), 0);
}

void tst_FrameDecoder::reportedObjectsAreACopy()
{
    SerialTop top;
    QList<QVector<float>> distances;
    connect(&top, &SerialTop::rcvObjs, this,
            [&](QVector<int>, QVector<float> r, QVector<float>, QVector<float>, int) { distances << r; },
            Qt::QueuedConnection);
    // Two measurements decoded before the receiver runs: each keeps its own values.
    feed(&top, frame(0x070B, hex("02000000000000")) + frame(0x070C, hex("01000A00000000"))
                       + frame(0x070C, hex("02001400000000")));
    feed(&top, frame(0x070B, hex("02000000000000")) + frame(0x070C, hex("03001E00000000"))
                       + frame(0x070C, hex("04002800000000")));
    QTRY_COMPARE(distances.size(), 2);
    QCOMPARE(distances.at(0), (QVector<float>{10, 20}));
    QCOMPARE(distances.at(1), (QVector<float>{30, 40}));
}

void tst_FrameDecoder::objectsBeyondStorageAreDropped()
{
    SerialTop top;
    Recorder rec(&top);
    QByteArray stream;
    for (int i = 0; i < 300; ++i)
        stream += object7;
    feed(&top, stream);
    feed(&top, frame(0x070B, hex("01000000000000")) + object7);
    QCOMPARE(rec.events, (QStringList{"new", "objs 1: 7/1234/-1.5/30"}));
}

void tst_FrameDecoder::rxByteLineComesFirstAndOnlyWhenEnabled()
{
    SerialTop top;
    Recorder rec(&top);
    QByteArray bad = result5;
    bad[11] = 0;
    feed(&top, bad);
    QCOMPARE(rec.events, QStringList{"log Ошибка CRC!!!"});

    rec.events.clear();
    top.SetLogRxByteEn(2);
    feed(&top, hex("AAAA0B07"));
    feed(&top, bad.mid(4));
    top.SetLogRxByteEn(1);
    feed(&top, hex("0A"));
    top.SetLogRxByteEn(0);
    feed(&top, result5);
    QCOMPARE(rec.events, (QStringList{"log RxByte:AA AA 0B 07 ", "log RxByte:05 1E D2 04 00 00 14 00 55 55 ",
                                       "log Ошибка CRC!!!", "log RxByte:0A ", "sel 5/1234/1/30"}));
}

QTEST_GUILESS_MAIN(tst_FrameDecoder)
#include "tst_framedecoder.moc"
