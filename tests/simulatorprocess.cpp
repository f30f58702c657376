#include "simulatorprocess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QRegularExpression>

SimulatorProcess::~SimulatorProcess()
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(2000);
    }
}

bool SimulatorProcess::run(const QStringList &arguments)
{
    process.start(QStringLiteral(VANDOR_SIM_PATH), arguments);
    return process.waitForStarted(5000);
}

bool SimulatorProcess::finish(int timeoutMs)
{
    // Keep the caller's event loop turning: the window under test reads while we wait.
    QDeadlineTimer deadline(timeoutMs);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        process.waitForFinished(5);
    }
    stderrText = QString::fromLocal8Bit(process.readAllStandardError());
    return process.state() == QProcess::NotRunning && process.exitStatus() == QProcess::NormalExit
            && process.exitCode() == 0;
}

SimulatorProcess::Summary SimulatorProcess::summary() const
{
    static const QRegularExpression line(QStringLiteral(
            "sent (\\d+) messages \\(\\d+ bytes\\), dropped (\\d+) while nobody read; "
            "bad checksum (\\d+), bad end (\\d+), stray gaps (\\d+), lost bytes (\\d+)"));
    Summary s;
    const QRegularExpressionMatch m = line.match(stderrText);
    if (m.hasMatch()) {
        s.messages = m.captured(1).toLongLong();
        s.dropped = m.captured(2).toLongLong();
        s.badCrc = m.captured(3).toLongLong();
        s.badEnd = m.captured(4).toLongLong();
        s.stray = m.captured(5).toLongLong();
        s.lostBytes = m.captured(6).toLongLong();
    }
    return s;
}
