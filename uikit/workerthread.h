#ifndef WORKERTHREAD_H
#define WORKERTHREAD_H

class QObject;

// The worker thread that a window's serial front object lives in.
class WorkerThread
{
public:
    // Ends the thread of `front` and waits for it; the front object and its worker are freed on
    // the way out (deleteLater on finished), which closes the port. Call from the GUI thread.
    static void stop(QObject *front);
};

#endif // WORKERTHREAD_H
