#pragma once

#include <chrono>

typedef struct _GstElement GstElement;

// Takes pipelines down on a thread of its own: stopping a pipeline waits for
// its streaming threads, and a sink stuck on its device must not freeze the
// user-interface thread.
namespace PipelineReaper {

// Stops and releases `pipeline` (taking over its reference); waits at most
// `wait` for that to finish, and returns whether it did.
bool retire(GstElement* pipeline, std::chrono::milliseconds wait);

} // namespace PipelineReaper
