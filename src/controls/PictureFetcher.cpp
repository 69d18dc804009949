#include "controls/PictureFetcher.h"

#include "formats/PictureAnimation.h"
#include "formats/PictureLoader.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QThread>

#include <atomic>
#include <exception>

namespace {
constexpr int EndWaitMs = 2000;
} // namespace

// What the worker and this object's thread share; the worker writes the
// result before it finishes, this thread reads it after.
struct PictureFetcher::Job {
    QString path;
    QSize limit;
    quint64 generation = 0;
    Done done;
    std::atomic<bool> stop{false};
    bool decoded = false;
    QImage picture;
    std::unique_ptr<PictureAnimation> animation;
};

PictureFetcher::PictureFetcher(QObject* parent) : QObject(parent) {}

PictureFetcher::~PictureFetcher() {
    if (!worker_) return;
    running_->stop = true;
    if (worker_->wait(QDeadlineTimer(EndWaitMs))) {
        delete worker_;
        return;
    }
    // A decode stuck in the file system is left to the program's end rather
    // than holding up the window; it owns its job and touches nothing else.
    connect(worker_, &QThread::finished, worker_, &QObject::deleteLater);
}

void PictureFetcher::fetch(const QString& path, QSize limit, Done done) {
    cancel();
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

void PictureFetcher::start(std::shared_ptr<Job> job) {
    running_ = job;
    worker_ = QThread::create([job, home = thread()] {
        try {
            job->picture = LoadPicture(job->path, job->limit, &job->stop);
            if (!job->stop) job->animation = PictureAnimation::open(job->path, job->limit);
            if (job->animation) job->animation->moveToThread(home);
            job->decoded = true;
        } catch (const std::exception&) {
            // not a picture: nothing shows
        }
    });
    connect(worker_, &QThread::finished, this, &PictureFetcher::workerFinished);
    worker_->start();
}

void PictureFetcher::workerFinished() {
    delete worker_; // waits for the last moment after finished
    worker_ = nullptr;
    std::shared_ptr<Job> job = std::move(running_);
    if (job->generation != generation_) job.reset(); // stale: its memory goes first
    if (waiting_) start(std::exchange(waiting_, nullptr));
    if (job && job->decoded) job->done(job->picture, std::move(job->animation));
}
