#include "mainwindow.h"
#include "ui_mainwindow.h"

#include <QScrollBar>
#include <QThread>
#include <QTimer>

#include <qcustomplot.h>

#include "axisselection.h"
#include "fixedsubtickticker.h"
#include "logline.h"
#include "portbox.h"
#include "replotthrottle.h"
#include "serialtop.h"
#include "workerthread.h"

static void initResources()
{
    // The resources are linked from a static library; this keeps them in the program.
    Q_INIT_RESOURCE(viewer);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainWindow)
{
    initResources();
    ui->setupUi(this);

    auto *thread = new QThread();
    serialTop = new SerialTop();
    serialTop->moveToThread(thread);

    PortBox::fill(ui->comboBox_list_port);

    connect(thread, &QThread::started, serialTop, &SerialTop::init);
    // Freed in their own thread when it ends, which closes the port.
    connect(thread, &QThread::finished, serialTop, &QObject::deleteLater);
    connect(serialTop, &SerialTop::connectedChanged, this, &MainWindow::on_connectedChange);
    connect(serialTop, &SerialTop::logRx, this, &MainWindow::on_logRx);
    // A port that cannot be opened must not pass in silence: the worker's reasons are shown.
    connect(serialTop, &SerialTop::logError, this, &MainWindow::on_appendLog);
    connect(serialTop, &SerialTop::logWarning, this, &MainWindow::on_appendLog);

    thread->start(QThread::InheritPriority);

    setupPlot();

    timerRxByteStatus = new QTimer(this);
    timerRxByteStatus->setInterval(200);
    timerRxByteStatus->setSingleShot(true);
    connect(timerRxByteStatus, &QTimer::timeout, this, &MainWindow::on_timerRxByteStatusReset);
}

MainWindow::~MainWindow()
{
    // Stop the worker thread before the window goes; its objects are deleted on the way out.
    WorkerThread::stop(serialTop);

    delete ui;
}

void MainWindow::on_appendLog(QString s)
{
    QTextEdit *pane = ui->textEdit_log;
    pane->append(LogLine::stamped(s));
    pane->verticalScrollBar()->setValue(pane->verticalScrollBar()->maximum());
}

void MainWindow::on_connectedChange(bool state)
{
    const QString port = ui->comboBox_list_port->currentText();
    if (state) {
        on_appendLog(tr("Connected to ") + port);
    } else {
        on_appendLog(tr("Disconnected of ") + port);
        on_appendLog(tr("Устройство отключено"));
    }
}

void MainWindow::on_pushButton_connect_to_rs485_clicked(bool checked)
{
    if (!checked) {
        serialTop->disconnectFromDevice();
        ui->pushButton_connect_to_rs485->setText(tr("Подключить"));
        return;
    }

    const QString port = ui->comboBox_list_port->currentText();
    if (port.isEmpty()) {
        on_appendLog(tr("Нет доступных COM портов"));
        return;
    }

    // A record begun on an earlier connection would be completed by unrelated bytes.
    rxRecord.clear();
    rxRecordState = 0;

    serialPortSettings_t settings;
    settings.name = port;
    settings.baudRate = 115200;
    settings.dataBits = QSerialPort::Data8;
    settings.parity = QSerialPort::NoParity;
    settings.stopBits = QSerialPort::OneStop;
    settings.flowControl = QSerialPort::NoFlowControl;
    serialTop->connectToDevice(&settings);
    ui->pushButton_connect_to_rs485->setText(tr("Отключить"));
}

void MainWindow::on_toolButton_scan_port_rs485_clicked()
{
    ui->comboBox_list_port->clear();
    PortBox::fill(ui->comboBox_list_port);
}

void MainWindow::on_logRx(QByteArray data)
{
    if (data.isEmpty())
        return;

    ui->radioButton_rx_byte_status->setChecked(true);
    timerRxByteStatus->setInterval(200);
    timerRxByteStatus->start();

    for (const char c : data)
        decodeRxByte(uchar(c));

    if (ui->checkBox_LogRxByte_rs485->isChecked())
        on_appendLog(LogLine::rxBytes(data));
}

void MainWindow::on_timerRxByteStatusReset()
{
    ui->radioButton_rx_byte_status->setChecked(false);
}

void MainWindow::decodeRxByte(uchar byte)
{
    if (rxRecordState == 0) {
        // Every record must start with the lead byte; anything else is skipped until one comes,
        // so a lost or extra byte costs one record, not every later one.
        if (byte == leadByte) {
            rxRecord.append(char(byte));
            rxRecordState = 1;
        }
        return;
    }

    rxRecord.append(char(byte));
    if (rxRecord.size() < recordSize)
        return;

    const auto *r = reinterpret_cast<const uchar *>(rxRecord.constData());
    const int raw = r[2] + 256 * r[3];
    const float height = float(raw) / 100.0f;
    addPlotPoint(0, height);
    ui->label_distance->setText(tr("Высота: %1 м").arg(QString::number(double(height), 'f', 2)));
    rxRecord.clear();
    rxRecordState = 0;
}

void MainWindow::addPlotPoint(int graph, float value)
{
    if (graph != 0 || !graphHeight[graph])
        return;
    QVector<double> &keys = plotKeys[graph];
    QVector<double> &values = plotValues[graph];
    QCPGraph *g = graphHeight[graph];

    double key = keys.size();
    if (keys.size() > sweepPoints - 1) {
        keys.clear();
        values.clear();
        g->data()->clear();
        key = 0;
    }
    keys.append(key);
    values.append(double(value));
    // Keys grow within a sweep, so this is an append, not a copy of the sweep.
    g->addData(key, double(value));
    throttle->request();
}

void MainWindow::setupGridAxis(QCPAxis *axis)
{
    axis->setVisible(true);
    axis->setTickLabels(false);
    FixedSubTickTicker::install(axis, 9, 4);
    axis->setRange(0, 10);
    axis->grid()->setPen(QPen(QColor(Qt::gray)));
    axis->grid()->setSubGridVisible(true);
}

void MainWindow::setupKeyAxis(QCPAxis *axis, float lower, float size)
{
    axis->setVisible(true);
    FixedSubTickTicker::install(axis, 9, 4);
    axis->setRange(double(lower), double(lower + size));
    axis->setPadding(10);
}

void MainWindow::setupValueAxis(float lower, float size, QCPAxis *axis, const QColor &color, const QString &label)
{
    axis->setVisible(true);
    FixedSubTickTicker::install(axis, 9, 4);
    axis->setRange(double(lower), double(lower + size));
    axis->setPadding(10);
    const QPen pen(color);
    axis->setBasePen(pen);
    axis->setTickPen(pen);
    axis->setSubTickPen(pen);
    axis->setLabelColor(color);
    axis->setTickLabelColor(color);
    axis->setLabel(label);
    axis->setLabelPadding(2);
}

QCPAxis *MainWindow::axisKey() const
{
    return ui->widget_plotter->axisRect()->axis(QCPAxis::atBottom, 1);
}

void MainWindow::setupPlot()
{
    QCustomPlot *plot = ui->widget_plotter;
    throttle = new ReplotThrottle(plot, this);

    plotColor = QColor(0, 0, 0, 255);
    axisHeightLabel = tr("Высота, м");

    setupGridAxis(plot->xAxis);
    setupGridAxis(plot->xAxis2);
    setupGridAxis(plot->yAxis);
    setupGridAxis(plot->yAxis2);
    connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->xAxis2, qOverload<const QCPRange &>(&QCPAxis::setRange));
    connect(plot->yAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->yAxis2, qOverload<const QCPRange &>(&QCPAxis::setRange));

    QCPAxis *key = plot->axisRect()->addAxis(QCPAxis::atBottom);
    setupKeyAxis(key, 0, sweepPoints);
    connect(key, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::setRange));
    emit key->rangeChanged(key->range());

    axisHeight = plot->axisRect()->addAxis(QCPAxis::atLeft);
    setupValueAxis(0, 50, axisHeight, plotColor, axisHeightLabel);

    graphHeight[0] = plot->addGraph(key, axisHeight);
    graphHeight[0]->setData(plotKeys[0], plotValues[0]);
    graphHeight[0]->setPen(QPen(plotColor, 1.5, Qt::SolidLine));
    graphHeight[0]->setVisible(true);

    connect(axisHeight, qOverload<const QCPRange &>(&QCPAxis::rangeChanged),
            plot->yAxis, qOverload<const QCPRange &>(&QCPAxis::setRange));

    AxisSelection::unbind(plot->axisRect());
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom | QCP::iSelectPlottables | QCP::iSelectAxes);
    connect(plot, &QCustomPlot::selectionChangedByUser, this, &MainWindow::on_selectionChanged);
}

void MainWindow::syncAxisSelection(QCPAxis *axis, bool keep)
{
    AxisSelection::sync(axis, keep);
}

void MainWindow::on_selectionChanged()
{
    QCustomPlot *plot = ui->widget_plotter;
    for (QCPAxis *axis : {plot->xAxis, plot->xAxis2, plot->yAxis, plot->yAxis2, axisKey()})
        syncAxisSelection(axis, false);
    syncAxisSelection(axisHeight, true);

    QCPAxisRect *rect = plot->axisRect();
    QCPGraph *graph = graphHeight[0];
    if (axisHeight->selectedParts().testFlag(QCPAxis::spAxis) || (graph && graph->selected())) {
        if (graph)
            graph->setSelection(QCPDataSelection(graph->data()->dataRange()));
        axisHeight->setSelectedParts(QCPAxis::spAxis | QCPAxis::spTickLabels);
        AxisSelection::bindVertical(rect, axisHeight);
    } else {
        AxisSelection::unbind(rect);
    }
}
