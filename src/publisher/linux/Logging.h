#pragma once

#include <QLoggingCategory>

// Warnings of the publisher subsystem; filter with QT_LOGGING_RULES="tessaly.publisher.*=false".
Q_DECLARE_LOGGING_CATEGORY(lcPublisher)
