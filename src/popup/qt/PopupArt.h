#pragma once

// The popup's pictures: SVG artwork in the resources, rendered at the sizes of the window design.

#include <QCursor>
#include <QPixmap>
#include <QSize>

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

// The picture's design size in logical pixels.
QSize PopupPictureSize(PopupPicture picture);

// The picture rendered at its design size for a screen of that pixel ratio; a transparent pixmap
// of that size when the artwork cannot be read. Rendered once per process and ratio, then shared.
QPixmap PopupPixmap(PopupPicture picture, qreal devicePixelRatio = 1.0);

// A cursor of the hand pointer picture, its hot spot at the tip of the index finger.
QCursor PopupHandCursor(const QPixmap& pointer);

} // namespace tessaly
