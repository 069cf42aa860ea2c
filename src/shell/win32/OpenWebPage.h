#pragma once

// A web page in the user's default browser.

#include <cstdint>
#include <string_view>

namespace tessaly {

// ShellExecuteA(no owner, "open", url, ...): the shell's result, above 32 on success.
std::int32_t OpenWebPage(std::u16string_view url, std::int32_t showCommand);

} // namespace tessaly
