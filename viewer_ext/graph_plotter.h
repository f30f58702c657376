#ifndef GRAPH_PLOTTER_H
#define GRAPH_PLOTTER_H

#include <QColor>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class ReplotThrottle;

// Controller of the window's time plot: 20 graph slots, each with its own value axis and colour,
// a scrolling 20-second time window, and the point store behind the graph files.
// Every operation runs in the GUI thread.
class graph_plotter : public QObject
{
    Q_OBJECT

public:
    static constexpr int graphCount = 20;
    static constexpr double windowSeconds = 20.0;

    // Milliseconds since the epoch; replaceable so that time-dependent behaviour can be tested.
    using Clock = std::function<qint64()>;

    explicit graph_plotter(QObject *parent = nullptr);
    ~graph_plotter() override;

    void SetPlot(QCustomPlot *plot);
    void AddPoint(int index, double time_ms, double value);
    void AddPointAtKey(int index, double key, double value);
    void ResetGraphs();
    void ClearGraph(int index);
    void SetGraphColor(int index, QColor colour);
    QColor GraphColor(int index) const;
    void SyncAxisSelection(QCPAxis *axis, bool keep);

    void setClock(Clock clock);
    qint64 now() const;
    qint64 TimeBase() const { return timeBase; }

    const QVector<double> &Keys(int index) const;
    const QVector<double> &Values(int index) const;
    QCPAxis *TimeAxis() const { return timeAxis; }
    QCPAxis *ValueAxis(int index) const;
    QCPGraph *Graph(int index) const;

    // Outcome of the last on_saveGraphsToFile: the two file names, and whether both were written whole.
    QStringList LastSaveFiles() const { return lastSaveFiles; }
    bool LastSaveOk() const { return lastSaveOk; }

signals:
    void appendLog(QString s);

public slots:
    void SetVisibleGraph(int index, bool visible);
    void SetVisibleGraphOnly(int index, bool visible);
    void GraphsReplot();
    void on_saveGraphsToFile(QString s_header);
    void on_loadGraphsFromFile(QString f_name);

private slots:
    void _selectionChanged();

private:
    void InitPlot();
    bool usable(int index, const char *operation) const;
    void requestReplot();
    void setupValueAxis(QCPAxis *axis, const QColor &colour);

    QCustomPlot *plot = nullptr;
    QPointer<QCPGraph> graphs[graphCount];
    QCPAxis *axes[graphCount] = {};
    QVector<double> keys[graphCount];
    QVector<double> values[graphCount];
    qint64 timeBase = 0;
    QFile fileTxt;
    QFile fileBin;

    QCPAxis *timeAxis = nullptr;
    Clock clock;
    ReplotThrottle *throttle = nullptr;
    QStringList lastSaveFiles;
    bool lastSaveOk = false;
};

#endif // GRAPH_PLOTTER_H
