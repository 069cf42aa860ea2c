#pragma once

// Where Debian's mpv-mpris package puts the plugin that gives mpv its MPRIS interface.

#include <QFile>
#include <QString>

namespace tessaly::test {

// The plugin's path, or empty when mpv-mpris is not installed.
inline QString MpvMprisPlugin()
{
    for (const char* path :
         {"/usr/lib/mpv-mpris/mpris.so", "/usr/lib/x86_64-linux-gnu/mpv-mpris/mpris.so",
          "/etc/mpv/scripts/mpris.so"})
        if (QFile::exists(QString::fromLatin1(path)))
            return QString::fromLatin1(path);
    return {};
}

} // namespace tessaly::test
