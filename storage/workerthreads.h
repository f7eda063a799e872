#pragma once

class QThreadPool;

// Threads for work on files that may hang (a file server that stopped
// answering). Unlike Qt's global pool, the program's exit never waits for
// them: a call stuck in the kernel must not keep a closed window's process
// alive.
class WorkerThreads
{
public:
    static QThreadPool *pool();
};
