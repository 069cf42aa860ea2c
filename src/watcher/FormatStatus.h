#pragma once

// The status text of one refresh: the user's format string with its tokens expanded, cleaned.

#include <QString>

// Expands "%A" (artist), then "%L" (album), then "%T" (title), each on the result of the one
// before, case-sensitively, and returns the cleaned result.
QString FormatStatus(const QString& sFormat, const QString& sArtist, const QString& sAlbum,
                     const QString& sTitle);
