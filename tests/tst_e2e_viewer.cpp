// viewer end to end: the simulator process plays the height device on a socat line.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QtTest>

#include <qcustomplot.h>

#include "mainwindow.h"
#include "simulatorprocess.h"
#include "virtualserialline.h"

class tst_E2EViewer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void heightsShowUp();
    void lostBytesCostOnlyTheirRecords();
    void keepsUpWithTheFullLineRate();

private:
    void connectWindow();
    template<typename T> T *child(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }

    VirtualSerialLine *line = nullptr;
    MainWindow *window = nullptr;
};

void tst_E2EViewer::init()
{
    line = new VirtualSerialLine;
    QVERIFY2(line->start(false), qPrintable(line->error()));
    qputenv("VIEWER_EXTRA_PORTS", line->devicePath().toLocal8Bit());
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void tst_E2EViewer::cleanup()
{
    delete window;
    delete line;
    qunsetenv("VIEWER_EXTRA_PORTS");
}

void tst_E2EViewer::connectWindow()
{
    QCOMPARE(child<QComboBox>("comboBox_list_port")->currentText(), line->devicePath());
    child<QPushButton>("pushButton_connect_to_rs485")->click();
    QTRY_VERIFY(child<QTextEdit>("textEdit_log")->toPlainText().contains(QStringLiteral("Connected to ") + line->devicePath()));
}

void tst_E2EViewer::heightsShowUp()
{
    connectWindow();
    auto *lamp = child<QRadioButton>("radioButton_rx_byte_status");
    SimulatorProcess sim;
    QVERIFY(sim.run({"--device", "viewer", "--port", line->testPath(), "--rate", "200", "--count", "1300",
                     "--random-chunks"}));
    QTRY_VERIFY(lamp->isChecked());
    QVERIFY2(sim.finish(), qPrintable(sim.errorOutput()));
    QCOMPARE(sim.summary().messages, 1300);

    // 1300 records: a full sweep of 1000, then 300 in the new one.
    QTRY_COMPARE(window->PlotKeys().size(), 300);
    QCOMPARE(window->PlotKeys().last(), 299.0);
    QCOMPARE(child<QCustomPlot>("widget_plotter")->graph(0)->dataCount(), 300);
    const QString label = child<QLabel>("label_distance")->text();
    QCOMPARE(label, QStringLiteral("Высота: %1 м").arg(window->PlotValues().last(), 0, 'f', 2));
    QVERIFY(window->PlotValues().last() > 1.0); // six and a half seconds into the climb
    QTRY_VERIFY_WITH_TIMEOUT(!lamp->isChecked(), 1000);
}

void tst_E2EViewer::lostBytesCostOnlyTheirRecords()
{
    connectWindow();
    SimulatorProcess sim;
    QVERIFY(sim.run({"--device", "viewer", "--port", line->testPath(), "--rate", "500", "--count", "900",
                     "--lose-byte", "0.02", "--stray", "0.02", "--seed", "3"}));
    QVERIFY2(sim.finish(), qPrintable(sim.errorOutput()));
    const SimulatorProcess::Summary s = sim.summary();
    QVERIFY(s.lostBytes > 0 && s.stray > 0);
    QTest::qWait(200);
    const int got = window->PlotKeys().size();
    // Each fault costs the record it hits and perhaps the next; the rest decode as sent.
    QVERIFY2(got <= 900 && got >= 900 - 3 * (s.lostBytes + s.stray), qPrintable(QString::number(got)));
    for (double h : window->PlotValues())
        QVERIFY2(h >= 0 && h < 50, qPrintable(QString::number(h)));
}

void tst_E2EViewer::keepsUpWithTheFullLineRate()
{
    connectWindow();
    SimulatorProcess sim;
    QVERIFY(sim.run({"--device", "viewer", "--port", line->testPath(), "--rate", "max", "--duration", "4"}));
    QVERIFY2(sim.finish(), qPrintable(sim.errorOutput()));
    const qint64 sent = sim.summary().messages;
    QVERIFY2(sent > 5000, qPrintable(sim.errorOutput()));
    QCOMPARE(sim.summary().dropped, 0);
    QTRY_COMPARE_WITH_TIMEOUT(window->PlotKeys().size(), int(sent % 1000 == 0 ? 1000 : sent % 1000), 2000);
}

QTEST_MAIN(tst_E2EViewer)
#include "tst_e2e_viewer.moc"
