// Drives a program's real window the way an operator would (connect, tick the boxes) while a
// simulated device sends, and saves what the screen shows of the window:
//   shoot_<program> <output.png> [seconds]
// The device line must be first in the port list (VIEWER_EXTRA_PORTS), as in the demo.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>

#include <cstdio>

#include "mainwindow.h"

namespace {

void wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

void click(QWidget *window, const char *name)
{
    if (auto *button = window->findChild<QAbstractButton *>(QLatin1String(name)))
        button->click();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output.png> [seconds]\n", argv[0]);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 8;

    MainWindow window;
    window.show();
    wait(500);

    click(&window, "toolButton_connect");             // viewer_ext
    click(&window, "pushButton_connect_to_rs485");    // viewer
    click(&window, "checkBox_VisibleObj");
    // A few received-byte lines in the log, then quiet again.
    click(&window, "checkBox_LogRxByte");
    click(&window, "checkBox_LogRxByte_rs485");
    wait(60);
    click(&window, "checkBox_LogRxByte");
    click(&window, "checkBox_LogRxByte_rs485");

    wait(seconds * 1000);
    const QPixmap shot = window.screen()->grabWindow(window.winId());
    if (shot.isNull() || !shot.save(output)) {
        std::fprintf(stderr, "could not save %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s: %dx%d\n", qPrintable(output), shot.width(), shot.height());
    return 0;
}
