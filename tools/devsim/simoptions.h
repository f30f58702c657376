#ifndef SIMOPTIONS_H
#define SIMOPTIONS_H

#include <QString>
#include <QStringList>

#include "devicemodel.h"

// What the simulator was asked to do, checked and with defaults filled in.
struct SimOptions
{
    DeviceModel::Kind device = DeviceModel::Tracker;
    QString port;
    bool toStdout = false;
    double rate = 0;          // messages per second
    bool maxRate = false;     // as fast as the serial line carries them
    int objects = 3;
    double badCrc = 0;
    double badEnd = 0;
    double stray = 0;
    double loseByte = 0;
    bool randomChunks = false;
    QString replay;
    double byteRate = 0;      // replay speed; 0 = the line's rate
    bool loop = false;
    qint64 count = -1;
    double duration = -1;
    quint32 seed = 1;

    // Bytes per second that 115200 baud carries: 11 bits a byte with two stop bits, 10 with one.
    double lineByteRate() const;

    // Parses the command line; on failure returns false with a message in *error.
    // *helpText is set when --help was given.
    static bool parse(const QStringList &arguments, SimOptions *options, QString *error, QString *helpText);
};

#endif // SIMOPTIONS_H
