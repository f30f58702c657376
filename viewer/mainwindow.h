#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QByteArray>
#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QVector>

class QCPAxis;
class QCPGraph;
class QTimer;
class ReplotThrottle;
class SerialTop;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int sweepPoints = 1000;
    static constexpr int recordSize = 6;
    static constexpr uchar leadByte = 0xFE;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The points of the current sweep, as the graph holds them.
    const QVector<double> &PlotKeys() const { return plotKeys[0]; }
    const QVector<double> &PlotValues() const { return plotValues[0]; }

private slots:
    void on_appendLog(QString s);
    void on_selectionChanged();
    void on_connectedChange(bool state);
    void on_logRx(QByteArray data);
    void on_timerRxByteStatusReset();
    void on_pushButton_connect_to_rs485_clicked(bool checked);
    void on_toolButton_scan_port_rs485_clicked();

private:
    void decodeRxByte(uchar byte);
    void addPlotPoint(int graph, float value);
    void setupPlot();
    void setupGridAxis(QCPAxis *axis);
    void setupKeyAxis(QCPAxis *axis, float lower, float size);
    void setupValueAxis(float lower, float size, QCPAxis *axis, const QColor &color, const QString &label);
    void syncAxisSelection(QCPAxis *axis, bool keep);
    QCPAxis *axisKey() const;

    Ui::MainWindow *ui = nullptr;
    SerialTop *serialTop = nullptr;
    QTimer *timerRxByteStatus = nullptr;

    QByteArray rxRecord;
    int rxRecordState = 0;
    QVector<double> plotKeys[1];
    QVector<double> plotValues[1];
    QPointer<QCPGraph> graphHeight[1];
    QCPAxis *axisHeight = nullptr;
    QColor plotColor;
    QString axisHeightLabel;

    ReplotThrottle *throttle = nullptr;
};

#endif // MAINWINDOW_H
