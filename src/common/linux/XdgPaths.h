#pragma once

// The user's folders by the XDG base-directory rule: a variable that is unset, empty or not an
// absolute path means its default under the home folder. Read from the environment at each call,
// so that a test (or a user) can move them.

#include <string>

namespace tessaly {

// $XDG_CONFIG_HOME, else ~/.config.
std::string XdgConfigHome();
// $XDG_DATA_HOME, else ~/.local/share.
std::string XdgDataHome();

// The program folder (radio playlist, "error.txt"): programs live in read-only system folders
// here, so it is $XDG_DATA_HOME/Tessaly.
std::string ProgramFolder();

// Creates the folder and its parents when missing; false when it cannot exist.
bool EnsureFolder(const std::string& folder);

} // namespace tessaly
