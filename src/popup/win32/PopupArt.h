#pragma once

// The popup's pictures as bitmaps from the module's resources, loaded once per process and shared
// by every popup, and the hand pointer made from its picture.

#include <windows.h>

namespace tessaly {

enum class PopupPicture {
    Background,
    BackNormal,
    BackHover,
    PauseNormal,
    PauseHover,
    ForwardNormal,
    ForwardHover,
    CloseNormal,
    CloseHover,
    Pointer,
};

// The picture from instance's resources; null (with a warning) when it is missing. Owned here.
HBITMAP PopupBitmap(HINSTANCE instance, PopupPicture picture);

// The hand pointer picture as a cursor, its hot spot at the tip of the index finger; null when the
// picture is missing. Owned here.
HCURSOR PopupHandCursor(HINSTANCE instance);

// Draws picture at (x, y) in its own size, its transparent parts letting through what is below.
void DrawPopupBitmap(HDC target, HBITMAP picture, int x, int y);

} // namespace tessaly
