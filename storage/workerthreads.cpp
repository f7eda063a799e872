#include "workerthreads.h"

#include <QThreadPool>

QThreadPool *WorkerThreads::pool()
{
    // Never deleted on purpose: deleting a pool waits for its threads.
    static QThreadPool *threads = [] {
        auto *p = new QThreadPool;
        p->setMaxThreadCount(4);
        return p;
    }();
    return threads;
}
