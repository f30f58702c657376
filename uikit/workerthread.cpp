#include "workerthread.h"

#include <QThread>

void WorkerThread::stop(QObject *front)
{
    QThread *thread = front->thread();
    thread->quit();
    thread->wait();
    delete thread;
}
