#pragma once

// The settings store on Linux: QSettings over the INI file $XDG_CONFIG_HOME/Tessaly/Tessaly.ini,
// group [Settings], synced after every write.

#include "common/Settings.h"

#include <memory>

namespace tessaly {

std::unique_ptr<SettingsStore> OpenSettingsStore();

} // namespace tessaly
