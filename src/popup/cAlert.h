#pragma once

// One notification: the refresh fills the members, calls MSN6 once and drops the object. The
// popup it opens runs on its own; cAlert keeps no reference to it.

#include <QString>

namespace tessaly {
class AlertOwner;
class SettingsStore;
} // namespace tessaly

class cAlert {
public:
    // The popup reads "Opacity" from settings and drives owner's player from its buttons.
    cAlert(tessaly::SettingsStore& settings, tessaly::AlertOwner& owner);

    QString Title;
    QString Artist;
    QString Album;
    QString SongTitle;
    // Not empty: a message notification, the track members are not shown.
    QString Message;
    // True makes the message area a link to sUrl.
    bool Link = false;
    QString sUrl;

    // Opens one new popup for the current values; each call opens another.
    void MSN6();

private:
    tessaly::SettingsStore& settings_;
    tessaly::AlertOwner& owner_;
};
