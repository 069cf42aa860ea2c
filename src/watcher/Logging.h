#pragma once

#include <QLoggingCategory>

// Warnings of the watcher subsystem; filter with QT_LOGGING_RULES="tessaly.watcher.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcWatcher)
