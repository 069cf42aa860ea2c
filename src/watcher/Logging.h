#pragma once

#include <QLoggingCategory>

// Messages of the watcher subsystem: warnings and up by default, debug with
// QT_LOGGING_RULES="tessaly.watcher.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcWatcher)
