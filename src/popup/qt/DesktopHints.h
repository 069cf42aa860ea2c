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

class QImage;
class QWidget;

namespace tessaly {

// Call before the window is first shown; may create its native window.
void KeepOffTheTaskbar(QWidget* window);

// On X11, makes `content` (in device pixels, from the window's top-left corner) the background of
// the window's native window, so that the X server itself fills whatever part of the window a
// resize uncovers, and shows it at once. False where that cannot be done: the window then paints
// the content itself.
bool ShowAsNativeBackground(QWidget* window, const QImage& content);

// On X11 each step of the motion makes the X server report the window's new size, the part a
// rise uncovers and the changed size hints, and Qt wakes for each report (answering a size report
// with four round trips of its own): most of what a popup cost when its motion resized it 111
// times. While `quiet`, the window's native window selects none of those reports; the widget's
// geometry is set by the motion itself, so Qt needs none of them. Make it quiet only after the
// window's mapping has been reported, and loud again before it hides, so that Qt learns both.
// Does nothing elsewhere.
void QuietResizeReports(QWidget* window, bool quiet);
// Before the window's destruction.
void ForgetResizeReports(QWidget* window);

} // namespace tessaly
