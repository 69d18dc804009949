#pragma once

#include <functional>
#include <initializer_list>

// Runs the statements in order; a statement that fails is skipped and the
// next one runs. Returns how many of them failed.
int runSkippingFailures(std::initializer_list<std::function<void()>> statements);
