#ifndef VIRTUALSERIALLINE_H
#define VIRTUALSERIALLINE_H

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A real serial line without hardware: socat joins two pseudo-terminals. The code under test
// opens devicePath(); the test plays the device on the other end through write() and read().
class VirtualSerialLine
{
public:
    VirtualSerialLine();
    ~VirtualSerialLine();

    // Starts socat and, unless another program plays the device, opens the test's end;
    // false (with a reason in error()) when it cannot.
    bool start(bool openTestEnd = true);
    void stop();

    QString devicePath() const;
    QString testPath() const;
    QString error() const { return failure; }

    bool write(const QByteArray &bytes);
    // Reads what the code under test wrote, until `count` bytes arrived or the time is up.
    QByteArray read(int count, int timeoutMs = 2000);

private:
    QTemporaryDir dir;
    QProcess socat;
    int fd = -1;
    QString failure;
};

#endif // VIRTUALSERIALLINE_H
