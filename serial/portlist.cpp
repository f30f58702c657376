#include "portlist.h"

#include <QSerialPortInfo>

QStringList PortList::names()
{
    return extraPorts() + systemPorts();
}

QStringList PortList::extraPorts()
{
    const QString value = QString::fromLocal8Bit(qgetenv("VIEWER_EXTRA_PORTS"));
    return value.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList PortList::systemPorts()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        names.append(info.portName());
    return names;
}
