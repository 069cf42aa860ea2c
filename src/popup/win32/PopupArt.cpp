#include "popup/win32/PopupArt.h"

#include "common/win32/Guard.h"
#include "popup/win32/PopupResources.h"

#include <array>
#include <string>

namespace tessaly {

namespace {

constexpr int kPictureCount = static_cast<int>(PopupPicture::Pointer) + 1;

int ResourceOf(PopupPicture picture)
{
    return IDB_POPUP_BACKGROUND + static_cast<int>(picture);
}

struct LoadedArt {
    HINSTANCE instance = nullptr;
    std::array<HBITMAP, kPictureCount> bitmaps{};
    std::array<bool, kPictureCount> tried{};
    HCURSOR hand = nullptr;
    bool handTried = false;
};

// One process, one module of resources: the popups all come from the same exe.
LoadedArt& Art(HINSTANCE instance)
{
    static LoadedArt art;
    art.instance = instance;
    return art;
}

} // namespace

HBITMAP PopupBitmap(HINSTANCE instance, PopupPicture picture)
{
    LoadedArt& art = Art(instance);
    const auto index = static_cast<std::size_t>(picture);
    if (!art.tried[index]) {
        art.tried[index] = true;
        // A DIB section keeps the 32-bit pixels and their alpha as they are in the resource.
        art.bitmaps[index] =
            static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(ResourceOf(picture)),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        if (!art.bitmaps[index])
            LogWarning("popup", "cannot load the popup picture " +
                                    std::to_string(ResourceOf(picture)) + " (error " +
                                    std::to_string(GetLastError()) + ")");
    }
    return art.bitmaps[index];
}

HCURSOR PopupHandCursor(HINSTANCE instance)
{
    LoadedArt& art = Art(instance);
    if (art.handTried)
        return art.hand;
    art.handTried = true;
    HBITMAP colour = PopupBitmap(instance, PopupPicture::Pointer);
    if (!colour)
        return nullptr;
    BITMAP size{};
    GetObjectA(colour, sizeof size, &size);
    // With a 32-bit colour picture the alpha decides what shows; the mask only has to exist.
    HBITMAP mask = CreateBitmap(size.bmWidth, size.bmHeight, 1, 1, nullptr);
    ICONINFO info{};
    info.fIcon = FALSE;
    info.xHotspot = 11;
    info.yHotspot = 1;
    info.hbmMask = mask;
    info.hbmColor = colour;
    art.hand = CreateIconIndirect(&info);
    DeleteObject(mask);
    if (!art.hand)
        LogWarning("popup",
                   "cannot make the hand pointer (error " + std::to_string(GetLastError()) + ")");
    return art.hand;
}

void DrawPopupBitmap(HDC target, HBITMAP picture, int x, int y)
{
    if (!picture)
        return;
    BITMAP size{};
    if (!GetObjectA(picture, sizeof size, &size))
        return;
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ old = SelectObject(source, picture);
    if (size.bmBitsPixel == 32) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        AlphaBlend(target, x, y, size.bmWidth, size.bmHeight, source, 0, 0, size.bmWidth,
                   size.bmHeight, blend);
    } else {
        BitBlt(target, x, y, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

} // namespace tessaly
