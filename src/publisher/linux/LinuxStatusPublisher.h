#pragma once

// The status publisher on Linux: the registry hive in SQLite, the Messenger's window over
// D-Bus, texts in the locale's codeset.

#include "publisher/StatusPublisher.h"

#include <memory>
#include <QDBusConnection>

// The hive's path is fixed when the publisher is created (from XDG_DATA_HOME or HOME).
std::unique_ptr<tessaly::StatusPublisher> CreateLinuxStatusPublisher(QDBusConnection bus);
