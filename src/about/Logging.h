#pragma once

#include <QLoggingCategory>

// Messages of the about subsystem: warnings and up by default, debug with
// QT_LOGGING_RULES="tessaly.about.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcAbout)
