#include "simoptions.h"

#include <QCommandLineParser>

double SimOptions::lineByteRate() const
{
    return device == DeviceModel::Tracker ? 115200.0 / 11.0 : 115200.0 / 10.0;
}

namespace {

bool share(const QCommandLineParser &parser, const QString &name, double *value, QString *error)
{
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    *value = parser.value(name).toDouble(&ok);
    if (!ok || *value < 0 || *value > 1) {
        *error = QStringLiteral("--%1 takes a share between 0 and 1, not \"%2\"").arg(name, parser.value(name));
        return false;
    }
    return true;
}

} // namespace

bool SimOptions::parse(const QStringList &arguments, SimOptions *o, QString *error, QString *helpText)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
            "Plays the measuring device of viewer_ext or viewer on a serial line or standard output.\n"
            "\n"
            "viewer_ext device: every measurement is a header frame, one frame per tracked object and a\n"
            "result frame (the nearest object); 14-byte frames, 115200 baud 8N2, at most 748 frames/s.\n"
            "viewer device: 6-byte height records of a repeating flight (climb to about 40 m, cruise,\n"
            "descent); 115200 baud 8N1, at most 1920 records/s.\n"
            "\n"
            "Example, with a virtual line:\n"
            "  socat pty,raw,echo=0,link=/tmp/dev pty,raw,echo=0,link=/tmp/app &\n"
            "  vandor-sim --device viewer_ext --port /tmp/dev --rate 50\n"
            "  VIEWER_EXTRA_PORTS=/tmp/app viewer_ext"));
    parser.addOption({{"d", "device"}, "Device to play: viewer_ext (tracker frames) or viewer (height records). Default viewer_ext.", "name"});
    parser.addOption({{"p", "port"}, "Serial port or pseudo-terminal to write to.", "path"});
    parser.addOption({"stdout", "Write the byte stream to standard output instead of a port."});
    parser.addOption({{"r", "rate"},
                      "Messages per second: measurements for viewer_ext, height records for viewer; "
                      "\"max\" for the full line rate. Default 20 (viewer_ext) or 50 (viewer).",
                      "n|max"});
    parser.addOption({{"o", "objects"}, "Tracked objects per measurement, 0 to 255. Default 3.", "n"});
    parser.addOption({"bad-crc", "Share (0..1) of tracker frames sent with a wrong checksum.", "share"});
    parser.addOption({"bad-end", "Share (0..1) of tracker frames sent with a wrong end sequence.", "share"});
    parser.addOption({"stray", "Share (0..1) of gaps between frames that get 1 to 3 stray bytes.", "share"});
    parser.addOption({"lose-byte", "Share (0..1) of frames or records that lose one byte on the way.", "share"});
    parser.addOption({"random-chunks", "Write in chunks of random size (1 to 32 bytes) instead of whole ticks."});
    parser.addOption({"replay", "Write the bytes of a captured file instead of generated data.", "file"});
    parser.addOption({"byte-rate", "Replay speed in bytes per second. Default: the line's rate for --device.", "n"});
    parser.addOption({"loop", "Start the replay again at the end of the file."});
    parser.addOption({{"n", "count"}, "Stop after this many messages (or replayed bytes).", "n"});
    parser.addOption({{"t", "duration"}, "Stop after this many seconds.", "seconds"});
    parser.addOption({"seed", "Seed of the random choices, for repeatable runs. Default 1.", "n"});
    const QCommandLineOption help = parser.addHelpOption();

    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        *helpText = parser.helpText();
        return true;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *error = QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().first());
        return false;
    }

    const QString device = parser.value(QStringLiteral("device"));
    if (device.isEmpty() || device == QLatin1String("viewer_ext")) {
        o->device = DeviceModel::Tracker;
    } else if (device == QLatin1String("viewer")) {
        o->device = DeviceModel::Height;
    } else {
        *error = QStringLiteral("--device is viewer_ext or viewer, not \"%1\"").arg(device);
        return false;
    }

    o->port = parser.value(QStringLiteral("port"));
    o->toStdout = parser.isSet(QStringLiteral("stdout"));
    if (o->port.isEmpty() == !o->toStdout) {
        *error = QStringLiteral("give exactly one of --port <path> and --stdout");
        return false;
    }

    bool ok = true;
    if (parser.isSet(QStringLiteral("objects"))) {
        o->objects = parser.value(QStringLiteral("objects")).toInt(&ok);
        if (!ok || o->objects < 0 || o->objects > 255) {
            *error = QStringLiteral("--objects takes a number from 0 to 255");
            return false;
        }
    }

    o->rate = o->device == DeviceModel::Tracker ? 20 : 50;
    if (parser.isSet(QStringLiteral("rate"))) {
        const QString rate = parser.value(QStringLiteral("rate"));
        if (rate == QLatin1String("max")) {
            o->maxRate = true;
        } else {
            o->rate = rate.toDouble(&ok);
            if (!ok || o->rate <= 0) {
                *error = QStringLiteral("--rate takes a positive number or \"max\", not \"%1\"").arg(rate);
                return false;
            }
        }
    }
    const double bytesPerMessage = o->device == DeviceModel::Tracker ? 14.0 * (o->objects + 2) : 6.0;
    const double lineRate = o->lineByteRate() / bytesPerMessage;
    if (o->maxRate || o->rate > lineRate)
        o->rate = lineRate;

    if (!share(parser, QStringLiteral("bad-crc"), &o->badCrc, error)
        || !share(parser, QStringLiteral("bad-end"), &o->badEnd, error)
        || !share(parser, QStringLiteral("stray"), &o->stray, error)
        || !share(parser, QStringLiteral("lose-byte"), &o->loseByte, error))
        return false;
    if (o->device == DeviceModel::Height && (o->badCrc > 0 || o->badEnd > 0)) {
        *error = QStringLiteral("height records have no checksum or end sequence: --bad-crc and --bad-end are for viewer_ext");
        return false;
    }
    o->randomChunks = parser.isSet(QStringLiteral("random-chunks"));

    o->replay = parser.value(QStringLiteral("replay"));
    o->loop = parser.isSet(QStringLiteral("loop"));
    o->byteRate = o->lineByteRate();
    if (parser.isSet(QStringLiteral("byte-rate"))) {
        o->byteRate = parser.value(QStringLiteral("byte-rate")).toDouble(&ok);
        if (!ok || o->byteRate <= 0) {
            *error = QStringLiteral("--byte-rate takes a positive number");
            return false;
        }
    }
    if (o->replay.isEmpty() && (o->loop || parser.isSet(QStringLiteral("byte-rate")))) {
        *error = QStringLiteral("--loop and --byte-rate go with --replay");
        return false;
    }

    if (parser.isSet(QStringLiteral("count"))) {
        o->count = parser.value(QStringLiteral("count")).toLongLong(&ok);
        if (!ok || o->count < 0) {
            *error = QStringLiteral("--count takes a number of 0 or more");
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("duration"))) {
        o->duration = parser.value(QStringLiteral("duration")).toDouble(&ok);
        if (!ok || o->duration < 0) {
            *error = QStringLiteral("--duration takes a number of seconds");
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("seed"))) {
        o->seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
        if (!ok) {
            *error = QStringLiteral("--seed takes a whole number");
            return false;
        }
    }
    return true;
}
