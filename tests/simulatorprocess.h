#ifndef SIMULATORPROCESS_H
#define SIMULATORPROCESS_H

#include <QProcess>
#include <QStringList>

// The device simulator as a real process, and what it says it sent.
class SimulatorProcess
{
public:
    struct Summary
    {
        qint64 messages = -1;
        qint64 dropped = -1;
        qint64 badCrc = -1;
        qint64 badEnd = -1;
        qint64 stray = -1;
        qint64 lostBytes = -1;
    };

    ~SimulatorProcess();

    bool run(const QStringList &arguments);
    // Waits for the simulator to end; false if it did not, or failed.
    bool finish(int timeoutMs = 30000);
    Summary summary() const;
    QString errorOutput() const { return stderrText; }

private:
    QProcess process;
    QString stderrText;
};

#endif // SIMULATORPROCESS_H
