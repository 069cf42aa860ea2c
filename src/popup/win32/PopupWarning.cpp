#include "popup/win32/PopupWarning.h"

#include <cstdio>
#include <string>
#include <windows.h>

namespace tessaly {

void PopupWarning(std::string_view what)
{
    const std::string line = "tessaly.popup: " + std::string(what) + "\n";
    OutputDebugStringA(line.c_str());
    std::fputs(line.c_str(), stderr);
}

} // namespace tessaly
