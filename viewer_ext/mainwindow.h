#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QColor>
#include <QMainWindow>
#include <QString>
#include <QVector>

#include <vector>

class QTableWidgetItem;
class SerialTop;
class graph_plotter;

namespace Ui {
class MainWindow;
}

// The four table items of one tracker row; the table owns them.
struct TrackerRow
{
    QTableWidgetItem *id = nullptr;
    QTableWidgetItem *r = nullptr;
    QTableWidgetItem *v = nullptr;
    QTableWidgetItem *snr = nullptr;
};

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr int trackerRowCount = 16;
    static constexpr qint64 plotResetMs = 600000;

    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    graph_plotter *GraphPlotter() const { return plotter; }

    // Context-menu actions, without the dialog, so that they can be driven directly.
    void SaveGraphs();
    void LoadGraphs(const QString &fileName);

private slots:
    void AppendLog(QString s, bool NewLine, QColor color);
    void on_pushButton_com_scan_clicked();
    void on_toolButton_connect_toggled(bool checked);
    void on_rcvObjs(QVector<int> id, QVector<float> r, QVector<float> v, QVector<float> snr, int size);
    void on_rcvSels(int id, float r, float v, float snr);
    void on_rcvNewMeas();
    void on_checkBox_VisibleObj_clicked(bool checked);
    void showPlotMenu(const QPoint &pos);

private:
    void InitTrackerTable();
    void ClearTrackerTable();

    Ui::MainWindow *ui = nullptr;
    SerialTop *serialTop = nullptr;
    std::vector<TrackerRow> trackerRows;
    graph_plotter *plotter = nullptr;
    bool plotStarted = false;
    qint64 plotTimeRef = 0;
};

#endif // MAINWINDOW_H
