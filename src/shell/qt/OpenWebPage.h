#pragma once

#include "shell/WebPages.h"

#include <cstdint>
#include <string_view>

namespace tessaly {

// Hands url to the desktop's browser. showCommand is accepted for the Windows shell and has no
// effect here. Nothing is shown when no browser opens the page; the result says so.
std::int32_t OpenWebPage(std::u16string_view url, std::int32_t showCommand);

} // namespace tessaly
