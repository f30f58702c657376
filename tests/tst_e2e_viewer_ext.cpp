// viewer_ext end to end: the simulator process plays the device on one end of a socat line,
// the window reads the other end.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <qcustomplot.h>

#include "graph_plotter.h"
#include "mainwindow.h"
#include "simulatorprocess.h"
#include "virtualserialline.h"

class tst_E2EViewerExt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void simulatedMeasurementsShowUp();
    void badFramesAreReportedAndGoodOnesArrive();
    void keepsUpWithTheFullLineRate();

private:
    void connectWindow();
    int logCount(const QString &text) const;
    template<typename T> T *child(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }

    VirtualSerialLine *line = nullptr;
    MainWindow *window = nullptr;
};

void tst_E2EViewerExt::init()
{
    line = new VirtualSerialLine;
    QVERIFY2(line->start(false), qPrintable(line->error()));
    qputenv("VIEWER_EXTRA_PORTS", line->devicePath().toLocal8Bit());
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void tst_E2EViewerExt::cleanup()
{
    delete window;
    delete line;
    qunsetenv("VIEWER_EXTRA_PORTS");
}

void tst_E2EViewerExt::connectWindow()
{
    // The virtual line is first in the list, as in the demo: one click connects.
    QCOMPARE(child<QComboBox>("comboBox_com_list")->currentText(), line->devicePath());
    child<QToolButton>("toolButton_connect")->click();
    QTRY_VERIFY(child<QTextEdit>("textEdit_log")->toPlainText().contains(QStringLiteral("Подключение...OK")));
}

int tst_E2EViewerExt::logCount(const QString &text) const
{
    return child<QTextEdit>("textEdit_log")->toPlainText().count(text);
}

void tst_E2EViewerExt::simulatedMeasurementsShowUp()
{
    connectWindow();
    child<QCheckBox>("checkBox_VisibleObj")->click();
    SimulatorProcess sim;
    QVERIFY(sim.run({"--port", line->testPath(), "--rate", "50", "--count", "40", "--objects", "3",
                     "--random-chunks"}));
    QVERIFY2(sim.finish(), qPrintable(sim.errorOutput()));
    QCOMPARE(sim.summary().messages, 40);

    graph_plotter *plotter = window->GraphPlotter();
    // Every result is plotted; the objects of the first measurement came before the plot restarted.
    QTRY_COMPARE(plotter->Keys(0).size(), 40);
    QTRY_COMPARE(plotter->Keys(1).size(), 39 * 3);
    QCOMPARE(plotter->Graph(1)->dataCount(), 39 * 3);
    QVERIFY(plotter->Graph(1)->visible());

    auto *table = child<QTableWidget>("tableWidget_Tracker");
    QStringList ids;
    for (int r = 0; r < 3; ++r) {
        ids << table->item(r, 0)->text();
        QVERIFY(table->item(r, 1)->text().toInt() >= 30);
        QVERIFY(table->item(r, 2)->text().contains(QLatin1Char('.')));
        QVERIFY(!table->item(r, 3)->text().isEmpty());
    }
    QCOMPARE(ids, (QStringList{"1", "2", "3"}));
    QVERIFY(table->item(3, 0)->text().isEmpty());

    const QRegularExpression label(QStringLiteral("^Резальтат \\(D/V/SNR\\): \\d+\\(см\\) / -?\\d+\\.\\d\\(м/с\\) / \\d+ $"));
    QVERIFY2(label.match(child<QLabel>("label_rezult")->text()).hasMatch(), qPrintable(child<QLabel>("label_rezult")->text()));
    // The label shows the nearest object: its distance is the smallest in the table.
    const int labelR = child<QLabel>("label_rezult")->text().section(QLatin1Char(' '), 2, 2).section(QLatin1Char('('), 0, 0).toInt();
    int nearest = INT_MAX;
    for (int r = 0; r < 3; ++r)
        nearest = qMin(nearest, table->item(r, 1)->text().toInt());
    QCOMPARE(labelR, nearest);
    QCOMPARE(logCount(QStringLiteral("Ошибка")), 0);
}

void tst_E2EViewerExt::badFramesAreReportedAndGoodOnesArrive()
{
    connectWindow();
    SimulatorProcess sim;
    QVERIFY(sim.run({"--port", line->testPath(), "--rate", "100", "--count", "120", "--objects", "2", "--bad-crc",
                     "0.05", "--bad-end", "0.03", "--stray", "0.2", "--seed", "7"}));
    QVERIFY2(sim.finish(), qPrintable(sim.errorOutput()));
    const SimulatorProcess::Summary s = sim.summary();
    QVERIFY2(s.badCrc > 0 && s.badEnd > 0 && s.stray > 0, qPrintable(sim.errorOutput()));

    QTRY_COMPARE(logCount(QStringLiteral("Ошибка CRC!!!")), int(s.badCrc));
    QTRY_COMPARE(logCount(QStringLiteral("Ошибка EndSequence!!!")), int(s.badEnd));
    // Only spoiled results are missing from slot 0.
    const int results = window->GraphPlotter()->Keys(0).size();
    QVERIFY2(results >= 120 - s.badCrc - s.badEnd && results < 120, qPrintable(QString::number(results)));
}

void tst_E2EViewerExt::keepsUpWithTheFullLineRate()
{
    connectWindow();
    child<QCheckBox>("checkBox_VisibleObj")->click();
    SimulatorProcess sim;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(sim.run({"--port", line->testPath(), "--rate", "max", "--duration", "4"}));
    QVERIFY2(sim.finish(), qPrintable(sim.errorOutput()));
    const qint64 sent = sim.summary().messages;
    QVERIFY2(sent > 500, qPrintable(sim.errorOutput()));
    QCOMPARE(sim.summary().dropped, 0);
    // Everything sent arrives and is drawn within a moment of the end of the stream.
    QTRY_COMPARE_WITH_TIMEOUT(window->GraphPlotter()->Keys(0).size(), int(sent), 2000);
    QCOMPARE(window->GraphPlotter()->Keys(1).size(), int(sent - 1) * 3);
    qInfo("%lld measurements (%lld frames) in %.2f s", sent, sent * 5, clock.elapsed() / 1000.0);
}

QTEST_MAIN(tst_E2EViewerExt)
#include "tst_e2e_viewer_ext.moc"
