// The time plot controller on a real QCustomPlot, with an injected clock.
#include <QSignalSpy>
#include <cmath>
#include <QtTest>

#include <qcustomplot.h>

#include "graph_plotter.h"
#include "windowprobe.h"

class tst_GraphPlotter : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void setUpState();
    void slidingWindow_data();
    void slidingWindow();
    void frozenWhileTimeAxisSelected();
    void resetKeepsOldPointsUntilTheNextAppend();
    void graphHoldsExactlyTheStoredPoints();
    void visibility();
    void colours();
    void badSlotsAndMissingPlotAreRejected();
    void clickOnGraphBindsItsValueAxis();
    void clickOnObjectsBindsTheAxisTheyAreDrawnOn();
    void clickOnTimeAxisBindsTime();
    void clickOnDefaultAxisOrEmptySpaceUnbinds();
    void redrawsAreMerged();

private:
    QPoint pointOnPart(QCPAxis *axis, QCPAxis::SelectablePart part) const;
    void click(const QPoint &pos);

    qint64 now = 0;
    QCustomPlot *plot = nullptr;
    graph_plotter *plotter = nullptr;
};

void tst_GraphPlotter::init()
{
    now = 1700000000000;
    plot = new QCustomPlot;
    plot->resize(800, 500);
    plotter = new graph_plotter;
    plotter->setClock([this] { return now; });
    plotter->SetPlot(plot);
    plot->show();
    QVERIFY(QTest::qWaitForWindowExposed(plot));
    plot->replot();
}

void tst_GraphPlotter::cleanup()
{
    delete plotter;
    delete plot;
}

QPoint tst_GraphPlotter::pointOnPart(QCPAxis *axis, QCPAxis::SelectablePart part) const
{
    return WindowProbe::pointOnPart(plot, axis, part);
}

void tst_GraphPlotter::click(const QPoint &pos)
{
    QVERIFY(pos.x() >= 0);
    QTest::mouseClick(plot, Qt::LeftButton, Qt::NoModifier, pos);
}

void tst_GraphPlotter::setUpState()
{
    QCPAxis *time = plotter->TimeAxis();
    QCOMPARE(time->range(), QCPRange(0, 20));
    QCOMPARE(plot->xAxis->range(), QCPRange(0, 20));
    QCOMPARE(plot->xAxis2->range(), QCPRange(0, 20));
    QCOMPARE(time->label(), QStringLiteral("Время, чч:мм:сс"));
    QCOMPARE(time->tickLabelRotation(), 30.0);
    // Elapsed time in whole steps: every label names the second its tick stands at.
    QStringList labels = time->tickVectorLabels().toList();
    QCOMPARE(labels, (QStringList{"00:00:00", "00:00:02", "00:00:04", "00:00:06", "00:00:08", "00:00:10",
                                  "00:00:12", "00:00:14", "00:00:16", "00:00:18", "00:00:20"}));
    time->setRange(3595, 3615);
    plot->replot();
    labels = time->tickVectorLabels().toList();
    QCOMPARE(labels.first(), QStringLiteral("00:59:56"));
    QVERIFY(labels.contains(QStringLiteral("01:00:00")));
    for (double tick : time->tickVector())
        QCOMPARE(tick, std::floor(tick));
    QCOMPARE(plot->axisRect()->axisCount(QCPAxis::atLeft), 21);
    QCOMPARE(plot->axisRect()->axisCount(QCPAxis::atBottom), 2);
    QCOMPARE(plot->graphCount(), 20);
    for (QCPAxis *axis : {plot->xAxis, plot->xAxis2, plot->yAxis, plot->yAxis2}) {
        QVERIFY(axis->visible());
        QVERIFY(!axis->tickLabels());
        QVERIFY(axis->grid()->subGridVisible());
    }
    for (int i = 0; i < graph_plotter::graphCount; ++i) {
        QCOMPARE(plotter->ValueAxis(i)->range(), QCPRange(0, 500));
        QCOMPARE(plotter->Graph(i)->keyAxis(), time);
        QCOMPARE(plotter->ValueAxis(i)->visible(), i == 0);
        QCOMPARE(plotter->Graph(i)->visible(), i == 0);
    }
    QCOMPARE(plotter->ValueAxis(0)->label(), QStringLiteral("Высота, см"));
    QCOMPARE(plotter->Graph(1)->lineStyle(), QCPGraph::lsNone);
    QCOMPARE(plotter->Graph(1)->scatterStyle().shape(), QCPScatterStyle::ssDisc);
    QCOMPARE(plot->interactions(), QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectAxes | QCP::iSelectPlottables);
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Horizontal).isEmpty());
    QVERIFY(plot->axisRect()->rangeZoomAxes(Qt::Vertical).isEmpty());
}

void tst_GraphPlotter::slidingWindow_data()
{
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<double>("lower");
    QTest::addRow("10 s: still 0..20") << qint64(10000) << 0.0;
    QTest::addRow("20 s: still 0..20") << qint64(20000) << 0.0;
    QTest::addRow("25 s: 5..25") << qint64(25000) << 5.0;
    QTest::addRow("90.5 s: 70.5..90.5") << qint64(90500) << 70.5;
}

void tst_GraphPlotter::slidingWindow()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(double, lower);
    plotter->ResetGraphs();
    now += elapsedMs;
    plotter->GraphsReplot();
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(lower, lower + 20));
    QCOMPARE(plot->xAxis->range(), QCPRange(lower, lower + 20));

    // A window the operator dragged ahead of the present is left alone.
    plotter->TimeAxis()->setRange(lower + 100, lower + 130);
    now += 1000;
    plotter->GraphsReplot();
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(lower + 100, lower + 130));
}

void tst_GraphPlotter::frozenWhileTimeAxisSelected()
{
    QSignalSpy replots(plot, &QCustomPlot::afterReplot);
    QTest::qWait(40);
    replots.clear();
    plotter->TimeAxis()->setSelectedParts(QCPAxis::spAxis | QCPAxis::spTickLabels);
    now += 60000;
    plotter->AddPoint(0, double(now), 100);
    plotter->GraphsReplot();
    QTest::qWait(60);
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(0, 20));
    QCOMPARE(replots.count(), 0);
    QCOMPARE(plotter->Keys(0), QVector<double>{60.0});

    plotter->TimeAxis()->setSelectedParts(QCPAxis::spNone);
    plotter->GraphsReplot();
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(40, 60));
    QTRY_VERIFY(replots.count() >= 1);
}

void tst_GraphPlotter::resetKeepsOldPointsUntilTheNextAppend()
{
    plotter->AddPoint(0, double(now + 1000), 10);
    plotter->AddPoint(0, double(now + 2000), 20);
    plotter->AddPoint(2, double(now + 2000), 5);
    now += 5000;
    plotter->ResetGraphs();
    QCOMPARE(plotter->TimeBase(), now);
    QCOMPARE(plotter->Keys(0).size(), 0);
    QCOMPARE(plotter->Graph(0)->dataCount(), 2);
    QCOMPARE(plotter->Graph(2)->dataCount(), 1);

    plotter->AddPoint(0, double(now + 500), 30);
    QCOMPARE(plotter->Graph(0)->dataCount(), 1);
    QCOMPARE(plotter->Graph(0)->data()->at(0)->key, 0.5);
    QCOMPARE(plotter->Graph(2)->dataCount(), 1);

    plotter->ClearGraph(0);
    QCOMPARE(plotter->Keys(0).size(), 0);
    QCOMPARE(plotter->Graph(0)->dataCount(), 1);
    plotter->AddPointAtKey(0, 7, 70);
    QCOMPARE(plotter->Graph(0)->dataCount(), 1);
    QCOMPARE(plotter->Graph(0)->data()->at(0)->value, 70.0);
}

void tst_GraphPlotter::graphHoldsExactlyTheStoredPoints()
{
    // Keys in any order, repeated keys, and keys that cannot be placed on the time axis.
    const QVector<double> keys{1, 3, 2, 2, 5, -1, 4, 4, 4, qInf(), qQNaN(), 6};
    for (int i = 0; i < keys.size(); ++i)
        plotter->AddPointAtKey(3, keys[i], 100 + i);
    QCOMPARE(plotter->Keys(3).size(), keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        const double key = plotter->Keys(3).at(i);
        QVERIFY(qIsNaN(keys[i]) ? qIsNaN(key) : key == keys[i]);
        QCOMPARE(plotter->Values(3).at(i), 100.0 + i);
    }

    QList<QPair<double, double>> stored;
    for (int i = 0; i < keys.size(); ++i)
        if (qIsFinite(keys[i]))
            stored.append({keys[i], 100.0 + i});
    QList<QPair<double, double>> drawn;
    for (auto it = plotter->Graph(3)->data()->constBegin(); it != plotter->Graph(3)->data()->constEnd(); ++it)
        drawn.append({it->key, it->value});
    std::sort(stored.begin(), stored.end());
    std::sort(drawn.begin(), drawn.end());
    QCOMPARE(drawn, stored);
    plot->replot(); // must not trip over the odd points
}

void tst_GraphPlotter::visibility()
{
    plotter->SetVisibleGraphOnly(1, true);
    QVERIFY(plotter->Graph(1)->visible());
    QVERIFY(!plotter->ValueAxis(1)->visible());
    plotter->SetVisibleGraph(1, true);
    QVERIFY(plotter->ValueAxis(1)->visible());
    plotter->SetVisibleGraph(1, false);
    QVERIFY(!plotter->Graph(1)->visible());
    QVERIFY(!plotter->ValueAxis(1)->visible());
    plotter->SetVisibleGraph(0, false);
    QVERIFY(!plotter->ValueAxis(0)->visible());
}

void tst_GraphPlotter::colours()
{
    QCOMPARE(plotter->GraphColor(0), QColor(0, 0, 0));
    QCOMPARE(plotter->GraphColor(1), QColor(0, 0, 255));
    QCOMPARE(plotter->GraphColor(15), QColor(153, 149, 140));
    QCOMPARE(plotter->GraphColor(19), QColor(120, 110, 110));
    QCOMPARE(plotter->Graph(4)->pen().color(), QColor(0, 128, 0));

    plotter->SetGraphColor(4, QColor(1, 2, 3));
    QCOMPARE(plotter->GraphColor(4), QColor(1, 2, 3));
    QCOMPARE(plotter->ValueAxis(4)->tickLabelColor(), QColor(1, 2, 3));
    QCOMPARE(plotter->ValueAxis(4)->basePen(), QPen(QColor(1, 2, 3), 1));
    QCOMPARE(plotter->Graph(4)->pen(), QPen(QColor(1, 2, 3), 1));
}

void tst_GraphPlotter::badSlotsAndMissingPlotAreRejected()
{
    const QRegularExpression outside(QStringLiteral("outside 0\\.\\.19"));
    for (int slot : {-1, 20, 1 << 30}) {
        QTest::ignoreMessage(QtWarningMsg, outside);
        plotter->AddPointAtKey(slot, 1, 1);
    }
    QTest::ignoreMessage(QtWarningMsg, outside);
    plotter->SetVisibleGraph(20, true);
    QTest::ignoreMessage(QtWarningMsg, outside);
    plotter->SetGraphColor(-3, Qt::red);
    for (int i = 0; i < graph_plotter::graphCount; ++i)
        QCOMPARE(plotter->Keys(i).size(), 0);

    graph_plotter unset;
    const QRegularExpression beforeSetPlot(QStringLiteral("before SetPlot"));
    QTest::ignoreMessage(QtWarningMsg, beforeSetPlot);
    unset.AddPoint(0, 1, 1);
    QTest::ignoreMessage(QtWarningMsg, beforeSetPlot);
    unset.GraphsReplot();
    QTest::ignoreMessage(QtWarningMsg, beforeSetPlot);
    unset.ResetGraphs();
    QTest::ignoreMessage(QtWarningMsg, beforeSetPlot);
    unset.SetVisibleGraphOnly(1, true);
    QCOMPARE(unset.Keys(0).size(), 0);
}

void tst_GraphPlotter::clickOnGraphBindsItsValueAxis()
{
    plotter->AddPointAtKey(0, 0, 250);
    plotter->AddPointAtKey(0, 20, 250);
    plot->replot();
    QCPAxis *axis0 = plotter->ValueAxis(0);
    const QPoint onLine(int(plotter->TimeAxis()->coordToPixel(10)), int(axis0->coordToPixel(250)));
    click(onLine);

    QVERIFY(plotter->Graph(0)->selected());
    QCOMPARE(axis0->selectedParts(), QCPAxis::spAxis | QCPAxis::spTickLabels);
    QCOMPARE(plot->axisRect()->rangeDragAxes(Qt::Vertical), QList<QCPAxis *>{axis0});
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Horizontal).isEmpty());
    QCOMPARE(plot->axisRect()->rangeDrag(), Qt::Vertical);
    QCOMPARE(plot->axisRect()->rangeZoomAxes(Qt::Vertical), QList<QCPAxis *>{axis0});
    QCOMPARE(plot->axisRect()->rangeZoom(), Qt::Vertical);
    QCOMPARE(plot->axisRect()->rangeZoomFactor(Qt::Vertical), 2.0);

    // A vertical drag moves value axis 0 only, and the grid follows it.
    const QCPRange before = axis0->range();
    QTest::mousePress(plot, Qt::LeftButton, Qt::NoModifier, onLine + QPoint(0, 40));
    QMouseEvent move(QEvent::MouseMove, onLine + QPoint(0, 100), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::NoModifier, onLine + QPoint(0, 100));
    QVERIFY(axis0->range().lower > before.lower);
    QCOMPARE(plot->yAxis->range(), axis0->range());
    QCOMPARE(plotter->ValueAxis(2)->range(), QCPRange(0, 500));
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(0, 20));
}

void tst_GraphPlotter::clickOnObjectsBindsTheAxisTheyAreDrawnOn()
{
    plotter->SetVisibleGraphOnly(1, true);
    plotter->AddPointAtKey(1, 10, 300);
    plot->replot();
    click(QPoint(int(plotter->TimeAxis()->coordToPixel(10)), int(plotter->ValueAxis(0)->coordToPixel(300))));
    QVERIFY(plotter->Graph(1)->selected());
    QCOMPARE(plot->axisRect()->rangeDragAxes(Qt::Vertical), QList<QCPAxis *>{plotter->ValueAxis(0)});
}

void tst_GraphPlotter::clickOnTimeAxisBindsTime()
{
    click(pointOnPart(plotter->TimeAxis(), QCPAxis::spTickLabels));
    QCOMPARE(plotter->TimeAxis()->selectedParts(), QCPAxis::spAxis | QCPAxis::spTickLabels);
    QCOMPARE(plot->axisRect()->rangeDragAxes(Qt::Horizontal), QList<QCPAxis *>{plotter->TimeAxis()});
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());
    QCOMPARE(plot->axisRect()->rangeDrag(), Qt::Horizontal);
    QCOMPARE(plot->axisRect()->rangeZoom(), Qt::Horizontal);

    // Frozen now: the present moves on, the view does not.
    now += 60000;
    plotter->GraphsReplot();
    QCOMPARE(plotter->TimeAxis()->range(), QCPRange(0, 20));
}

void tst_GraphPlotter::clickOnDefaultAxisOrEmptySpaceUnbinds()
{
    QCPAxis *axis0 = plotter->ValueAxis(0);
    click(pointOnPart(axis0, QCPAxis::spTickLabels));
    QCOMPARE(plot->axisRect()->rangeDragAxes(Qt::Vertical), QList<QCPAxis *>{axis0});

    click(pointOnPart(plot->yAxis2, QCPAxis::spAxis));
    QCOMPARE(plot->yAxis2->selectedParts(), QCPAxis::spNone);
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());
    QVERIFY(plot->axisRect()->rangeZoomAxes(Qt::Vertical).isEmpty());

    click(pointOnPart(axis0, QCPAxis::spAxisLabel));
    QCOMPARE(axis0->selectedParts(), QCPAxis::spAxisLabel);
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());

    click(plot->axisRect()->rect().center());
    QCOMPARE(axis0->selectedParts(), QCPAxis::spNone);
    QVERIFY(plot->axisRect()->rangeDragAxes(Qt::Vertical).isEmpty());
}

void tst_GraphPlotter::redrawsAreMerged()
{
    QSignalSpy replots(plot, &QCustomPlot::afterReplot);
    QTest::qWait(40);
    replots.clear();
    for (int i = 0; i < 200; ++i) {
        now += 5;
        plotter->AddPoint(0, double(now), i);
        plotter->GraphsReplot();
    }
    QVERIFY(replots.count() <= 1);
    // The last request is drawn within about one display refresh.
    QTRY_COMPARE_WITH_TIMEOUT(replots.count() >= 1 && replots.count() <= 2, true, 200);
    QTest::qWait(50);
    QVERIFY(replots.count() <= 2);
}

QTEST_MAIN(tst_GraphPlotter)
#include "tst_graph_plotter.moc"
