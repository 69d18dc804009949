#pragma once

#include <functional>

// How File, Exit ends the program: at once, whatever windows are open.
namespace ProgramEnd {

using Ender = std::function<void()>;

// Ends the program (by default: leaves the event loop, every window with it).
void now();

// Replaces how the program ends (tests keep their process); an empty ender
// brings back the real one. Returns the previous ender.
Ender setEnder(Ender ender);

} // namespace ProgramEnd
