#include "media/GstPlayer.h"

#include "media/AudioOutput.h"
#include "media/GstMailbox.h"
#include "media/GstWorker.h"
#include "system/FileNames.h"

#include <QTimer>

#include <gst/gst.h>

namespace {

bool initialised() {
    static const bool ok = gst_init_check(nullptr, nullptr, nullptr);
    return ok;
}

GstElement* make(const char* factory) {
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (element) gst_object_ref_sink(element);
    return element;
}

// Ends a job on `pipeline`, releasing the job's reference. A teardown may
// have run meanwhile, before this job's state change: then undo that change.
void settleClosed(GstElement* pipeline, GstMailbox& mailbox) {
    if (mailbox.detached()) gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

} // namespace

std::unique_ptr<GstPlayer> GstPlayer::open(const QString& path, int waitMs) {
    if (!initialised()) return {};
    GstElement* pipeline = make("playbin");
    GstElement* video = make("appsink");
    gchar* uri = gst_filename_to_uri(FileNames::encode(path).constData(), nullptr);
    const bool complete = pipeline && video && uri;
    if (complete) {
        GstCaps* caps = gst_caps_from_string("video/x-raw,format=BGRx,pixel-aspect-ratio=1/1");
        g_object_set(video, "caps", caps, "max-buffers", 2u, "drop", TRUE, "enable-last-sample",
                     FALSE, nullptr);
        gst_caps_unref(caps);
        g_object_set(pipeline, "uri", uri, "video-sink", video, nullptr);
    }
    g_free(uri);
    std::unique_ptr<GstPlayer> player;
    if (complete) {
        player.reset(new GstPlayer(pipeline));
        GstMailbox::connect(player->mailbox_, pipeline, video);
    } else if (pipeline) {
        gst_object_unref(pipeline);
    }
    if (player) {
        // Ready when prerolled; a pipeline still busy after the wait counts as
        // open, and reports a later failure through the bus.
        GstWorker::run(
            [pipeline = GST_ELEMENT(gst_object_ref(pipeline)), mailbox = player->mailbox_] {
                if (!mailbox->detached()) { // closed again before its turn came
                    g_object_set(pipeline, "audio-sink", AudioOutput::make(), nullptr);
                    const GstStateChangeReturn change =
                        gst_element_set_state(pipeline, GST_STATE_PAUSED);
                    if (change == GST_STATE_CHANGE_FAILURE)
                        mailbox->report(GstMailbox::Progress::Failed);
                    else if (change == GST_STATE_CHANGE_ASYNC)
                        mailbox->prerolling();
                    else
                        mailbox->report(GstMailbox::Progress::Ready);
                }
                settleClosed(pipeline, *mailbox);
            });
        if (player->mailbox_->settle(std::chrono::milliseconds(waitMs)) ==
            GstMailbox::Progress::Failed)
            player.reset();
    }
    if (video) gst_object_unref(video);
    return player;
}

GstPlayer::GstPlayer(GstElement* pipeline)
    : pipeline_(pipeline), mailbox_(std::make_shared<GstMailbox>(this)) {}

GstPlayer::~GstPlayer() {
    mailbox_->detach();
    GstWorker::retire([pipeline = pipeline_] {
        gst_element_set_state(pipeline, GST_STATE_NULL);
        gst_object_unref(pipeline);
    }).wait_for(std::chrono::milliseconds(CloseWaitMs));
}

void GstPlayer::play() {
    GstWorker::run([pipeline = GST_ELEMENT(gst_object_ref(pipeline_)), mailbox = mailbox_,
                    rewind = positionMs() > 0] {
        if (rewind && !mailbox->detached())
            gst_element_seek_simple(pipeline, GST_FORMAT_TIME,
                                    GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT), 0);
        if (!mailbox->detached()) gst_element_set_state(pipeline, GST_STATE_PLAYING);
        settleClosed(pipeline, *mailbox);
    });
}

bool GstPlayer::isPlaying() const {
    GstState state = GST_STATE_NULL;
    gst_element_get_state(pipeline_, &state, nullptr, 0);
    return state == GST_STATE_PLAYING;
}

bool GstPlayer::hasFailed() const {
    return mailbox_->progress() == GstMailbox::Progress::Failed;
}

qint64 GstPlayer::positionMs() const {
    gint64 position = 0;
    if (!gst_element_query_position(pipeline_, GST_FORMAT_TIME, &position)) return 0;
    return position / gint64(GST_MSECOND);
}

void GstPlayer::customEvent(QEvent* event) {
    if (event->type() == GstMailbox::FrameReady) {
        const QImage picture = mailbox_->takeFrame();
        if (picture.isNull()) return;
        emit frame(picture);
    } else if (event->type() == GstMailbox::BusMessage) {
        auto* bus = static_cast<GstMailbox::BusEvent*>(event);
        if (GST_MESSAGE_TYPE(bus->message()) == GST_MESSAGE_ERROR) emit failed();
    } else if (event->type() == GstMailbox::StateFailed) {
        emit failed();
    } else if (event->type() == GstMailbox::Prerolling) {
        // A cut file can leave the demuxer waiting for data that never
        // comes, with no error on the bus: such a pipeline counts as failed.
        QTimer::singleShot(PrerollDeadlineMs, this, [mailbox = mailbox_] {
            mailbox->report(GstMailbox::Progress::Failed); // no-op once ready
        });
    }
}
