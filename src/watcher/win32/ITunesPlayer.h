#pragma once

// The player over iTunes' COM automation interface: the application object created as a local
// server, every operation called late-bound by name, the events received through the
// application's _IiTunesEvents connection point.
//
// Everything runs on the thread that creates the player, which must run a message loop (Qt's
// GUI thread does): COM delivers the events through it.

#include "watcher/Player.h"

#include <functional>
#include <memory>
#include <string_view>

namespace tessaly {

struct ComPlayerCreation {
    std::unique_ptr<Player> player; // null when the object could not be created
    long hresult = 0;               // the creation's result
    // The class is not registered (REGDB_E_CLASSNOTREG or CO_E_CLASSSTRING): the player is not
    // installed, the case the start-up reports.
    bool cannotCreate = false;
};

// Told about failures the player swallows (a handler that threw, a failed connection).
using ComPlayerErrorSink = std::function<void(std::string_view what)>;

// Creates the object registered under progId and connects to its events.
ComPlayerCreation CreateComPlayer(const wchar_t* progId, ComPlayerErrorSink errors = {});

// iTunes.Application; null on any failure to create it.
std::unique_ptr<Player> CreateITunesPlayer(ComPlayerErrorSink errors = {});

} // namespace tessaly
