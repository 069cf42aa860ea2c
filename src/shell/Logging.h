#pragma once

#include <QLoggingCategory>

// Messages of the shell subsystem: warnings and up by default, debug with
// QT_LOGGING_RULES="tessaly.shell.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
