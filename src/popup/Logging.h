#pragma once

#include <QLoggingCategory>

// Warnings of the popup subsystem; filter with QT_LOGGING_RULES="tessaly.popup.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcPopup)
