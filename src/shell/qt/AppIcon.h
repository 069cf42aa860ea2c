#pragma once

#include <QIcon>

namespace tessaly {

// The application icon: a pixel-fitted drawing for the tray sizes (16 to 24 px) and the detailed
// one from 32 px up, rendered from the SVGs in the shell's resources.
QIcon AppIcon();

} // namespace tessaly
