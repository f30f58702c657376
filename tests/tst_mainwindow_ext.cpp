// The viewer_ext window: its form, port list, log pane, and live data through a virtual line.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

#include <qcustomplot.h>

#include "deviceframes.h"
#include "graph_plotter.h"
#include "mainwindow.h"
#include "portlist.h"
#include "virtualserialline.h"
#include "windowprobe.h"

namespace {

QByteArray frame(quint16 id, const QByteArray &payload7)
{
    return DeviceFrames::trackerFrame(id, payload7);
}

} // namespace

class tst_MainWindowExt : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void formObjects_data();
    void formObjects();
    void windowProperties();
    void portListPutsExtraPortsFirst();
    void appendLogLines();
    void trackerTableLayout();
    void connectShowsOneLine();
    void missingPortShowsError();
    void liveFramesFillTableLabelAndPlot();
    void rxByteLineOnlyWhileTicked();
    void longObjectListFillsSixteenRows();
    void plotResetBoundary_data();
    void plotResetBoundary();
    void visibleObjectsCheckBox();
    void closeWhileConnected();

private:
    QStringList logLines() const;
    template<typename T> T *child(const char *name) const { return window->findChild<T *>(QLatin1String(name)); }
    void connectTo(const QString &port);

    MainWindow *window = nullptr;
};

void tst_MainWindowExt::init()
{
    qunsetenv("VIEWER_EXTRA_PORTS");
    window = new MainWindow;
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
}

void tst_MainWindowExt::cleanup()
{
    delete window;
    window = nullptr;
    qunsetenv("VIEWER_EXTRA_PORTS");
}

QStringList tst_MainWindowExt::logLines() const
{
    return WindowProbe::logLines(child<QTextEdit>("textEdit_log"));
}

void tst_MainWindowExt::connectTo(const QString &port)
{
    child<QComboBox>("comboBox_com_list")->setCurrentText(port);
    child<QToolButton>("toolButton_connect")->click();
    QVERIFY(child<QToolButton>("toolButton_connect")->isChecked());
}

void tst_MainWindowExt::formObjects_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("text");
    QTest::addRow("label_rezult") << "label_rezult" << "QLabel" << "Результат (D/V/SNR):";
    QTest::addRow("groupBox_4") << "groupBox_4" << "QGroupBox" << "Параметры соединения";
    QTest::addRow("label_4") << "label_4" << "QLabel" << "Порт";
    QTest::addRow("comboBox_com_list") << "comboBox_com_list" << "QComboBox" << "";
    QTest::addRow("pushButton_com_scan") << "pushButton_com_scan" << "QPushButton" << "";
    QTest::addRow("toolButton_connect") << "toolButton_connect" << "QToolButton" << "...";
    QTest::addRow("checkBox_LogRxByte") << "checkBox_LogRxByte" << "QCheckBox" << "Отображать принятые байты";
    QTest::addRow("label_3") << "label_3" << "QLabel" << "Объекты";
    QTest::addRow("checkBox_VisibleObj") << "checkBox_VisibleObj" << "QCheckBox" << "Отображать";
    QTest::addRow("tableWidget_Tracker") << "tableWidget_Tracker" << "QTableWidget" << "";
    QTest::addRow("widget_plot") << "widget_plot" << "QCustomPlot" << "";
    QTest::addRow("textEdit_log") << "textEdit_log" << "QTextEdit" << "";
    QTest::addRow("centralWidget") << "centralWidget" << "QWidget" << "";
}

void tst_MainWindowExt::formObjects()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QString, text);
    QWidget *w = window->findChild<QWidget *>(name);
    QVERIFY2(w, qPrintable(name));
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), className);
    if (auto *label = qobject_cast<QLabel *>(w))
        QCOMPARE(label->text(), text);
    else if (auto *button = qobject_cast<QAbstractButton *>(w))
        QCOMPARE(button->text(), text);
    else if (auto *box = qobject_cast<QGroupBox *>(w))
        QCOMPARE(box->title(), text);
}

void tst_MainWindowExt::windowProperties()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Vandor ZidevuDuv"));
    QCOMPARE(window->minimumSize(), QSize(900, 590));
    QCOMPARE(window->maximumSize(), QSize(16777215, 16777208));
    QCOMPARE(window->windowModality(), Qt::WindowModal);
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(child<QLabel>("label_rezult")->font().pointSize(), 16);
    QCOMPARE(child<QTextEdit>("textEdit_log")->maximumHeight(), 75);
    QVERIFY(!child<QTextEdit>("textEdit_log")->isReadOnly());

    auto *connectButton = child<QToolButton>("toolButton_connect");
    QVERIFY(connectButton->isCheckable());
    QVERIFY(!connectButton->isChecked());
    QCOMPARE(connectButton->iconSize(), QSize(32, 32));
    QCOMPARE(connectButton->focusPolicy(), Qt::NoFocus);
    // Distinct pictures for the two states.
    const QIcon icon = connectButton->icon();
    QVERIFY(icon.pixmap(32, QIcon::Normal, QIcon::Off).toImage() != icon.pixmap(32, QIcon::Normal, QIcon::On).toImage());
    QVERIFY(!child<QPushButton>("pushButton_com_scan")->icon().isNull());
    QVERIFY(child<QComboBox>("comboBox_com_list")->isEditable());

    auto *grid = qobject_cast<QGridLayout *>(child<QWidget>("centralWidget")->layout());
    QVERIFY(grid);
    QCOMPARE(grid->objectName(), QStringLiteral("gridLayout_2"));
    QCOMPARE(grid->rowStretch(4), 20);
    QCOMPARE(grid->columnStretch(0), 20);
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(child<QWidget>("widget_plot")), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}), QList<int>({2, 0, 3, 3}));
    grid->getItemPosition(grid->indexOf(child<QWidget>("textEdit_log")), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}), QList<int>({5, 0, 1, 5}));
}

void tst_MainWindowExt::portListPutsExtraPortsFirst()
{
    auto *box = child<QComboBox>("comboBox_com_list");
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    QCOMPARE(items, PortList::systemPorts());

    qputenv("VIEWER_EXTRA_PORTS", "/tmp/lineA::/dev/serial/by-id/usb-X");
    child<QPushButton>("pushButton_com_scan")->click();
    items.clear();
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    QCOMPARE(items, QStringList({"/tmp/lineA", "/dev/serial/by-id/usb-X"}) + PortList::systemPorts());
    QCOMPARE(box->currentIndex(), 0);
    QCOMPARE(box->currentText(), QStringLiteral("/tmp/lineA"));
}

void tst_MainWindowExt::appendLogLines()
{
    auto *pane = child<QTextEdit>("textEdit_log");
    const QColor white(255, 255, 255);
    QVERIFY(QMetaObject::invokeMethod(window, "AppendLog", Q_ARG(QString, "Подключение..."), Q_ARG(bool, true),
                                      Q_ARG(QColor, white)));
    QVERIFY(QMetaObject::invokeMethod(window, "AppendLog", Q_ARG(QString, "OK"), Q_ARG(bool, false),
                                      Q_ARG(QColor, QColor(Qt::yellow))));
    QVERIFY(QMetaObject::invokeMethod(window, "AppendLog", Q_ARG(QString, "next"), Q_ARG(bool, true),
                                      Q_ARG(QColor, white)));
    QCOMPARE(logLines(), (QStringList{"Подключение...OK", "next"}));

    // The continuation carries its own background colour.
    QTextCursor cursor(pane->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::EndOfBlock);
    QCOMPARE(cursor.charFormat().background().color(), QColor(Qt::yellow));

    for (int i = 0; i < 50; ++i)
        QVERIFY(QMetaObject::invokeMethod(window, "AppendLog", Q_ARG(QString, QString::number(i)), Q_ARG(bool, true),
                                          Q_ARG(QColor, white)));
    QVERIFY(pane->verticalScrollBar()->maximum() > 0);
    QCOMPARE(pane->verticalScrollBar()->value(), pane->verticalScrollBar()->maximum());
}

void tst_MainWindowExt::trackerTableLayout()
{
    auto *table = child<QTableWidget>("tableWidget_Tracker");
    QCOMPARE(table->rowCount(), 16);
    QCOMPARE(table->columnCount(), 4);
    QStringList headers;
    for (int c = 0; c < 4; ++c)
        headers << table->horizontalHeaderItem(c)->text();
    QCOMPARE(headers, (QStringList{"id", "r", "v", "snr"}));
    QVERIFY(!table->verticalHeader()->isVisible());
    QCOMPARE(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    QCOMPARE(table->verticalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    for (int r = 0; r < 16; ++r)
        for (int c = 0; c < 4; ++c)
            QVERIFY(table->item(r, c) && table->item(r, c)->text().isEmpty());
}

void tst_MainWindowExt::connectShowsOneLine()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    connectTo(line.devicePath());
    QTRY_COMPARE(logLines(), QStringList{"Подключение...OK"});

    child<QToolButton>("toolButton_connect")->click();
    QTRY_COMPARE(logLines(), (QStringList{"Подключение...OK", "Отключение..."}));
    QVERIFY(!child<QToolButton>("toolButton_connect")->isChecked());
}

void tst_MainWindowExt::missingPortShowsError()
{
    connectTo(QStringLiteral("/nonexistent/ttyVIEWER1"));
    QTRY_COMPARE(logLines(), QStringList{"Подключение...Ошибка подключения к порту"});
    // The button stays as the operator left it.
    QVERIFY(child<QToolButton>("toolButton_connect")->isChecked());
}

void tst_MainWindowExt::liveFramesFillTableLabelAndPlot()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    connectTo(line.devicePath());
    QTRY_COMPARE(logLines().size(), 1);

    auto *table = child<QTableWidget>("tableWidget_Tracker");
    table->item(5, 1)->setText(QStringLiteral("old"));
    graph_plotter *plotter = window->GraphPlotter();

    QByteArray bad = frame(0x070D, QByteArray::fromHex("051ED204000014"));
    bad[11] = 0;
    const QByteArray object = QByteArray::fromHex("AAAA0C07071ED2040007E2E45555");
    QVERIFY(line.write(QByteArray::fromHex("AAAA0B07030000000000000355 55") + object + object + object + bad
                       + QByteArray::fromHex("AAAA0D07051ED204000014 0D5555")));

    QTRY_COMPARE(child<QLabel>("label_rezult")->text(), QStringLiteral("Резальтат (D/V/SNR): 1234(см) / 1.0(м/с) / 30 "));
    for (int r = 0; r < 3; ++r) {
        QCOMPARE(table->item(r, 0)->text(), QStringLiteral("7"));
        QCOMPARE(table->item(r, 1)->text(), QStringLiteral("1234"));
        QCOMPARE(table->item(r, 2)->text(), QStringLiteral("-1.5"));
        QCOMPARE(table->item(r, 3)->text(), QStringLiteral("30"));
    }
    for (int r = 3; r < 16; ++r)
        for (int c = 0; c < 4; ++c)
            QVERIFY(table->item(r, c)->text().isEmpty());

    // The first result after connecting restarts the plot, then adds its own point.
    QCOMPARE(plotter->Keys(0).size(), 1);
    QCOMPARE(plotter->Values(0).at(0), 1234.0);
    QCOMPARE(plotter->Graph(0)->dataCount(), 1);
    QCOMPARE(plotter->Keys(1).size(), 0); // the objects came before the reset
    QCOMPARE(logLines(), (QStringList{"Подключение...OK", "Ошибка CRC!!!"}));

    // A second measurement: three objects with one key go into slot 1.
    QVERIFY(line.write(QByteArray::fromHex("AAAA0B07030000000000000355 55") + object + object + object));
    QTRY_COMPARE(plotter->Keys(1).size(), 3);
    QCOMPARE(plotter->Keys(1).at(0), plotter->Keys(1).at(2));
    QCOMPARE(plotter->Graph(1)->dataCount(), 3);
}

void tst_MainWindowExt::rxByteLineOnlyWhileTicked()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    connectTo(line.devicePath());
    QTRY_COMPARE(logLines().size(), 1);

    auto *box = child<QCheckBox>("checkBox_LogRxByte");
    box->click();
    QVERIFY(box->isChecked());
    QTest::qWait(50); // the switch travels to the worker thread as a queued call
    QVERIFY(line.write(QByteArray::fromHex("0102")));
    QTRY_COMPARE(logLines().size(), 2);
    QVERIFY(logLines().at(1).startsWith(QStringLiteral("RxByte:")));

    box->click();
    QTest::qWait(50);
    QVERIFY(line.write(QByteArray::fromHex("AAAA0D07051ED2040000140E5555")));
    QTRY_COMPARE(logLines().size(), 3);
    QCOMPARE(logLines().at(2), QStringLiteral("Ошибка CRC!!!"));
}

void tst_MainWindowExt::longObjectListFillsSixteenRows()
{
    QVector<int> ids;
    QVector<float> r, v, snr;
    for (int i = 0; i < 20; ++i) {
        ids << i;
        r << float(100 * i);
        v << -0.05f;
        snr << float(i);
    }
    QVERIFY(QMetaObject::invokeMethod(window, "on_rcvObjs", Q_ARG(QVector<int>, ids), Q_ARG(QVector<float>, r),
                                      Q_ARG(QVector<float>, v), Q_ARG(QVector<float>, snr), Q_ARG(int, 20)));
    auto *table = child<QTableWidget>("tableWidget_Tracker");
    QCOMPARE(table->item(15, 0)->text(), QStringLiteral("15"));
    QCOMPARE(table->item(15, 1)->text(), QStringLiteral("1500"));
    QCOMPARE(table->item(15, 2)->text(), QStringLiteral("-0.1"));
    QCOMPARE(window->GraphPlotter()->Keys(1).size(), 20);
    QCOMPARE(window->GraphPlotter()->Values(1).last(), 1900.0);
}

void tst_MainWindowExt::plotResetBoundary_data()
{
    QTest::addColumn<qint64>("after");
    QTest::addColumn<bool>("reset");
    QTest::addRow("exactly 600000 ms keeps the plot") << qint64(600000) << false;
    QTest::addRow("600001 ms restarts it") << qint64(600001) << true;
    QTest::addRow("a clock set back restarts it") << qint64(-1) << true;
}

void tst_MainWindowExt::plotResetBoundary()
{
    QFETCH(qint64, after);
    QFETCH(bool, reset);
    qint64 now = 1700000000000;
    graph_plotter *plotter = window->GraphPlotter();
    plotter->setClock([&now] { return now; });

    auto result = [this](float r) {
        QVERIFY(QMetaObject::invokeMethod(window, "on_rcvSels", Q_ARG(int, 1), Q_ARG(float, r), Q_ARG(float, 0.f),
                                          Q_ARG(float, 0.f)));
    };
    result(10);
    QCOMPARE(plotter->TimeBase(), now);
    QCOMPARE(plotter->Keys(0), QVector<double>{0.0});
    now += after;
    result(20);
    QCOMPARE(plotter->Keys(0).size(), reset ? 1 : 2);
    QCOMPARE(plotter->TimeBase(), reset ? now : now - after);
}

void tst_MainWindowExt::visibleObjectsCheckBox()
{
    graph_plotter *plotter = window->GraphPlotter();
    QVERIFY(!plotter->Graph(1)->visible());
    child<QCheckBox>("checkBox_VisibleObj")->click();
    QVERIFY(plotter->Graph(1)->visible());
    QVERIFY(!plotter->ValueAxis(1)->visible());
    child<QCheckBox>("checkBox_VisibleObj")->click();
    QVERIFY(!plotter->Graph(1)->visible());
}

void tst_MainWindowExt::closeWhileConnected()
{
    VirtualSerialLine line;
    QVERIFY2(line.start(), qPrintable(line.error()));
    connectTo(line.devicePath());
    QTRY_COMPARE(logLines().size(), 1);
    QVERIFY(line.write(QByteArray(4096, char(0xAA))));
    QTest::qWait(20);
    delete window; // must stop the worker thread without a warning or a crash
    window = nullptr;
    // The port was closed: the line can be opened again at once.
    window = new MainWindow;
    connectTo(line.devicePath());
    QTRY_COMPARE(logLines(), QStringList{"Подключение...OK"});
}

QTEST_MAIN(tst_MainWindowExt)
#include "tst_mainwindow_ext.moc"
