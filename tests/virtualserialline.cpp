#include "virtualserialline.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

VirtualSerialLine::VirtualSerialLine() = default;

VirtualSerialLine::~VirtualSerialLine()
{
    stop();
}

QString VirtualSerialLine::devicePath() const
{
    return dir.filePath(QStringLiteral("device"));
}

QString VirtualSerialLine::testPath() const
{
    return dir.filePath(QStringLiteral("test"));
}

bool VirtualSerialLine::start(bool openTestEnd)
{
    if (!dir.isValid()) {
        failure = QStringLiteral("no temporary folder");
        return false;
    }
    const QString testEnd = testPath();
    socat.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    socat.start(QStringLiteral("socat"),
                {QStringLiteral("pty,raw,echo=0,link=") + devicePath(),
                 QStringLiteral("pty,raw,echo=0,link=") + testEnd});
    if (!socat.waitForStarted(5000)) {
        failure = QStringLiteral("socat did not start: ") + socat.errorString();
        return false;
    }

    QElapsedTimer waited;
    waited.start();
    while (!(QFileInfo::exists(devicePath()) && QFileInfo::exists(testEnd))) {
        if (waited.elapsed() > 5000 || socat.state() != QProcess::Running) {
            failure = QStringLiteral("socat made no pseudo-terminals");
            return false;
        }
        QThread::msleep(5);
    }

    if (!openTestEnd)
        return true;
    fd = ::open(QFile::encodeName(testEnd).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        failure = QStringLiteral("cannot open the test end");
        return false;
    }
    termios tio {};
    if (tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd, TCSANOW, &tio);
    }
    return true;
}

void VirtualSerialLine::stop()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (socat.state() != QProcess::NotRunning) {
        socat.terminate();
        if (!socat.waitForFinished(2000)) {
            socat.kill();
            socat.waitForFinished(2000);
        }
    }
}

bool VirtualSerialLine::write(const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    QElapsedTimer waited;
    waited.start();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n > 0) {
            p += n;
            left -= n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            if (waited.elapsed() > 10000)
                return false;
            pollfd pfd {fd, POLLOUT, 0};
            ::poll(&pfd, 1, 50);
        }
    }
    return true;
}

QByteArray VirtualSerialLine::read(int count, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer waited;
    waited.start();
    while (got.size() < count && waited.elapsed() < timeoutMs) {
        pollfd pfd {fd, POLLIN, 0};
        if (::poll(&pfd, 1, 20) > 0) {
            char buf[4096];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                got.append(buf, int(n));
        }
    }
    return got;
}
