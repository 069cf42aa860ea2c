#include "watcher/FormatStatus.h"

#include "watcher/Module1.h"
#include "watcher/TextReplace.h"

QString FormatStatus(const QString& sFormat, const QString& sArtist, const QString& sAlbum,
                     const QString& sTitle)
{
    using tessaly::text::ReplaceAll;
    QString status = ReplaceAll(sFormat, u"%A", sArtist);
    status = ReplaceAll(status, u"%L", sAlbum);
    status = ReplaceAll(status, u"%T", sTitle);
    return Module1::CleanStatusText(status);
}
