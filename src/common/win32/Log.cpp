#include "common/win32/Guard.h"

#include <string>
#include <windows.h>

namespace tessaly {

void LogWarning(std::string_view area, std::string_view text)
{
    try {
        std::string line = "tessaly.";
        line.append(area).append(": ").append(text).append("\n");
        OutputDebugStringA(line.c_str());
    } catch (...) {
        // Nothing to report a failed report to.
    }
}

} // namespace tessaly
