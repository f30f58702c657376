#include "logline.h"

QString LogLine::stamped(const QString &text, const QDateTime &when)
{
    return when.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral(": ") + text;
}

QString LogLine::rxBytes(const QByteArray &data)
{
    static const char digits[] = "0123456789ABCDEF";
    QString line;
    line.reserve(7 + data.size() * 3);
    line += QStringLiteral("RxByte:");
    for (const char c : data) {
        const uchar b = uchar(c);
        line += QLatin1Char(digits[b >> 4]);
        line += QLatin1Char(digits[b & 0x0F]);
        line += QLatin1Char(' ');
    }
    return line;
}
