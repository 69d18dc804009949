#include "support/MediaFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gst/gst.h>

namespace MediaFixtures {

QByteArray encodedAvi(const char* encoder, int frames, bool withSound) {
    QTemporaryDir dir;
    if (!dir.isValid() || !gst_init_check(nullptr, nullptr, nullptr)) return {};
    const QString path = dir.filePath("clip.avi");
    QString description =
        QStringLiteral(
            "videotestsrc num-buffers=%1 ! video/x-raw,width=64,height=48,framerate=10/1 "
            "! videoconvert ! %2 ! avimux name=mux ! filesink location=\"%3\"")
            .arg(frames)
            .arg(QLatin1String(encoder), path);
    if (withSound)
        description += QStringLiteral(" audiotestsrc num-buffers=%1 samplesperbuffer=800 "
                                      "! audio/x-raw,format=S16LE,rate=8000,channels=1 ! mux.")
                           .arg(frames);
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), nullptr);
    if (!pipeline) return {};
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(
        bus, 30 * GST_SECOND, GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool done = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end) gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    QFile file(path);
    return done && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withVideoCodec(QByteArray avi, const QByteArray& fourcc) {
    // The codec is named twice in the headers, before the frames start.
    const qsizetype frames = avi.indexOf("movi");
    for (qsizetype at = avi.indexOf("MJPG"); at >= 0 && at < frames; at = avi.indexOf("MJPG", at))
        avi.replace(at, 4, fourcc);
    return avi;
}

} // namespace MediaFixtures
