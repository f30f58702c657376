// The viewer window: height records, the sweep plot, the lamp, the log and the connect button.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <qcustomplot.h>

#include "deviceframes.h"
#include "mainwindow.h"
#include "portlist.h"
#include "serialtop.h"
#include "virtualserialline.h"
#include "windowprobe.h"

namespace {

QByteArray heightRecord(int raw)
{
    return DeviceFrames::heightRecord(raw / 100.0);
}

} // namespace

class tst_Viewer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void form();
    void decoding_data();
    void decoding();
    void sweepsOfAThousand();
    void reconnectDropsAPartialRecord();
    void rxByteLineAfterDecoding();
    void emptyChunkChangesNothing();
    void lampGoesDarkAfterTheLastChunk();
    void emptyPortList();
    void connectAndDisconnectThroughALine();
    void missingPortShowsTheWorkersReason();
    void clickOnValueAxisSelectsCurveAndAxis();
    void clickOnKeyAxisSelectsNothing();
    void settingsRecordIsCopied();

private:
    QStringList logLines() const;
    void feed(const QByteArray &chunk);
    template<typename T> T *child(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    QPoint pointOnPart(QCPAxis *axis, QCPAxis::SelectablePart part) const;

    MainWindow *window = nullptr;
};

void tst_Viewer::init()
{
    qunsetenv("VIEWER_EXTRA_PORTS");
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void tst_Viewer::cleanup()
{
    delete window;
    window = nullptr;
    qunsetenv("VIEWER_EXTRA_PORTS");
}

QStringList tst_Viewer::logLines() const
{
    return WindowProbe::logLines(child<QTextEdit>("textEdit_log"));
}

void tst_Viewer::feed(const QByteArray &chunk)
{
    QVERIFY(QMetaObject::invokeMethod(window, "on_logRx", Q_ARG(QByteArray, chunk)));
}

QPoint tst_Viewer::pointOnPart(QCPAxis *axis, QCPAxis::SelectablePart part) const
{
    return WindowProbe::pointOnPart(child<QCustomPlot>("widget_plotter"), axis, part);
}

void tst_Viewer::form()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Vandor Viewer"));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(child<QWidget>("centralWidget")->minimumSize(), QSize(680, 460));
    QCOMPARE(child<QLabel>("label_distance")->text(), QStringLiteral("Высота, м"));
    QCOMPARE(child<QLabel>("label_distance")->font().pointSize(), 16);
    auto *lamp = child<QRadioButton>("radioButton_rx_byte_status");
    QVERIFY(!lamp->isEnabled());
    QVERIFY(!lamp->isChecked());
    QVERIFY(lamp->text().isEmpty());
    QCOMPARE(child<QComboBox>("comboBox_list_port")->minimumWidth(), 75);
    QVERIFY(child<QComboBox>("comboBox_list_port")->isEditable());
    QCOMPARE(child<QToolButton>("toolButton_scan_port_rs485")->text(), QStringLiteral("..."));
    QVERIFY(!child<QToolButton>("toolButton_scan_port_rs485")->icon().isNull());
    auto *button = child<QPushButton>("pushButton_connect_to_rs485");
    QVERIFY(button->isCheckable());
    QCOMPARE(button->text(), QStringLiteral("Подключить"));
    QCOMPARE(child<QCheckBox>("checkBox_LogRxByte_rs485")->text(), QStringLiteral("Отображать принятые байты"));
    QCOMPARE(child<QTextEdit>("textEdit_log")->maximumHeight(), 100);

    auto *plot = child<QCustomPlot>("widget_plotter");
    QCPAxis *key = plot->axisRect()->axis(QCPAxis::atBottom, 1);
    QCPAxis *height = plot->axisRect()->axis(QCPAxis::atLeft, 1);
    QCOMPARE(key->range(), QCPRange(0, 1000));
    QCOMPARE(plot->xAxis->range(), QCPRange(0, 1000));
    QCOMPARE(plot->xAxis2->range(), QCPRange(0, 1000));
    QCOMPARE(height->range(), QCPRange(0, 50));
    QCOMPARE(plot->yAxis->range(), QCPRange(0, 10));
    QCOMPARE(height->label(), QStringLiteral("Высота, м"));
    QCOMPARE(plot->graphCount(), 1);
    QCOMPARE(plot->graph(0)->pen().widthF(), 1.5);
    QCOMPARE(plot->interactions(), QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectAxes | QCP::iSelectPlottables);
}

void tst_Viewer::decoding_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QVector<double>>("heights");

    const QByteArray r100 = QByteArray::fromHex("FE0010270000");
    QTest::addRow("one record") << QList<QByteArray>{r100} << "Высота: 100.00 м" << QVector<double>{100};
    QTest::addRow("split record") << QList<QByteArray>{r100.left(3), r100.mid(3)} << "Высота: 100.00 м"
                                  << QVector<double>{100};
    QTest::addRow("bytes before the first lead byte")
            << QList<QByteArray>{QByteArray::fromHex("1234") + r100} << "Высота: 100.00 м" << QVector<double>{100};
    QTest::addRow("raw 0") << QList<QByteArray>{heightRecord(0)} << "Высота: 0.00 м" << QVector<double>{0};
    QTest::addRow("raw 65535") << QList<QByteArray>{heightRecord(65535)} << "Высота: 655.35 м"
                               << QVector<double>{double(65535 / 100.0f)};
    QTest::addRow("record bytes 4 and 5 are not read")
            << QList<QByteArray>{QByteArray::fromHex("FE77E803FFFF")} << "Высота: 10.00 м" << QVector<double>{10};
    // A lost byte costs one record; the decoder finds the next lead byte and goes on.
    QTest::addRow("lost byte, then good records")
            << QList<QByteArray>{r100.left(5), heightRecord(20000), heightRecord(30000) + heightRecord(1)}
            << "Высота: 0.01 м" << QVector<double>{100, 300, 0.01};
    QTest::addRow("extra byte, then good records")
            << QList<QByteArray>{r100 + QByteArray::fromHex("77") + heightRecord(20000)} << "Высота: 200.00 м"
            << QVector<double>{100, 200};
}

void tst_Viewer::decoding()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QString, label);
    QFETCH(QVector<double>, heights);
    for (const QByteArray &c : chunks)
        feed(c);
    QCOMPARE(child<QLabel>("label_distance")->text(), label);
    QCOMPARE(window->PlotValues().size(), heights.size());
    for (int i = 0; i < heights.size(); ++i) {
        QCOMPARE(window->PlotKeys().at(i), double(i));
        QCOMPARE(float(window->PlotValues().at(i)), float(heights.at(i)));
    }
    QCOMPARE(child<QCustomPlot>("widget_plotter")->graph(0)->dataCount(), heights.size());
}

void tst_Viewer::sweepsOfAThousand()
{
    QByteArray stream;
    for (int i = 0; i < 1000; ++i)
        stream += heightRecord(i);
    feed(stream);
    auto *graph = child<QCustomPlot>("widget_plotter")->graph(0);
    QCOMPARE(window->PlotKeys().size(), 1000);
    QCOMPARE(window->PlotKeys().last(), 999.0);
    QCOMPARE(graph->dataCount(), 1000);

    feed(heightRecord(4242));
    QCOMPARE(window->PlotKeys(), QVector<double>{0});
    QCOMPARE(float(window->PlotValues().at(0)), 42.42f);
    QCOMPARE(graph->dataCount(), 1);
    QCOMPARE(graph->data()->at(0)->key, 0.0);
}

void tst_Viewer::reconnectDropsAPartialRecord()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    feed(QByteArray::fromHex("FE0010"));
    child<QComboBox>("comboBox_list_port")->setCurrentText(line.devicePath());
    child<QPushButton>("pushButton_connect_to_rs485")->click();
    feed(QByteArray::fromHex("2700") + heightRecord(500));
    QCOMPARE(window->PlotValues(), QVector<double>{5});
}

void tst_Viewer::rxByteLineAfterDecoding()
{
    feed(QByteArray::fromHex("FE01"));
    QCOMPARE(logLines(), QStringList());
    child<QCheckBox>("checkBox_LogRxByte_rs485")->click();
    feed(QByteArray::fromHex("FE01"));
    QCOMPARE(logLines(), QStringList{"RxByte:FE 01 "});
}

void tst_Viewer::emptyChunkChangesNothing()
{
    child<QCheckBox>("checkBox_LogRxByte_rs485")->click();
    feed(QByteArray());
    QVERIFY(!child<QRadioButton>("radioButton_rx_byte_status")->isChecked());
    QCOMPARE(logLines(), QStringList());
}

void tst_Viewer::lampGoesDarkAfterTheLastChunk()
{
    auto *lamp = child<QRadioButton>("radioButton_rx_byte_status");
    QElapsedTimer clock;
    clock.start();
    feed(QByteArray::fromHex("00"));
    QVERIFY(lamp->isChecked());
    QTest::qWait(150);
    feed(QByteArray::fromHex("00")); // restarts the 200 ms
    const qint64 second = clock.elapsed();
    QTest::qWait(120);
    QVERIFY(lamp->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(!lamp->isChecked(), 1000);
    QVERIFY(clock.elapsed() - second >= 195);
}

void tst_Viewer::emptyPortList()
{
    auto *box = child<QComboBox>("comboBox_list_port");
    box->clear();
    auto *button = child<QPushButton>("pushButton_connect_to_rs485");
    button->click();
    QCOMPARE(logLines(), QStringList{"Нет доступных COM портов"});
    QVERIFY(button->isChecked());
    QCOMPARE(button->text(), QStringLiteral("Подключить"));

    button->click();
    QVERIFY(!button->isChecked());
    QCOMPARE(button->text(), QStringLiteral("Подключить"));
    // Closing a port that was never opened is reported by the port itself, before the outcome.
    QTRY_COMPARE(logLines(), (QStringList{"Нет доступных COM портов", "Serial port error: NotOpenError",
                                          "Disconnected of ", "Устройство отключено"}));

    qputenv("VIEWER_EXTRA_PORTS", "/tmp/viewerLine");
    child<QToolButton>("toolButton_scan_port_rs485")->click();
    QCOMPARE(box->itemText(0), QStringLiteral("/tmp/viewerLine"));
    QCOMPARE(box->count(), 1 + PortList::systemPorts().size());
}

void tst_Viewer::connectAndDisconnectThroughALine()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    qputenv("VIEWER_EXTRA_PORTS", line.devicePath().toLocal8Bit());
    child<QToolButton>("toolButton_scan_port_rs485")->click();
    auto *button = child<QPushButton>("pushButton_connect_to_rs485");
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Отключить"));
    const QString connected = QStringLiteral("Connected to ") + line.devicePath();
    QTRY_VERIFY(logLines().contains(connected));

    QVERIFY(line.write(QByteArray::fromHex("12") + heightRecord(1234) + heightRecord(2345)));
    QTRY_COMPARE(child<QLabel>("label_distance")->text(), QStringLiteral("Высота: 23.45 м"));
    QVERIFY(child<QRadioButton>("radioButton_rx_byte_status")->isChecked());
    QCOMPARE(window->PlotValues().size(), 2);

    button->click();
    QCOMPARE(button->text(), QStringLiteral("Подключить"));
    QTRY_VERIFY(logLines().contains(QStringLiteral("Устройство отключено")));
    const QStringList lines = logLines();
    QCOMPARE(lines.mid(lines.size() - 2),
             (QStringList{QStringLiteral("Disconnected of ") + line.devicePath(), "Устройство отключено"}));
}

void tst_Viewer::missingPortShowsTheWorkersReason()
{
    child<QComboBox>("comboBox_list_port")->setCurrentText(QStringLiteral("/nonexistent/ttyVIEWER2"));
    auto *button = child<QPushButton>("pushButton_connect_to_rs485");
    button->click();
    QCOMPARE(button->text(), QStringLiteral("Отключить"));
    QTRY_VERIFY(!logLines().isEmpty());
    QTest::qWait(50);
    const QString last = logLines().last();
    QVERIFY2(last.startsWith(QStringLiteral("Serial port (/nonexistent/ttyVIEWER2) open error: ")), qPrintable(last));
    QVERIFY(!logLines().join('\n').contains(QStringLiteral("Connected to")));
}

void tst_Viewer::clickOnValueAxisSelectsCurveAndAxis()
{
    feed(heightRecord(1000) + heightRecord(2000));
    auto *plot = child<QCustomPlot>("widget_plotter");
    plot->replot();
    QCPAxis *height = plot->axisRect()->axis(QCPAxis::atLeft, 1);
    const QPoint p = pointOnPart(height, QCPAxis::spTickLabels);
    QVERIFY(p.x() >= 0);
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, p);
    QCOMPARE(height->selectedParts(), QCPAxis::spAxis | QCPAxis::spTickLabels);
    QVERIFY(plot->graph(0)->selected());
    QCOMPARE(plot->axisRect()->rangeDragAxes(Qt::Vertical), QList<QCPAxis *>{height});
    QCOMPARE(plot->axisRect()->rangeDrag(), Qt::Vertical);
    QCOMPARE(plot->axisRect()->rangeZoom(), Qt::Vertical);
    QCOMPARE(plot->axisRect()->rangeZoomFactor(Qt::Vertical), 2.0);
    QCOMPARE(plot->yAxis->range(), height->range()); // the grid takes the value axis's range

    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, plot->axisRect()->rect().center() + QPoint(0, -5));
    QCOMPARE(height->selectedParts(), QCPAxis::spNone);
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());
}

void tst_Viewer::clickOnKeyAxisSelectsNothing()
{
    auto *plot = child<QCustomPlot>("widget_plotter");
    plot->replot();
    QCPAxis *key = plot->axisRect()->axis(QCPAxis::atBottom, 1);
    const QPoint p = pointOnPart(key, QCPAxis::spTickLabels);
    QVERIFY(p.x() >= 0);
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, p);
    QCOMPARE(key->selectedParts(), QCPAxis::spNone);
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Horizontal).isEmpty());
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());
}

void tst_Viewer::settingsRecordIsCopied()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    QThread thread;
    auto *top = new SerialTop;
    top->moveToThread(&thread);
    connect(&thread, &QThread::started, top, &SerialTop::init);
    connect(&thread, &QThread::finished, top, &QObject::deleteLater);
    QList<bool> states;
    connect(top, &SerialTop::connectedChanged, this, [&](bool s) { states << s; });
    thread.start();
    {
        auto *settings = new serialPortSettings_t;
        settings->name = line.devicePath();
        settings->stopBits = QSerialPort::OneStop;
        top->connectToDevice(settings);
        settings->name = QStringLiteral("/nonexistent/changed-after-the-call");
        delete settings;
    }
    QTRY_COMPARE(states, QList<bool>{true});
    top->disconnectFromDevice();
    QTRY_COMPARE(states, (QList<bool>{true, false}));
    thread.quit();
    QVERIFY(thread.wait(5000));
}

QTEST_MAIN(tst_Viewer)
#include "tst_viewer.moc"
