#include "controls/WorkerThread.h"

#include <QCoreApplication>
#include <QList>

#include <utility>

namespace {

// Of the running application: its post routines are run once and forgotten.
QList<QPointer<QThreadPool>>& pools() {
    static QList<QPointer<QThreadPool>> all;
    return all;
}

void waitForAll() {
    for (const QPointer<QThreadPool>& pool : std::exchange(pools(), {})) {
        if (!pool) continue;
        pool->clear();
        pool->waitForDone();
    }
}

} // namespace

QThreadPool* WorkerThread::pool() {
    if (!pool_) {
        pool_ = new QThreadPool(QCoreApplication::instance());
        pool_->setMaxThreadCount(1);
        if (pools().isEmpty()) qAddPostRoutine(waitForAll);
        pools() << pool_;
    }
    return pool_;
}
