#pragma once

typedef struct _GstElement GstElement;

// The sound output for a new pipeline: the sink that autoaudiosink chooses on
// this machine (a silent one where there is no sound device). The choice is
// made once: autoaudiosink tries every kind of output on each use, which on a
// machine without sound costs a fraction of a second per file.
namespace AudioOutput {

// A new sink with a floating reference, as GStreamer hands elements out.
// Blocks while the first call tries the outputs: call it off the
// user-interface thread.
GstElement* make();

} // namespace AudioOutput
