#include "media/AudioOutput.h"

#include <gst/gst.h>

#include <string>

namespace {

// The factory of the sink that an autoaudiosink settles on when readied.
std::string chosenFactory() {
    GstElement* probe = gst_element_factory_make("autoaudiosink", nullptr);
    if (!probe) return "fakesink";
    gst_object_ref_sink(probe);
    std::string name = "fakesink";
    if (gst_element_set_state(probe, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE) {
        GstIterator* children = gst_bin_iterate_elements(GST_BIN(probe));
        GValue child = G_VALUE_INIT;
        if (gst_iterator_next(children, &child) == GST_ITERATOR_OK) {
            GstElementFactory* factory =
                gst_element_get_factory(GST_ELEMENT(g_value_get_object(&child)));
            if (factory) name = gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory));
            g_value_unset(&child);
        }
        gst_iterator_free(children);
    }
    gst_element_set_state(probe, GST_STATE_NULL);
    gst_object_unref(probe);
    return name;
}

} // namespace

GstElement* AudioOutput::make() {
    static const std::string factory = chosenFactory();
    GstElement* sink = gst_element_factory_make(factory.c_str(), nullptr);
    if (!sink) sink = gst_element_factory_make("autoaudiosink", nullptr);
    // Without a device the silent sink still keeps time, so playback runs as long as the sound.
    else if (factory == "fakesink")
        g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}
