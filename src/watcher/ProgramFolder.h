#pragma once

// The program folder: where the radio playlist and "error.txt" live. Programs are installed into
// read-only system folders here, so it is the user's data folder $XDG_DATA_HOME/Tessaly
// (~/.local/share/Tessaly when unset).

#include <QString>

namespace tessaly {

// The folder's path, without a trailing separator; does not create it.
QString ProgramFolder();

// Creates the folder (and its parents) when missing; false when it cannot exist.
bool EnsureFolder(const QString& folder);

} // namespace tessaly
