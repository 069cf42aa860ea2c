#pragma once

#include <QFont>

namespace tessaly {

// The dialog font every window was designed in, "MS Sans Serif" 8.25 pt, or where it is not
// installed the nearest in width (fontconfig's generic choice is much wider and clips captions).
QFont DialogFont(bool bold = false);

} // namespace tessaly
