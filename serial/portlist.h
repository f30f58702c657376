#ifndef PORTLIST_H
#define PORTLIST_H

#include <QStringList>

// The names the port boxes of both programs offer.
class PortList
{
public:
    // Names from VIEWER_EXTRA_PORTS (':'-separated) first, then the system's ports in the
    // system's order. Virtual lines and stable links never show up in the system's list.
    static QStringList names();
    static QStringList extraPorts();
    static QStringList systemPorts();
};

#endif // PORTLIST_H
