#include "controls/DetailFetcher.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QPointer>
#include <QThreadPool>
#include <QtConcurrent>

#include <exception>
#include <optional>

namespace {

// A zoomed raster picture is decoded whole, at most this many pixels (4 bytes
// each), within Qt's own allocation limit for a decode.
constexpr qint64 MaxDetailPixels = 50'000'000;

// One thread: a zoomed decode holds a large picture in memory for a while.
QThreadPool* workers() {
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(1);
        // A decode still running at the end finishes before the Gui goes.
        qAddPostRoutine([] {
            if (!pool) return;
            pool->clear();
            pool->waitForDone();
        });
    }
    return pool;
}

} // namespace

DetailFetcher::DetailFetcher(QObject* parent) : QObject(parent) {}

DetailFetcher::~DetailFetcher() {
    cancel();
}

void DetailFetcher::fetch(const QString& path, double scale, QRect visible, Done done) {
    cancel();
    stop_ = std::make_shared<std::atomic<bool>>(false);
    busy_ = true;
    using Result = std::optional<PictureDetail>; // none: stopped
    auto* watcher = new QFutureWatcher<Result>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation = generation_, done = std::move(done)] {
                watcher->deleteLater();
                if (generation != generation_) return; // superseded
                busy_ = false;
                if (const Result result = watcher->result()) done(*result);
            });
    watcher->setFuture(
        QtConcurrent::run(workers(), [path, scale, visible, stop = stop_]() -> Result {
            if (*stop) return {};
            try {
                return loadPictureDetail(path, scale, visible, MaxDetailPixels, stop.get());
            } catch (const std::exception&) {
                return PictureDetail{}; // nothing sharper: what shows stays
            }
        }));
}

void DetailFetcher::cancel() {
    ++generation_;
    busy_ = false;
    if (stop_) *stop_ = true;
}
