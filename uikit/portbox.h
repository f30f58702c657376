#ifndef PORTBOX_H
#define PORTBOX_H

class QComboBox;

// The port box of both windows.
class PortBox
{
public:
    // Puts the port names into the box in list order, the first one current; the box is not cleared.
    static void fill(QComboBox *box);
};

#endif // PORTBOX_H
