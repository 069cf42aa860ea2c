#pragma once

// Helpers for the tests that run on a real X display with a window manager and a tray.

#include <functional>
#include <optional>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWindow>

namespace tessaly::test::x11 {

// True when the test runs on X11 (the x11 label's environment).
bool OnX11();

// Keeps the event loop running until `done` holds or `timeoutMs` passes; returns `done()`.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 5000);

// Runs a desktop tool (xdotool, xprop) while this process keeps handling its events; returns its
// standard output, or nothing when it failed.
std::optional<QString> Run(const QString& program, const QStringList& arguments,
                           int timeoutMs = 10000);

// The window's _NET_WM_STATE atoms, as xprop names them.
QStringList NetWmState(WId window);
// True when the X window is mapped and all its ancestors are (xwininfo's IsViewable).
bool IsViewable(WId window);
// The top-level windows the window manager lists (_NET_CLIENT_LIST).
QList<WId> ClientList();

// Where screenshots go: $TESSALY_ARTIFACTS_DIR, else <build>/test-artifacts.
QString ArtifactsDir();
// Saves the whole screen (or `area` of it) as <artifacts>/<name>.png; returns the file's path.
QString SaveScreenshot(const QString& name, const QRect& area = {});

// Presses and releases `button` at the global position, with the pointer moved there first.
bool ClickAt(const QPoint& global, int button, int repeat = 1);

} // namespace tessaly::test::x11
