#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidgetItem>
#include <QTextCursor>
#include <QThread>

#include "graph_plotter.h"
#include "logline.h"
#include "portbox.h"
#include "serialtop.h"
#include "workerthread.h"

namespace {

QString fixed(float value, int decimals)
{
    // QString::number is locale-independent: a point as separator, no grouping.
    return QString::number(double(value), 'f', decimals);
}

const QColor logWhite(255, 255, 255, 255);

} // namespace

static void initResources()
{
    // The resources are linked from a static library; this keeps them in the program.
    Q_INIT_RESOURCE(viewer_ext);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    initResources();
    qRegisterMetaType<QVector<int>>("QVector<int>");
    qRegisterMetaType<QVector<float>>("QVector<float>");

    ui->setupUi(this);
    InitTrackerTable();

    plotter = new graph_plotter();
    plotter->SetPlot(ui->widget_plot);
    ui->widget_plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->widget_plot, &QWidget::customContextMenuRequested, this, &MainWindow::showPlotMenu);

    auto *thread = new QThread();
    serialTop = new SerialTop();
    serialTop->moveToThread(thread);

    PortBox::fill(ui->comboBox_com_list);

    connect(thread, &QThread::started, serialTop, &SerialTop::Init);
    // Freed in their own thread when it ends, which closes the port.
    connect(thread, &QThread::finished, serialTop, &QObject::deleteLater);
    connect(ui->checkBox_LogRxByte, &QCheckBox::stateChanged, serialTop, &SerialTop::SetLogRxByteEn);
    connect(serialTop, &SerialTop::rcvObjs, this, &MainWindow::on_rcvObjs);
    connect(serialTop, &SerialTop::rcvSels, this, &MainWindow::on_rcvSels);
    connect(serialTop, &SerialTop::rcvNewMeas, this, &MainWindow::on_rcvNewMeas);
    connect(serialTop, &SerialTop::appendLog, this, &MainWindow::AppendLog);

    thread->start(QThread::InheritPriority);
}

MainWindow::~MainWindow()
{
    // Stop the worker thread before anything it reports to goes away; its objects are
    // deleted on the way out of the thread.
    WorkerThread::stop(serialTop);

    delete plotter;
    delete ui;
}

void MainWindow::AppendLog(QString s, bool NewLine, QColor color)
{
    const QDateTime now = QDateTime::currentDateTime();
    QTextEdit *pane = ui->textEdit_log;
    pane->setTextBackgroundColor(color);
    if (NewLine) {
        pane->append(LogLine::stamped(s, now));
    } else {
        QTextCursor cursor = pane->textCursor();
        cursor.movePosition(QTextCursor::End);
        pane->setTextCursor(cursor);
        pane->setTextBackgroundColor(color);
        pane->insertPlainText(s);
    }
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
}

void MainWindow::on_pushButton_com_scan_clicked()
{
    ui->comboBox_com_list->clear();
    PortBox::fill(ui->comboBox_com_list);
}

void MainWindow::on_toolButton_connect_toggled(bool checked)
{
    if (checked) {
        serialTop->ConnectToPort(ui->comboBox_com_list->currentText());
        plotStarted = false;
    } else {
        serialTop->DisconnectFromPort();
    }
}

void MainWindow::InitTrackerTable()
{
    QTableWidget *table = ui->tableWidget_Tracker;
    static const char *const headers[] = {"id", "r", "v", "snr"};
    table->setColumnCount(4);
    for (int c = 0; c < 4; ++c) {
        table->setHorizontalHeaderItem(c, new QTableWidgetItem(QString::fromLatin1(headers[c])));
        table->setColumnWidth(c, 60);
    }
    table->setRowCount(trackerRowCount);
    for (int i = 0; i < trackerRowCount; ++i)
        table->setRowHeight(i, 20);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);

    for (int i = 0; i < trackerRowCount; ++i) {
        TrackerRow row;
        row.id = new QTableWidgetItem();
        row.r = new QTableWidgetItem();
        row.v = new QTableWidgetItem();
        row.snr = new QTableWidgetItem();
        table->setItem(i, 0, row.id);
        table->setItem(i, 1, row.r);
        table->setItem(i, 2, row.v);
        table->setItem(i, 3, row.snr);
        trackerRows.push_back(row);
    }
}

void MainWindow::ClearTrackerTable()
{
    for (const TrackerRow &row : trackerRows) {
        row.id->setText(QString());
        row.r->setText(QString());
        row.v->setText(QString());
        row.snr->setText(QString());
    }
}

void MainWindow::on_rcvNewMeas()
{
    ClearTrackerTable();
}

void MainWindow::on_rcvObjs(QVector<int> id, QVector<float> r, QVector<float> v, QVector<float> snr, int size)
{
    const double t = double(plotter->now());
    if (size <= 0)
        return;
    size = qMin(size, id.size());
    // The table has 16 rows; objects beyond them still go to the plot.
    for (int i = 0; i < size; ++i) {
        if (i < int(trackerRows.size())) {
            const TrackerRow &row = trackerRows[size_t(i)];
            row.id->setText(QString::number(id.at(i)));
            row.r->setText(fixed(r.at(i), 0));
            row.v->setText(fixed(v.at(i), 1));
            row.snr->setText(fixed(snr.at(i), 0));
        }
        plotter->AddPoint(1, t, double(r.at(i)));
    }
}

void MainWindow::on_rcvSels(int id, float r, float v, float snr)
{
    Q_UNUSED(id)
    const qint64 now = plotter->now();
    if (!plotStarted) {
        plotStarted = true;
        plotter->ResetGraphs();
        plotTimeRef = now;
    } else if (quint64(now - plotTimeRef) > quint64(plotResetMs)) {
        // Unsigned on purpose: a clock set back behind the reference restarts the plot too.
        plotter->ResetGraphs();
        plotTimeRef = now;
    }

    const QString text = tr("Резальтат (D/V/SNR): ") + tr("%1(см) / ").arg(fixed(r, 0))
            + tr("%1(м/с) / ").arg(fixed(v, 1)) + tr("%1 ").arg(fixed(snr, 0));

    plotter->AddPoint(0, double(plotter->now()), double(r));
    plotter->GraphsReplot();
    ui->label_rezult->setText(text);
}

void MainWindow::on_checkBox_VisibleObj_clicked(bool checked)
{
    plotter->SetVisibleGraphOnly(1, checked);
}

void MainWindow::showPlotMenu(const QPoint &pos)
{
    QMenu menu(this);
    connect(menu.addAction(tr("Сохранить графики")), &QAction::triggered, this, &MainWindow::SaveGraphs);
    connect(menu.addAction(tr("Загрузить графики из файла...")), &QAction::triggered, this, [this] {
        const QString name = QFileDialog::getOpenFileName(this, tr("Загрузить графики"), QStringLiteral("!!log"),
                                                          tr("Графики (*_graphs.bin)"));
        if (!name.isEmpty())
            LoadGraphs(name);
    });
    menu.exec(ui->widget_plot->mapToGlobal(pos));
}

void MainWindow::SaveGraphs()
{
    QDir().mkpath(QStringLiteral("!!log"));
    plotter->on_saveGraphsToFile(tr("Vandor ZidevuDuv: графики"));

    const QStringList files = plotter->LastSaveFiles();
    bool ok = plotter->LastSaveOk();
    for (const QString &file : files)
        ok = ok && QFileInfo(file).isFile();
    if (ok) {
        AppendLog(tr("Графики сохранены: %1, %2")
                          .arg(QDir::toNativeSeparators(QFileInfo(files.value(0)).absoluteFilePath()),
                               QDir::toNativeSeparators(QFileInfo(files.value(1)).absoluteFilePath())),
                  true, logWhite);
    } else {
        AppendLog(tr("Ошибка: графики не сохранены (%1)").arg(files.join(QStringLiteral(", "))), true, logWhite);
    }
}

void MainWindow::LoadGraphs(const QString &fileName)
{
    plotter->on_loadGraphsFromFile(fileName);
    ui->widget_plot->replot();
}
