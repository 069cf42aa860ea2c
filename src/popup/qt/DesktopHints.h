#pragma once

// What a popup needs from the desktop beyond Qt's tool-window flags: no taskbar entry, no focus,
// and on top of the ordinary windows when it appears without being topmost.
//
// On X11 a tool window gets only a utility type, which some taskbars still list, and window
// managers stack a window that is mapped without focus below the window in use (openbox does),
// where the popup would never be seen. So there the popup bypasses the window manager, as
// notification windows do: it maps on top of the stack, any window raised later covers it, it is
// never focused and no taskbar knows it. It also carries _NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER for tools that read states. On Windows the tool window flags do all
// this.

#include <functional>

class QImage;
class QSize;
class QWidget;

namespace tessaly {

// Call before the window is first shown; may create its native window.
void KeepOffTheTaskbar(QWidget* window);

// On X11, makes `content` (in device pixels, from the window's top-left corner) the background of
// the window's native window, so that the X server itself fills whatever part of the window a
// resize uncovers, and shows it at once. False where that cannot be done: the window then paints
// the content itself.
bool ShowAsNativeBackground(QWidget* window, const QImage& content);

// On X11 Qt answers every report of a window's new size with four round trips to the server (to
// learn its place and its frame again), most of what a popup costs when its motion resizes it 111
// times. Reports of the window's size for which `passOn` answers false are not given to Qt; the
// widget's own geometry is set when the motion resizes it, so only the last report of a motion
// needs to reach Qt. Ends with the window's destruction (ForgetResizeReports). Does nothing
// elsewhere.
void SkipResizeReports(QWidget* window, std::function<bool(const QSize&)> passOn);
void ForgetResizeReports(QWidget* window);

} // namespace tessaly
