#include "watcher/FormatStatus.h"

#include "watcher/Module1.h"
#include "watcher/TextReplace.h"

std::u16string ExpandStatusTokens(std::u16string_view sFormat, std::u16string_view sArtist,
                                  std::u16string_view sAlbum, std::u16string_view sTitle)
{
    using tessaly::text::ReplaceAll;
    std::u16string status = ReplaceAll(sFormat, u"%A", sArtist, kMaxStatusUnits);
    status = ReplaceAll(status, u"%L", sAlbum, kMaxStatusUnits);
    return ReplaceAll(status, u"%T", sTitle, kMaxStatusUnits);
}

std::u16string FormatStatus(std::u16string_view sFormat, std::u16string_view sArtist,
                            std::u16string_view sAlbum, std::u16string_view sTitle)
{
    return Module1::CleanStatusText(ExpandStatusTokens(sFormat, sArtist, sAlbum, sTitle));
}
