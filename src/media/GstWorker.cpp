#include "media/GstWorker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace {

class Worker {
  public:
    Worker() : thread_([this] { loop(); }) {}
    ~Worker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        thread_.join(); // runs every job handed over before the end
    }

    std::future<void> add(std::function<void()> job) {
        std::packaged_task<void()> task(std::move(job));
        std::future<void> done = task.get_future();
        {
            std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(task));
        }
        wake_.notify_one();
        return done;
    }

  private:
    void loop() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            std::packaged_task<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::packaged_task<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace

std::future<void> GstWorker::run(std::function<void()> job) {
    static Worker worker;
    return worker.add(std::move(job));
}

std::future<void> GstWorker::retire(std::function<void()> job) {
    static Worker reaper;
    return reaper.add(std::move(job));
}
