#pragma once

#include <functional>

// The one way the program ends: every Quit, a first run given up, the
// clean-up window and a failed bug report come here, and tests can see it.
namespace program {

using EndHandler = std::function<void(int status)>;

// Ends the program with status: every running event loop stops, nested ones
// included; the entry deletes the windows without asking them to close.
void end(int status = 0);
// Whether end() was called; the entry does not start its event loop then.
[[nodiscard]] bool ended();
[[nodiscard]] int status();
// Tests see the end instead of it happening; an empty handler restores it.
// Returns the handler installed before.
EndHandler setEndHandler(EndHandler handler);

} // namespace program
