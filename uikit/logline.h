#ifndef LOGLINE_H
#define LOGLINE_H

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Texts that both programs write into their log panes.
class LogLine
{
public:
    // "HH:mm:ss.zzz: " followed by the text.
    static QString stamped(const QString &text, const QDateTime &when = QDateTime::currentDateTime());
    // "RxByte:" followed by every byte as two upper-case hex digits and a blank.
    static QString rxBytes(const QByteArray &data);
};

#endif // LOGLINE_H
