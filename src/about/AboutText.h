#pragma once

// The About box's texts, the same in every front-end.

namespace tessaly::about {

inline constexpr char kDescription[] =
    "Tessaly listens to the music you play. Each new song becomes your messenger status, a small "
    "popup shows what is on with Back, Pause and Forward at hand, and the titles of internet "
    "radio can be kept in a playlist.";

inline constexpr char kAcknowledgement[] =
    "Thank you to everyone who sent ideas, bug reports and their favourite radio stations, and "
    "to the people behind Qt and the media players Tessaly listens to. Tessaly is free; if it "
    "brightens your day, the Donate entry in the tray menu helps keep it that way.";

} // namespace tessaly::about
