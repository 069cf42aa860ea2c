#pragma once

// The radio playlist: every stream title heard, one line each, appended to a text file in the
// program folder. A write that fails is noted in "error.txt" beside it and costs nothing else.

#include <QString>

namespace tessaly {

// A refresh logs its title when it is a radio refresh (sMsg not empty) with a non-empty title and
// the playlist switch (a check box value: 0, 1 or grey 2) is not 0.
bool ShouldLogRadioTitle(int playlistSwitch, const QString& sMsg, const QString& sTitle);

class RadioPlaylist {
public:
    // folder: the program folder, created on the first write.
    explicit RadioPlaylist(QString folder);

    // Appends sTitle as one whole line to fileName (relative to the folder, or absolute). On any
    // failure one line goes to "error.txt" and false comes back; never throws.
    bool Append(const QString& fileName, const QString& sTitle) noexcept;

    // Where fileName is written: an absolute name as it is, else inside the folder.
    QString PathOf(const QString& fileName) const;

    // The line "error.txt" gets for a failed write of fileName.
    QString ErrorLine(const QString& fileName, const QString& description) const;

    const QString& folder() const { return folder_; }

private:
    QString folder_;
};

} // namespace tessaly
