#pragma once

#include <QPointer>
#include <QThreadPool>

// A thread of its own for one kind of background work: a pool of one thread,
// made on first use, so that one large picture at a time is held in memory
// for it. When the application ends, work not yet started is dropped and the
// work still running finishes before the Gui goes, as a decode may scale its
// picture with it. Kept in a static, one for each kind of work.
class WorkerThread {
  public:
    QThreadPool* pool();

  private:
    QPointer<QThreadPool> pool_; // goes with the application
};
