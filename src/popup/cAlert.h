#pragma once

// One notification: the refresh fills the members, calls MSN6 once and drops the object. MSN6
// opens a new popup through the front-end's views and says what it shows; the popup then runs on
// its own and cAlert keeps no reference to it.

#include <string>
#include <string_view>

namespace tessaly {

// The labels whose captions the plan writes, by their names in the window design.
enum class AlertText {
    lblTitle,
    lbl_Artist,
    lbl_Album,
    lbl_Title,
    lblAlert, // the message area, which is also the link area
    lblLink,  // "True" makes a click on lblAlert open lblURL
    lblURL,
};

// The controls the plan may hide: the row captions and the player buttons.
enum class AlertPart {
    lblArtist,
    lblAlbum,
    lblSongTitle,
    imgBack,
    imgPause,
    imgForward,
};

// lblLink's caption when the message area is a link (compared exactly).
inline constexpr std::u16string_view kLinkOn = u"True";

// One popup window as the plan drives it; each front-end's frmAlert6 implements it.
class AlertView {
public:
    virtual ~AlertView() = default;
    // The caption as written: "&" marks an access key, "&&" shows one "&".
    virtual void SetCaption(AlertText label, std::u16string_view caption) = 0;
    virtual void Hide(AlertPart control) = 0;
    // The message area takes the popup's hand pointer picture as its cursor.
    virtual void UseHandCursorOnMessage() = 0;
    // Timer2 off and on again: the five seconds of the hold start over.
    virtual void RestartHold() = 0;
    // Shown without activation: the application in use keeps the focus.
    virtual void Show() = 0;
};

// Where MSN6 gets its windows.
class AlertViews {
public:
    virtual ~AlertViews() = default;
    // A new popup, loaded (placed, translucent, Timer1 running) and not yet shown. The window
    // owns itself; the reference holds until its Show returns.
    virtual AlertView& NewAlertView() = 0;
};

} // namespace tessaly

class cAlert {
public:
    explicit cAlert(tessaly::AlertViews& views);

    std::u16string Title;
    std::u16string Artist;
    std::u16string Album;
    std::u16string SongTitle;
    // Not empty: a message notification, the track members are not shown.
    std::u16string Message;
    // True makes the message area a link to sUrl.
    bool Link = false;
    std::u16string sUrl;

    // Opens one new popup for the current values; each call opens another.
    void MSN6();

private:
    tessaly::AlertViews& views_;
};
