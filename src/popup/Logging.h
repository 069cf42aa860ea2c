#pragma once

#include <QLoggingCategory>

// Messages of the popup subsystem: warnings and up by default, debug with
// QT_LOGGING_RULES="tessaly.popup.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPopup)
