#include "graph_plotter.h"

#include <QDateTime>
#include <QTextStream>
#include <QtEndian>

#include <cmath>
#include <cstring>

#include <qcustomplot.h>

#include "axisselection.h"
#include "elapsedtimeticker.h"
#include "fixedsubtickticker.h"
#include "replotthrottle.h"

namespace {

const QColor graphColours[graph_plotter::graphCount] = {
    QColor(0, 0, 0),       QColor(0, 0, 255),     QColor(255, 0, 255),   QColor(84, 84, 84),
    QColor(0, 128, 0),     QColor(0, 255, 0),     QColor(128, 0, 0),     QColor(0, 0, 128),
    QColor(128, 128, 0),   QColor(128, 0, 128),   QColor(255, 0, 0),     QColor(192, 192, 192),
    QColor(0, 128, 128),   QColor(255, 255, 0),   QColor(0, 255, 255),   QColor(153, 149, 140),
    QColor(255, 128, 0),   QColor(16, 28, 112),   QColor(80, 140, 70),   QColor(120, 110, 110),
};

constexpr int recordSize = 12;

const QVector<double> noPoints;

} // namespace

graph_plotter::graph_plotter(QObject *parent)
    : QObject(parent)
    , clock([] { return QDateTime::currentMSecsSinceEpoch(); })
{
}

graph_plotter::~graph_plotter() = default;

void graph_plotter::setClock(Clock c)
{
    clock = std::move(c);
}

qint64 graph_plotter::now() const
{
    return clock();
}

bool graph_plotter::usable(int index, const char *operation) const
{
    if (!plot) {
        qWarning("graph_plotter::%s called before SetPlot", operation);
        return false;
    }
    if (index < 0 || index >= graphCount) {
        qWarning("graph_plotter::%s: slot %d is outside 0..%d", operation, index, graphCount - 1);
        return false;
    }
    return true;
}

void graph_plotter::SetPlot(QCustomPlot *p)
{
    if (plot || !p) {
        qWarning("graph_plotter::SetPlot: a plot is set once, and must not be null");
        return;
    }
    plot = p;
    throttle = new ReplotThrottle(plot, this);
    InitPlot();
}

void graph_plotter::setupValueAxis(QCPAxis *axis, const QColor &colour)
{
    axis->setLabelColor(colour);
    axis->setTickLabelColor(colour);
    const QPen pen(colour, 1, Qt::SolidLine);
    axis->setSubTickPen(pen);
    axis->setTickPen(pen);
    axis->setBasePen(pen);
}

void graph_plotter::InitPlot()
{
    timeBase = now();

    for (QCPAxis *axis : {plot->xAxis, plot->xAxis2, plot->yAxis, plot->yAxis2}) {
        axis->setVisible(true);
        axis->setTickLabels(false);
        QSharedPointer<QCPAxisTicker> ticker(new QCPAxisTicker);
        ticker->setTickCount(9);
        axis->setTicker(ticker);
        axis->setRange(0, 10);
        axis->grid()->setPen(QPen(QColor(Qt::gray)));
        axis->grid()->setSubGridVisible(true);
    }
    connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->xAxis2, qOverload<const QCPRange &>(&QCPAxis::setRange));
    connect(plot->yAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->yAxis2, qOverload<const QCPRange &>(&QCPAxis::setRange));

    // Keys are seconds since the time base; rendered as UTC they read as elapsed time.
    timeAxis = plot->axisRect()->addAxis(QCPAxis::atBottom);
    timeAxis->setPadding(10);
    timeAxis->setRange(0, windowSeconds);
    QSharedPointer<ElapsedTimeTicker> timeTicker(new ElapsedTimeTicker);
    timeTicker->setTickCount(9);
    timeAxis->setTicker(timeTicker);
    timeAxis->setTickLabelRotation(30);
    timeAxis->setVisible(true);
    connect(timeAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::setRange));
    emit timeAxis->rangeChanged(timeAxis->range());

    for (int i = 0; i < graphCount; ++i) {
        keys[i].clear();
        values[i].clear();

        QCPAxis *axis = plot->axisRect()->addAxis(QCPAxis::atLeft);
        axes[i] = axis;
        axis->setVisible(false);
        axis->setPadding(10);
        axis->setRange(0, 500);
        FixedSubTickTicker::install(axis, 9, 9);
        setupValueAxis(axis, graphColours[i]);

        // Slot 1 holds the objects' distances, the same quantity as slot 0; the window shows it
        // without an axis of its own, so it is drawn against axis 0 and follows its zoom.
        QCPAxis *drawnAgainst = i == 1 ? axes[0] : axis;
        QCPGraph *graph = plot->addGraph(timeAxis, drawnAgainst);
        graphs[i] = graph;
        graph->setData(keys[i], values[i]);
        graph->setPen(QPen(graphColours[i], 1, Qt::SolidLine));
        graph->setVisible(false);

        connect(axis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
                plot->yAxis, qOverload<const QCPRange &>(&QCPAxis::setRange));
    }

    axes[0]->setVisible(true);
    graphs[0]->setVisible(true);

    graphs[1]->setLineStyle(QCPGraph::lsNone);
    graphs[1]->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 2));

    axes[0]->setLabel(QStringLiteral("Высота, см"));
    timeAxis->setLabel(QStringLiteral("Время, чч:мм:сс"));
    axes[0]->setLabelColor(graphColours[0]);
    timeAxis->setLabelColor(graphColours[0]);

    AxisSelection::unbind(plot->axisRect());

    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectAxes | QCP::iSelectPlottables);
    connect(plot, &QCustomPlot::selectionChangedByUser, this, &graph_plotter::_selectionChanged);
}

void graph_plotter::requestReplot()
{
    if (throttle)
        throttle->request();
}

void graph_plotter::AddPoint(int index, double time_ms, double value)
{
    AddPointAtKey(index, (time_ms - double(timeBase)) / 1000.0, value);
}

void graph_plotter::AddPointAtKey(int index, double key, double value)
{
    if (!usable(index, "AddPointAtKey"))
        return;
    keys[index].append(key);
    values[index].append(value);

    QCPGraph *graph = graphs[index];
    if (!graph)
        return;
    // The first point after a reset or clear replaces what the graph still shows; later points
    // are appended, which costs the same however long the series is. A point without a finite
    // key has no place on the time axis and is kept in the store only.
    const bool finiteKey = std::isfinite(key);
    if (keys[index].size() == 1) {
        graph->data()->clear();
        if (finiteKey)
            graph->addData(key, value);
    } else if (finiteKey) {
        graph->addData(key, value);
    }
}

void graph_plotter::ResetGraphs()
{
    if (!plot) {
        qWarning("graph_plotter::ResetGraphs called before SetPlot");
        return;
    }
    timeBase = now();
    timeAxis->setRange(0, windowSeconds);
    for (int i = 0; i < graphCount; ++i) {
        keys[i].clear();
        values[i].clear();
    }
    requestReplot();
}

void graph_plotter::ClearGraph(int index)
{
    if (!usable(index, "ClearGraph"))
        return;
    keys[index].clear();
    values[index].clear();
}

void graph_plotter::SetGraphColor(int index, QColor colour)
{
    if (!usable(index, "SetGraphColor"))
        return;
    setupValueAxis(axes[index], colour);
    if (graphs[index])
        graphs[index]->setPen(QPen(colour, 1, Qt::SolidLine));
    requestReplot();
}

QColor graph_plotter::GraphColor(int index) const
{
    if (!usable(index, "GraphColor"))
        return QColor();
    return axes[index]->labelColor();
}

const QVector<double> &graph_plotter::Keys(int index) const
{
    return index >= 0 && index < graphCount ? keys[index] : noPoints;
}

const QVector<double> &graph_plotter::Values(int index) const
{
    return index >= 0 && index < graphCount ? values[index] : noPoints;
}

QCPAxis *graph_plotter::ValueAxis(int index) const
{
    return index >= 0 && index < graphCount ? axes[index] : nullptr;
}

QCPGraph *graph_plotter::Graph(int index) const
{
    return index >= 0 && index < graphCount ? graphs[index].data() : nullptr;
}

void graph_plotter::SetVisibleGraph(int index, bool visible)
{
    if (!usable(index, "SetVisibleGraph"))
        return;
    axes[index]->setVisible(visible);
    if (graphs[index])
        graphs[index]->setVisible(visible);
    requestReplot();
}

void graph_plotter::SetVisibleGraphOnly(int index, bool visible)
{
    if (!usable(index, "SetVisibleGraphOnly"))
        return;
    if (graphs[index])
        graphs[index]->setVisible(visible);
    requestReplot();
}

void graph_plotter::GraphsReplot()
{
    if (!plot) {
        qWarning("graph_plotter::GraphsReplot called before SetPlot");
        return;
    }
    // While the operator holds the time axis selected, the view stays where it is.
    if (timeAxis->selectedParts().testFlag(QCPAxis::spAxis))
        return;
    const double lower = double(now() - timeBase) / 1000.0 - windowSeconds;
    if (lower > timeAxis->range().lower)
        timeAxis->setRange(lower, lower + windowSeconds);
    requestReplot();
}

void graph_plotter::SyncAxisSelection(QCPAxis *axis, bool keep)
{
    AxisSelection::sync(axis, keep);
}

void graph_plotter::_selectionChanged()
{
    for (QCPAxis *axis : {plot->xAxis, plot->xAxis2, plot->yAxis, plot->yAxis2})
        SyncAxisSelection(axis, false);
    SyncAxisSelection(timeAxis, true);
    for (QCPAxis *axis : axes)
        SyncAxisSelection(axis, true);

    QCPAxisRect *rect = plot->axisRect();
    if (timeAxis->selectedParts().testFlag(QCPAxis::spAxis)) {
        AxisSelection::bindHorizontal(rect, timeAxis);
        return;
    }

    for (int i = 0; i < graphCount; ++i) {
        QCPGraph *graph = graphs[i];
        const bool axisPicked = axes[i]->selectedParts().testFlag(QCPAxis::spAxis);
        const bool graphPicked = graph && graph->selected();
        if (!axisPicked && !graphPicked)
            continue;
        // A picked graph binds the axis it is drawn against, so a drag moves what was clicked.
        QCPAxis *axis = axisPicked || !graph ? axes[i] : graph->valueAxis();
        if (graph)
            graph->setSelection(QCPDataSelection(graph->data()->dataRange()));
        axis->setSelectedParts(QCPAxis::spAxis | QCPAxis::spTickLabels);
        AxisSelection::bindVertical(rect, axis);
        return;
    }

    AxisSelection::unbind(rect);
}

void graph_plotter::on_saveGraphsToFile(QString s_header)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd HH_mm_ss"));
    fileTxt.setFileName(tr("!!log/%1_graphs.txt").arg(stamp));
    const bool txtOpen = fileTxt.open(QIODevice::WriteOnly | QIODevice::Truncate);
    fileBin.setFileName(tr("!!log/%1_graphs.bin").arg(stamp));
    const bool binOpen = fileBin.open(QIODevice::WriteOnly | QIODevice::Truncate);

    // Each line goes to the file as soon as it is complete.
    QTextStream text(&fileTxt);
    auto writeLine = [&](const QString &line) {
        if (!txtOpen)
            return;
        text << line << '\n';
        text.flush();
    };
    writeLine(s_header);
    writeLine(QStringLiteral("time; value;").repeated(graphCount));

    int rows = 0;
    for (const QVector<double> &k : keys)
        rows = qMax(rows, k.size());

    QString line;
    for (int n = 0; n < rows; ++n) {
        line.clear();
        for (int i = 0; i < graphCount; ++i) {
            if (n >= keys[i].size()) {
                line += QStringLiteral(" ; ;");
                continue;
            }
            const double key = keys[i].at(n);
            const double value = values[i].at(n);
            // QString::number ignores the locale: always a point, never grouping.
            line += QString::number(key, 'f', 6) + QLatin1Char(';') + QString::number(value, 'f', 6)
                    + QLatin1Char(';');

            uchar record[recordSize];
            qToLittleEndian<qint32>(i, record);
            const float k32 = float(key);
            const float v32 = float(value);
            quint32 bits;
            std::memcpy(&bits, &k32, sizeof bits);
            qToLittleEndian<quint32>(bits, record + 4);
            std::memcpy(&bits, &v32, sizeof bits);
            qToLittleEndian<quint32>(bits, record + 8);
            if (binOpen)
                fileBin.write(reinterpret_cast<const char *>(record), recordSize);
        }
        writeLine(line);
    }

    const bool txtWritten = txtOpen && text.status() == QTextStream::Ok && fileTxt.error() == QFileDevice::NoError;
    fileTxt.close();
    const bool binWritten = binOpen && fileBin.flush() && fileBin.error() == QFileDevice::NoError;
    fileBin.close();

    lastSaveFiles = QStringList{fileTxt.fileName(), fileBin.fileName()};
    lastSaveOk = txtWritten && binWritten;
}

void graph_plotter::on_loadGraphsFromFile(QString f_name)
{
    ResetGraphs();
    if (!plot)
        return;

    fileBin.setFileName(f_name);
    fileBin.open(QIODevice::ReadOnly);
    uchar record[recordSize];
    // An incomplete record at the end is not a point; a slot outside 0..19 is skipped.
    while (!fileBin.atEnd()) {
        if (fileBin.read(reinterpret_cast<char *>(record), recordSize) != recordSize)
            break;
        const qint32 slot = qFromLittleEndian<qint32>(record);
        if (slot < 0 || slot >= graphCount)
            continue;
        float key;
        float value;
        quint32 bits = qFromLittleEndian<quint32>(record + 4);
        std::memcpy(&key, &bits, sizeof key);
        bits = qFromLittleEndian<quint32>(record + 8);
        std::memcpy(&value, &bits, sizeof value);
        AddPointAtKey(slot, key, value);
    }
    fileBin.close();
}
