#include "common/win32/DialogFont.h"

namespace tessaly {

HFONT DialogFont(bool bold)
{
    // 8.25 pt is 11 pixels at 96 DPI.
    return CreateFontW(-11, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"MS Sans Serif");
}

} // namespace tessaly
