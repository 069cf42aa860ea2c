#pragma once

// The logging categories, one per subsystem: warnings and up by default, debug with
// QT_LOGGING_RULES="tessaly.<subsystem>.debug=true".

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcShell)
Q_DECLARE_LOGGING_CATEGORY(lcWatcher)
Q_DECLARE_LOGGING_CATEGORY(lcPublisher)
Q_DECLARE_LOGGING_CATEGORY(lcPopup)
Q_DECLARE_LOGGING_CATEGORY(lcAbout)
