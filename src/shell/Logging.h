#pragma once

#include <QLoggingCategory>

// Warnings of the shell subsystem; filter with QT_LOGGING_RULES="tessaly.shell.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcShell)
