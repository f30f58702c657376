// Graph files: the byte layout of a save, loading good and bad files, and the plot's context menu.
#include <QMenu>
#include <QRandomGenerator>
#include <QTextEdit>
#include <QtTest>

#include <qcustomplot.h>

#include <clocale>
#include <cstring>

#include "graph_plotter.h"
#include "mainwindow.h"

namespace {

QByteArray record(qint32 slot, float key, float value)
{
    QByteArray r(12, 0);
    qToLittleEndian<qint32>(slot, r.data());
    quint32 bits;
    std::memcpy(&bits, &key, 4);
    qToLittleEndian<quint32>(bits, r.data() + 4);
    std::memcpy(&bits, &value, 4);
    qToLittleEndian<quint32>(bits, r.data() + 8);
    return r;
}

QByteArray readFile(const QString &name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QString emptyCells(int n)
{
    return QStringLiteral(" ; ;").repeated(n);
}

} // namespace

class tst_GraphFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void workedExampleByteForByte();
    void emptyStoreWritesTwoLines();
    void saveWithoutFolderWritesNothing();
    void decimalPointWhateverTheLocale();
    void roundTrip();
    void badBinaryFiles_data();
    void badBinaryFiles();
    void randomBytesLoadSafely();
    void contextMenuSavesAndReportsFiles();
    void contextMenuReportsAFailedSave();
    void loadShowsTheCurvesAgain();

private:
    void fillWorkedExample();

    QTemporaryDir *dir = nullptr;
    QString previousDir;
    QCustomPlot *plot = nullptr;
    graph_plotter *plotter = nullptr;
};

void tst_GraphFiles::init()
{
    dir = new QTemporaryDir;
    QVERIFY(dir->isValid());
    previousDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir->path()));
    plot = new QCustomPlot;
    plotter = new graph_plotter;
    plotter->SetPlot(plot);
}

void tst_GraphFiles::cleanup()
{
    delete plotter;
    delete plot;
    QDir::setCurrent(previousDir);
    delete dir;
    QLocale::setDefault(QLocale::c());
}

void tst_GraphFiles::fillWorkedExample()
{
    plotter->AddPointAtKey(0, 1.5, 120);
    plotter->AddPointAtKey(0, 2.25, 121.5);
    plotter->AddPointAtKey(1, 1.5, 300);
    plotter->AddPointAtKey(1, 1.5, 310);
    plotter->AddPointAtKey(1, 2.25, 305);
}

void tst_GraphFiles::workedExampleByteForByte()
{
    QVERIFY(QDir().mkdir(QStringLiteral("!!log")));
    fillWorkedExample();
    const QDateTime before = QDateTime::currentDateTime();
    plotter->on_saveGraphsToFile(QStringLiteral("Заголовок; test"));
    QVERIFY(plotter->LastSaveOk());

    const QStringList files = plotter->LastSaveFiles();
    QCOMPARE(files.size(), 2);
    const QRegularExpression name(QStringLiteral("^!!log/(\\d{4}_\\d\\d_\\d\\d \\d\\d_\\d\\d_\\d\\d)_graphs\\.(txt|bin)$"));
    const QRegularExpressionMatch txtName = name.match(files.at(0));
    const QRegularExpressionMatch binName = name.match(files.at(1));
    QVERIFY2(txtName.hasMatch() && binName.hasMatch(), qPrintable(files.join(' ')));
    QCOMPARE(txtName.captured(2), QStringLiteral("txt"));
    QCOMPARE(binName.captured(2), QStringLiteral("bin"));
    QCOMPARE(txtName.captured(1), binName.captured(1));
    const QDateTime stamp = QDateTime::fromString(txtName.captured(1), QStringLiteral("yyyy_MM_dd HH_mm_ss"));
    QVERIFY(qAbs(stamp.secsTo(before)) <= 2);
    QCOMPARE(QDir(QStringLiteral("!!log")).entryList(QDir::Files).size(), 2);

    const QString expected = QStringLiteral("Заголовок; test\n") + QStringLiteral("time; value;").repeated(20)
            + QStringLiteral("\n1.500000;120.000000;1.500000;300.000000;") + emptyCells(18)
            + QStringLiteral("\n2.250000;121.500000;1.500000;310.000000;") + emptyCells(18)
            + QStringLiteral("\n") + emptyCells(1) + QStringLiteral("2.250000;305.000000;") + emptyCells(18)
            + QStringLiteral("\n");
    QCOMPARE(QString::fromUtf8(readFile(files.at(0))), expected);
    QCOMPARE(QStringLiteral("time; value;").repeated(20).size(), 240);

    const QByteArray bin = readFile(files.at(1));
    QCOMPARE(bin.size(), 60);
    QCOMPARE(bin.left(24).toHex(' '), QByteArray("00 00 00 00 00 00 c0 3f 00 00 f0 42 01 00 00 00 00 00 c0 3f 00 00 96 43"));
    QCOMPARE(bin.mid(24), record(0, 2.25f, 121.5f) + record(1, 1.5f, 310) + record(1, 2.25f, 305));
}

void tst_GraphFiles::emptyStoreWritesTwoLines()
{
    QVERIFY(QDir().mkdir(QStringLiteral("!!log")));
    plotter->AddPointAtKey(5, 1, 1);
    plotter->ResetGraphs(); // a save right after a reset is the same as an empty store
    plotter->on_saveGraphsToFile(QString());
    QVERIFY(plotter->LastSaveOk());
    QCOMPARE(readFile(plotter->LastSaveFiles().at(0)), "\n" + QByteArray("time; value;").repeated(20) + "\n");
    QCOMPARE(readFile(plotter->LastSaveFiles().at(1)), QByteArray());
}

void tst_GraphFiles::saveWithoutFolderWritesNothing()
{
    fillWorkedExample();
    plotter->on_saveGraphsToFile(QStringLiteral("h"));
    QVERIFY(!plotter->LastSaveOk());
    QVERIFY(!QFileInfo::exists(QStringLiteral("!!log")));
    QVERIFY(!QFileInfo::exists(plotter->LastSaveFiles().at(0)));
}

void tst_GraphFiles::decimalPointWhateverTheLocale()
{
    QVERIFY(QDir().mkdir(QStringLiteral("!!log")));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QByteArray previous = setlocale(LC_ALL, nullptr);
    setlocale(LC_ALL, "de_DE.UTF-8"); // where the system has it
    plotter->AddPointAtKey(0, 1234.5, -0.25);
    plotter->on_saveGraphsToFile(QStringLiteral("h"));
    setlocale(LC_ALL, previous.constData());
    const QList<QByteArray> lines = readFile(plotter->LastSaveFiles().at(0)).split('\n');
    QCOMPARE(lines.at(2), "1234.500000;-0.250000;" + QByteArray(" ; ;").repeated(19));
}

void tst_GraphFiles::roundTrip()
{
    QVERIFY(QDir().mkdir(QStringLiteral("!!log")));
    const double third = 1.0 / 3.0;
    plotter->AddPointAtKey(0, third, 100.1);
    plotter->AddPointAtKey(0, 2 * third, -5);
    plotter->AddPointAtKey(19, 7, 7);
    for (int i = 0; i < 4; ++i)
        plotter->AddPointAtKey(1, 1.5, 300 + i); // one key, several points
    plotter->on_saveGraphsToFile(QStringLiteral("h"));
    QVERIFY(plotter->LastSaveOk());

    QVector<double> keys[graph_plotter::graphCount];
    QVector<double> values[graph_plotter::graphCount];
    for (int i = 0; i < graph_plotter::graphCount; ++i) {
        for (double k : plotter->Keys(i))
            keys[i] << double(float(k));
        for (double v : plotter->Values(i))
            values[i] << double(float(v));
    }

    plotter->AddPointAtKey(4, 1, 1); // discarded by the load
    plotter->on_loadGraphsFromFile(plotter->LastSaveFiles().at(1));
    for (int i = 0; i < graph_plotter::graphCount; ++i) {
        QCOMPARE(plotter->Keys(i), keys[i]);
        QCOMPARE(plotter->Values(i), values[i]);
    }
    QCOMPARE(plotter->Graph(1)->dataCount(), 4);
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(0, 20));
}

void tst_GraphFiles::badBinaryFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<int>>("counts"); // points per slot 0..2 after the load

    const QByteArray a = record(0, 1, 10);
    const QByteArray b = record(2, 2, 20);
    QTest::addRow("0 bytes") << QByteArray() << QList<int>{0, 0, 0};
    QTest::addRow("11 bytes") << a.left(11) << QList<int>{0, 0, 0};
    QTest::addRow("13 bytes") << a + "x" << QList<int>{1, 0, 0};
    QTest::addRow("25 bytes") << a + b + "x" << QList<int>{1, 0, 1};
    QTest::addRow("slot -1 skipped") << a + record(-1, 3, 30) + b << QList<int>{1, 0, 1};
    QTest::addRow("slot 20 skipped") << record(20, 3, 30) + a << QList<int>{1, 0, 0};
    QTest::addRow("slot 2^31-1 skipped") << record(0x7FFFFFFF, 3, 30) + b << QList<int>{0, 0, 1};
    QTest::addRow("NaN and infinite kept")
            << record(0, 1, qQNaN()) + record(0, qInf(), 5) + record(0, qQNaN(), 6) + record(0, 2, -qInf())
            << QList<int>{4, 0, 0};
}

void tst_GraphFiles::badBinaryFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<int>, counts);
    QFile f(QStringLiteral("bad_graphs.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    plotter->AddPointAtKey(1, 1, 1);
    plotter->on_loadGraphsFromFile(f.fileName());
    for (int i = 0; i < 3; ++i)
        QCOMPARE(plotter->Keys(i).size(), counts.at(i));
    for (int i = 3; i < graph_plotter::graphCount; ++i)
        QCOMPARE(plotter->Keys(i).size(), 0);
    plotter->SetVisibleGraph(2, true);
    plot->resize(600, 400);
    plot->replot(); // odd values must not upset the drawing
}

void tst_GraphFiles::randomBytesLoadSafely()
{
    QByteArray bytes(10 * 1024 * 1024 + 7, Qt::Uninitialized);
    QRandomGenerator gen(12345);
    gen.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    // Make a share of the records land in valid slots, with any key and value.
    int valid = 0;
    for (int off = 0; off + 12 <= bytes.size(); off += 12 * 97) {
        qToLittleEndian<qint32>(valid % 20, bytes.data() + off);
        ++valid;
    }
    QFile f(QStringLiteral("random_graphs.bin"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    plotter->on_loadGraphsFromFile(f.fileName());
    int loaded = 0;
    for (int i = 0; i < graph_plotter::graphCount; ++i)
        loaded += plotter->Keys(i).size();
    QVERIFY(loaded >= valid);
    QVERIFY(loaded < valid + 10); // a random slot word is in 0..19 only by rare chance
    plot->resize(600, 400);
    plot->replot();
}

void tst_GraphFiles::contextMenuSavesAndReportsFiles()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.GraphPlotter()->AddPointAtKey(0, 1, 100);
    auto *plotWidget = window.findChild<QCustomPlot *>(QStringLiteral("widget_plot"));

    QStringList entries;
    QTimer::singleShot(100, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction *a : menu->actions())
            entries << a->text();
        menu->actions().first()->trigger();
        menu->close();
    });
    emit plotWidget->customContextMenuRequested(QPoint(50, 50));
    QCOMPARE(entries, (QStringList{"Сохранить графики", "Загрузить графики из файла..."}));

    const QStringList saved = QDir(QStringLiteral("!!log")).entryList(QDir::Files, QDir::Name);
    QCOMPARE(saved.size(), 2);
    const QString log = window.findChild<QTextEdit *>(QStringLiteral("textEdit_log"))->toPlainText();
    QVERIFY2(log.contains(QStringLiteral("Графики сохранены: ")), qPrintable(log));
    for (const QString &file : saved)
        QVERIFY2(log.contains(file), qPrintable(log));
}

void tst_GraphFiles::contextMenuReportsAFailedSave()
{
    MainWindow window;
    // A file where the folder should be: nothing can be written there.
    QFile blocker(QStringLiteral("!!log"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    window.SaveGraphs();
    const QString log = window.findChild<QTextEdit *>(QStringLiteral("textEdit_log"))->toPlainText();
    QVERIFY2(log.contains(QStringLiteral("Ошибка: графики не сохранены")), qPrintable(log));
    QVERIFY(!log.contains(QStringLiteral("Графики сохранены")));
}

void tst_GraphFiles::loadShowsTheCurvesAgain()
{
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    graph_plotter *p = window.GraphPlotter();
    for (int i = 0; i < 50; ++i)
        p->AddPointAtKey(0, i * 0.2, 100 + i);
    window.SaveGraphs();
    const QString bin = p->LastSaveFiles().at(1);
    p->ResetGraphs();
    p->AddPointAtKey(0, 0, 0);

    auto *plotWidget = window.findChild<QCustomPlot *>(QStringLiteral("widget_plot"));
    QSignalSpy replots(plotWidget, &QCustomPlot::afterReplot);
    window.LoadGraphs(bin);
    QVERIFY(replots.count() >= 1);
    QCOMPARE(p->Keys(0).size(), 50);
    QCOMPARE(p->Graph(0)->dataCount(), 50);
    QCOMPARE(p->Values(0).last(), 149.0);
}

QTEST_MAIN(tst_GraphFiles)
#include "tst_graphfiles.moc"
