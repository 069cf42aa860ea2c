#pragma once

#include <QLoggingCategory>

// Warnings of the about subsystem; filter with QT_LOGGING_RULES="tessaly.about.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcAbout)
