#include "shell/win32/OpenWebPage.h"

#include "publisher/win32/Win32CodePage.h"

#include <cstdint>
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

namespace tessaly {

std::int32_t OpenWebPage(std::u16string_view url, std::int32_t showCommand)
{
    const std::string page = Win32CodePage().FromUnicode(url);
    const HINSTANCE result =
        ShellExecuteA(nullptr, "open", page.c_str(), nullptr, nullptr, showCommand);
    return static_cast<std::int32_t>(reinterpret_cast<std::intptr_t>(result));
}

} // namespace tessaly
