#pragma once

#include <functional>
#include <future>

// The threads that change pipelines' states. A state change can wait on a
// device (an audio server that does not answer, a sink that probes every
// output) or on a streaming thread (a sound font loading), so the
// user-interface thread hands them over, and waits at most as long as it chooses.
namespace GstWorker {

// Runs `job` after the jobs handed over before it.
std::future<void> run(std::function<void()> job);
// Runs `job`, a pipeline's teardown, on a thread of its own kind, so that a
// slow teardown holds up no new pipeline.
std::future<void> retire(std::function<void()> job);

} // namespace GstWorker
