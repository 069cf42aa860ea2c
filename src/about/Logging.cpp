#include "about/Logging.h"

Q_LOGGING_CATEGORY(lcAbout, "tessaly.about", QtInfoMsg)
