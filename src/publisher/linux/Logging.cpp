#include "publisher/linux/Logging.h"

Q_LOGGING_CATEGORY(lcPublisher, "tessaly.publisher", QtInfoMsg)
