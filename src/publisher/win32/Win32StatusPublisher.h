#pragma once

// The status publisher on Windows: the real registry, Messenger's real window, texts in the
// system's ANSI code page.

#include "publisher/StatusPublisher.h"
#include "publisher/Yahoo.h"

#include <memory>

namespace tessaly {

std::unique_ptr<StatusPublisher> CreateWin32StatusPublisher(Yahoo::ErrorSink errors = {});

} // namespace tessaly
