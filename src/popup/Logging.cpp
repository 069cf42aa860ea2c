#include "popup/Logging.h"

Q_LOGGING_CATEGORY(lcPopup, "tessaly.popup", QtInfoMsg)
