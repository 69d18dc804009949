#pragma once

#include <QEvent>
#include <QImage>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

typedef struct _GstElement GstElement;
typedef struct _GstMessage GstMessage;

// Where GStreamer's threads leave bus messages and pictures for the
// user-interface thread: each arrives there as an event to `target`. Once the
// target is detached, late reports are dropped.
struct GstMailbox {
    static constexpr QEvent::Type BusMessage = QEvent::Type(QEvent::User + 151);
    static constexpr QEvent::Type FrameReady = QEvent::Type(QEvent::User + 152);
    // A state change failed without an error on the bus.
    static constexpr QEvent::Type StateFailed = QEvent::Type(QEvent::User + 153);
    // The pipeline took the way to its first pictures and sound in the
    // background: from now on it has a deadline to get there.
    static constexpr QEvent::Type Prerolling = QEvent::Type(QEvent::User + 154);

    // Carries one bus message, holding a reference to it.
    class BusEvent : public QEvent {
      public:
        explicit BusEvent(GstMessage* message);
        ~BusEvent() override;
        GstMessage* message() const { return message_; }

      private:
        GstMessage* message_;
    };

    // How a pipeline's way to its first state stands.
    enum class Progress { Pending, Ready, Failed };

    explicit GstMailbox(QObject* target) : target_(target) {}

    // Routes `pipeline`'s bus and `videoSink`'s (an appsink) pictures here.
    static void connect(const std::shared_ptr<GstMailbox>& mailbox, GstElement* pipeline,
                        GstElement* videoSink);
    void detach();
    // Whether the user-interface thread has let go: what it asked for is moot.
    bool detached();
    // The newest picture; only the newest one waits, so a busy window skips pictures.
    QImage takeFrame();
    // Waits at most `wait` for the pipeline to be ready or to fail.
    Progress settle(std::chrono::milliseconds wait);
    Progress progress();

    // Called on GStreamer's threads.
    void report(Progress progress);
    void prerolling();
    void take(GstMessage* message);
    void postFrame(QImage picture);

  private:
    std::mutex mutex_;
    QObject* target_;
    std::condition_variable settled_;
    Progress progress_ = Progress::Pending;
    QImage frame_;
    bool framePending_ = false;
};
