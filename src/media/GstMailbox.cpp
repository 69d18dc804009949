#include "media/GstMailbox.h"

#include <QCoreApplication>

#include <utility>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

namespace {

using Shared = std::shared_ptr<GstMailbox>;

void release(gpointer data) {
    delete static_cast<Shared*>(data);
}

// A picture from an appsink that delivers BGRx, QImage's RGB32 in memory.
QImage pictureOf(GstSample* sample) {
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    if (!buffer || !gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) return {};
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return {};
    QImage picture;
    const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    if (map.size >= gsize(stride) * gsize(info.height))
        picture = QImage(map.data, info.width, info.height, stride, QImage::Format_RGB32).copy();
    gst_buffer_unmap(buffer, &map);
    return picture;
}

GstFlowReturn deliver(GstSample* sample, gpointer data) {
    if (!sample) return GST_FLOW_ERROR;
    QImage picture = pictureOf(sample);
    gst_sample_unref(sample);
    if (!picture.isNull()) (*static_cast<Shared*>(data))->postFrame(std::move(picture));
    return GST_FLOW_OK;
}

GstFlowReturn onPreroll(GstAppSink* sink, gpointer data) {
    return deliver(gst_app_sink_pull_preroll(sink), data);
}

GstFlowReturn onSample(GstAppSink* sink, gpointer data) {
    return deliver(gst_app_sink_pull_sample(sink), data);
}

GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer data) {
    (*static_cast<Shared*>(data))->take(message);
    return GST_BUS_DROP; // nothing piles up on the bus
}

} // namespace

GstMailbox::BusEvent::BusEvent(GstMessage* message)
    : QEvent(BusMessage), message_(gst_message_ref(message)) {}

GstMailbox::BusEvent::~BusEvent() {
    gst_message_unref(message_);
}

void GstMailbox::connect(const Shared& mailbox, GstElement* pipeline, GstElement* videoSink) {
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, onMessage, new Shared(mailbox), release);
    gst_object_unref(bus);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = onPreroll;
    callbacks.new_sample = onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(videoSink), &callbacks, new Shared(mailbox), release);
}

void GstMailbox::detach() {
    std::lock_guard lock(mutex_);
    target_ = nullptr;
    frame_ = {};
}

bool GstMailbox::detached() {
    std::lock_guard lock(mutex_);
    return !target_;
}

QImage GstMailbox::takeFrame() {
    std::lock_guard lock(mutex_);
    framePending_ = false;
    return std::exchange(frame_, {});
}

GstMailbox::Progress GstMailbox::settle(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    settled_.wait_for(lock, wait, [this] { return progress_ != Progress::Pending; });
    return progress_;
}

GstMailbox::Progress GstMailbox::progress() {
    std::lock_guard lock(mutex_);
    return progress_;
}

void GstMailbox::report(Progress progress) {
    std::lock_guard lock(mutex_);
    if (progress_ != Progress::Pending) return; // the first word stands
    progress_ = progress;
    settled_.notify_all();
    // Not every failed state change posts an error on the bus; one that comes
    // after "Open" stopped waiting must still close the device.
    if (progress == Progress::Failed && target_)
        QCoreApplication::postEvent(target_, new QEvent(StateFailed));
}

void GstMailbox::prerolling() {
    std::lock_guard lock(mutex_);
    if (progress_ == Progress::Pending && target_)
        QCoreApplication::postEvent(target_, new QEvent(Prerolling));
}

void GstMailbox::take(GstMessage* message) {
    // Posting under the lock: detach() cannot slip in between, and Qt drops
    // the events of a target that is deleted after detaching.
    std::lock_guard lock(mutex_);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
        progress_ = Progress::Failed;
        settled_.notify_all();
        if (target_) QCoreApplication::postEvent(target_, new BusEvent(message));
        break;
    case GST_MESSAGE_ASYNC_DONE: // the whole pipeline has its first pictures and sound
        if (progress_ == Progress::Pending) progress_ = Progress::Ready;
        settled_.notify_all();
        break;
    default:
        break;
    }
}

void GstMailbox::postFrame(QImage picture) {
    std::lock_guard lock(mutex_);
    if (!target_) return;
    frame_ = std::move(picture);
    if (!std::exchange(framePending_, true))
        QCoreApplication::postEvent(target_, new QEvent(FrameReady));
}
