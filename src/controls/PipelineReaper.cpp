#include "controls/PipelineReaper.h"

#include <gst/gst.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>
#include <utility>

namespace {

class Reaper {
  public:
    Reaper() : worker_([this] { run(); }) {}
    ~Reaper() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        worker_.join(); // finishes every pipeline handed over before the end
    }

    std::future<void> take(GstElement* pipeline) {
        std::promise<void> done;
        std::future<void> result = done.get_future();
        {
            std::lock_guard lock(mutex_);
            jobs_.emplace_back(pipeline, std::move(done));
        }
        wake_.notify_one();
        return result;
    }

  private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) return;
            auto [pipeline, done] = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            gst_element_set_state(pipeline, GST_STATE_NULL);
            gst_object_unref(pipeline);
            done.set_value();
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<GstElement*, std::promise<void>>> jobs_;
    bool stopping_ = false;
    std::thread worker_;
};

} // namespace

bool PipelineReaper::retire(GstElement* pipeline, std::chrono::milliseconds wait) {
    static Reaper reaper;
    return reaper.take(pipeline).wait_for(wait) == std::future_status::ready;
}
