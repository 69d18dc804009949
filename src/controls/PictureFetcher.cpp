#include "controls/PictureFetcher.h"

#include "controls/PictureCache.h"
#include "formats/PictureAnimation.h"
#include "formats/PictureLoader.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <exception>

namespace {
constexpr int EndWaitMs = 2000;
// Longer than key repeat's step, short beside someone looking at a picture.
constexpr int RestMs = 100;

// Waits a little for a worker, else leaves it to the program's end rather
// than holding up the window: it owns its job and touches nothing else.
void endWorker(QThread* worker) {
    if (!worker) return;
    if (worker->wait(QDeadlineTimer(EndWaitMs))) {
        delete worker;
        return;
    }
    QObject::connect(worker, &QThread::finished, worker, &QObject::deleteLater);
}
} // namespace

// What a worker and this object's thread share; the worker writes the
// result before it finishes, this thread reads it after.
struct PictureFetcher::Job {
    QString path;
    QSize limit;
    quint64 generation = 0;
    Done done;
    std::atomic<bool> stop{false};
    bool decoded = false;
    std::optional<FileStamp> stamp; // of the file before it was read
    QImage picture;
    std::unique_ptr<PictureAnimation> animation;
};

PictureFetcher::PictureFetcher(QObject* parent)
    : QObject(parent), cache_(std::make_unique<PictureCache>()), rest_(new QTimer(this)) {
    rest_->setSingleShot(true);
    rest_->setInterval(RestMs);
    connect(rest_, &QTimer::timeout, this, &PictureFetcher::startPrefetch);
}

PictureFetcher::~PictureFetcher() {
    if (running_) running_->stop = true;
    if (ahead_) ahead_->stop = true;
    endWorker(worker_);
    endWorker(aheadWorker_);
}

void PictureFetcher::fetch(const QString& path, QSize limit, Done done) {
    cancel();
    if (ahead_) ahead_->stop = true; // the request goes first
    if (const std::optional<QImage> ready = cache_->take(path, limit)) {
        done(*ready, nullptr);
        return;
    }
    auto job = std::make_shared<Job>();
    job->path = path;
    job->limit = limit;
    job->generation = generation_;
    job->done = std::move(done);
    if (running_)
        waiting_ = std::move(job);
    else
        start(std::move(job));
}

void PictureFetcher::cancel() {
    ++generation_;
    waiting_.reset();
    if (running_) running_->stop = true;
}

bool PictureFetcher::isBusy() const {
    return waiting_ || (running_ && running_->generation == generation_);
}

QThread* PictureFetcher::launch(const std::shared_ptr<Job>& job) {
    return QThread::create([job, home = thread()] {
        try {
            job->stamp = FileStamp::of(job->path);
            LoadedPicture loaded = LoadPictureAndAnimation(job->path, job->limit, &job->stop);
            job->picture = std::move(loaded.picture);
            job->animation = std::move(loaded.animation);
            if (job->animation) job->animation->moveToThread(home);
            job->decoded = !job->stop;
        } catch (const std::exception&) {
            // not a picture: nothing shows
        }
    });
}

void PictureFetcher::start(std::shared_ptr<Job> job) {
    running_ = job;
    worker_ = launch(job);
    connect(worker_, &QThread::finished, this, &PictureFetcher::workerFinished);
    worker_->start();
}

void PictureFetcher::workerFinished() {
    delete worker_; // waits for the last moment after finished
    worker_ = nullptr;
    std::shared_ptr<Job> job = std::move(running_);
    if (job->generation != generation_) job.reset(); // stale: its memory goes first
    if (waiting_) start(std::exchange(waiting_, nullptr));
    if (job && job->decoded) {
        // Kept for a step back; a picture asked at another size (zoomed, say) is not.
        if (!job->animation && job->stamp && job->limit == aheadLimit_)
            cache_->put(job->path, job->limit, *job->stamp, job->picture);
        job->done(job->picture, std::move(job->animation));
    }
    if (!rest_->isActive()) startPrefetch();
}

void PictureFetcher::prefetch(const QString& shown, const QStringList& neighbours, QSize limit,
                              std::function<bool()> allowed) {
    toDecode_ = neighbours.first(qMin(neighbours.size(), qsizetype(PictureCache::MaxBesidesShown)));
    wanted_ = toDecode_;
    cache_->keepOnly(QStringList(wanted_) << shown, limit);
    aheadLimit_ = limit;
    allowed_ = std::move(allowed);
    rest_->start();
}

void PictureFetcher::dropPrefetched() {
    rest_->stop();
    toDecode_.clear();
    wanted_.clear();
    cache_->clear();
    if (ahead_) ahead_->stop = true;
}

int PictureFetcher::prefetchedCount() const {
    return cache_->count();
}

bool PictureFetcher::isDecodingAhead() const {
    return ahead_ || (rest_->isActive() && !toDecode_.isEmpty() && (!allowed_ || allowed_()));
}

void PictureFetcher::startPrefetch() {
    if (running_ || waiting_ || ahead_ || rest_->isActive() || (allowed_ && !allowed_())) return;
    while (!toDecode_.isEmpty() && cache_->holds(toDecode_.first(), aheadLimit_))
        toDecode_.removeFirst();
    if (toDecode_.isEmpty()) return;
    ahead_ = std::make_shared<Job>();
    ahead_->path = toDecode_.takeFirst();
    ahead_->limit = aheadLimit_;
    aheadWorker_ = launch(ahead_);
    connect(aheadWorker_, &QThread::finished, this, &PictureFetcher::prefetchFinished);
    aheadWorker_->start();
}

void PictureFetcher::prefetchFinished() {
    delete aheadWorker_;
    aheadWorker_ = nullptr;
    const std::shared_ptr<Job> job = std::move(ahead_);
    // An animation plays from its file's bytes: such a picture is decoded when asked.
    const bool wanted = job->limit == aheadLimit_ && wanted_.contains(job->path);
    if (wanted && job->decoded && !job->animation && job->stamp)
        cache_->put(job->path, job->limit, *job->stamp, job->picture);
    else if (wanted && job->stop && !toDecode_.contains(job->path))
        toDecode_.prepend(job->path); // stopped for a request: tried again after it
    startPrefetch();
}
