#include "portbox.h"

#include <QComboBox>

#include "portlist.h"

void PortBox::fill(QComboBox *box)
{
    const QStringList names = PortList::names();
    for (int i = 0; i < names.size(); ++i)
        box->insertItem(i, names.at(i));
}
