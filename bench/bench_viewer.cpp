// What one height record costs the viewer window: records fed in chunks as the port delivers them,
// with the label, the plot store and merged redraws, for three seconds.
#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

#include <qcustomplot.h>

#include "mainwindow.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    MainWindow window;
    window.show();
    QCoreApplication::processEvents();

    for (int perChunk : {1, 12}) {
        // Heights that change from record to record, so that every label update is real work.
        QVector<QByteArray> chunks;
        for (int c = 0; c < 64; ++c) {
            QByteArray chunk;
            for (int i = 0; i < perChunk; ++i) {
                const int raw = 1000 + (c * perChunk + i) * 37 % 4000;
                chunk += QByteArray::fromHex("FE00") + char(raw & 0xFF) + char(raw >> 8) + QByteArray(2, 0);
            }
            chunks << chunk;
        }
        int replots = 0;
        auto c = QObject::connect(window.findChild<QCustomPlot *>(QStringLiteral("widget_plotter")),
                                  &QCustomPlot::afterReplot, [&replots] { ++replots; });
        QElapsedTimer clock;
        clock.start();
        qint64 records = 0;
        while (clock.elapsed() < 3000) {
            QMetaObject::invokeMethod(&window, "on_logRx", Qt::DirectConnection,
                                      Q_ARG(QByteArray, chunks.at(int(records / perChunk) % chunks.size())));
            records += perChunk;
            QCoreApplication::processEvents();
        }
        QObject::disconnect(c);
        const double seconds = clock.nsecsElapsed() / 1e9;
        std::printf("%2d records per chunk: %8.0f records/s through the window (%.1f us per record, %d redraws/s); "
                    "line rate 1920 records/s\n",
                    perChunk, records / seconds, seconds * 1e6 / double(records), int(replots / seconds));
    }
    return 0;
}
