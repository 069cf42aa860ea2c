#pragma once

// What the now-playing refresh needs from the popups. The popup subsystem implements it; the
// refresh names a popup only by its id, so no window crosses into the rules.

#include <cstdint>
#include <string>
#include <string_view>

namespace tessaly {

// A popup's name for the refresh. A popup that has closed keeps its id, which then names
// nothing: an update sent to it is harmless and shows nothing.
using PopupId = std::uint64_t;
inline constexpr PopupId kNoPopup = 0;

class AlertPort {
public:
    virtual ~AlertPort() = default;
    // A new popup for one refresh: the track form when sMsg is empty, the radio form otherwise.
    virtual void ShowRefreshAlert(std::u16string_view sArtist, std::u16string_view sAlbum,
                                  std::u16string_view sTitle, std::u16string_view sMsg) = 0;
    // Writes the texts into the popup whose Back or Forward button was used and restarts its
    // hold.
    virtual void UpdateRecordedAlert(PopupId oAlert, std::u16string_view sAlbum,
                                     std::u16string_view sArtist, std::u16string_view sTitle) = 0;
};

} // namespace tessaly
