#pragma once

// How the Win32 popup reports a failure it survives: one line on the debugger output (which Wine
// shows with WINEDEBUG=+debugstr) and on stderr when the program has one.

#include <string_view>

namespace tessaly {

void PopupWarning(std::string_view what);

} // namespace tessaly
