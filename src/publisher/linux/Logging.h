#pragma once

#include <QLoggingCategory>

// Messages of the publisher subsystem: warnings and up by default, debug with
// QT_LOGGING_RULES="tessaly.publisher.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPublisher)
