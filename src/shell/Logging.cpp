#include "shell/Logging.h"

Q_LOGGING_CATEGORY(lcShell, "tessaly.shell", QtInfoMsg)
