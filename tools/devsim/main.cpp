#include <QCoreApplication>

#include <csignal>
#include <cstdio>

#include "devicestreamer.h"
#include "simoptions.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vandor-sim"));

    SimOptions options;
    QString error;
    QString help;
    if (!SimOptions::parse(app.arguments(), &options, &error, &help)) {
        std::fprintf(stderr, "vandor-sim: %s\nTry --help.\n", qPrintable(error));
        return 2;
    }
    if (!help.isEmpty()) {
        std::fputs(qPrintable(help), stdout);
        return 0;
    }

    std::signal(SIGPIPE, SIG_IGN);
    DeviceStreamer streamer(options);
    if (!streamer.open(&error)) {
        std::fprintf(stderr, "vandor-sim: %s\n", qPrintable(error));
        return 3;
    }
    QObject::connect(&streamer, &DeviceStreamer::finished, &app, &QCoreApplication::exit, Qt::QueuedConnection);
    streamer.start();
    const int rc = app.exec();
    std::fprintf(stderr, "vandor-sim: %s\n", qPrintable(streamer.summary()));
    return rc;
}
