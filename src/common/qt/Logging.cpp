#include "common/qt/Logging.h"

Q_LOGGING_CATEGORY(lcShell, "tessaly.shell", QtInfoMsg)
Q_LOGGING_CATEGORY(lcWatcher, "tessaly.watcher", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPublisher, "tessaly.publisher", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPopup, "tessaly.popup", QtInfoMsg)
Q_LOGGING_CATEGORY(lcAbout, "tessaly.about", QtInfoMsg)
