#include "watcher/Logging.h"

Q_LOGGING_CATEGORY(lcWatcher, "tessaly.watcher", QtInfoMsg)
