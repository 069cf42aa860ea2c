#pragma once

// The refresh's popup step as the popup subsystem carries it out, the same for every front-end:
// a new popup per refresh, or the rows of the popup whose Back or Forward button was used.

#include "popup/cAlert.h"

#include <string>
#include <string_view>

namespace tessaly {

inline constexpr std::u16string_view kTrackAlertTitle = u"iTunes Playing...";
inline constexpr std::u16string_view kRadioAlertTitle = u"iTunes Radio...";

// Every "&" doubled, so that a caption shows the text literally.
std::u16string DoubleAmpersands(std::u16string_view text);

// One new popup: the track form, its texts shown literally, when sMsg is empty; the radio form
// with sMsg as it is otherwise.
void OpenRefreshAlert(AlertViews& views, std::u16string_view sArtist, std::u16string_view sAlbum,
                      std::u16string_view sTitle, std::u16string_view sMsg);

// The recorded popup after the refresh that followed its Back or Forward: the rows take the texts
// as they are (markers and all) and the hold starts over.
void UpdateAlertRows(AlertView& popup, std::u16string_view sAlbum, std::u16string_view sArtist,
                     std::u16string_view sTitle);

} // namespace tessaly
