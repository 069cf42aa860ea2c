#pragma once

// The radio playlist: every stream title heard, one line each, appended to a text file in the
// program folder. A write that fails is noted in "error.txt" beside it and costs nothing else.

#include <string>
#include <string_view>

namespace tessaly {

class AnsiCodePage;

// The one file operation the playlist needs, provided by the platform.
class FileAppend {
public:
    virtual ~FileAppend() = default;
    // Creates the folder and its parents when missing; false when it cannot exist.
    virtual bool EnsureFolder(std::u16string_view folder) = 0;
    // Appends bytes to the regular file at path (created when missing) as a whole or not at all,
    // without ever waiting for another program. Empty on success, else what went wrong.
    virtual std::u16string Append(std::u16string_view path, std::string_view bytes) = 0;
    // Tells the user's log about a failure that even "error.txt" could not take.
    virtual void Warn(std::u16string_view message) = 0;
};

// A refresh logs its title when it is a radio refresh (sMsg not empty) with a non-empty title and
// the playlist switch (a check box value: 0, 1 or grey 2) is not 0.
bool ShouldLogRadioTitle(int playlistSwitch, std::u16string_view sMsg, std::u16string_view sTitle);

// The platform's line end: CR LF on Windows, LF elsewhere.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// One line of the file in the ANSI code page. A line break inside the text would split one entry
// into several, so each becomes a blank.
std::string PlaylistLine(std::u16string_view text, const AnsiCodePage& ansi);

class RadioPlaylist {
public:
    // folder: the program folder, created on the first write.
    RadioPlaylist(std::u16string folder, FileAppend& files, const AnsiCodePage& ansi);

    // Appends sTitle as one whole line to fileName (relative to the folder, or absolute). On any
    // failure one line goes to "error.txt" and false comes back; never throws.
    bool Append(std::u16string_view fileName, std::u16string_view sTitle) noexcept;

    // Where fileName is written: an absolute name as it is, else inside the folder.
    std::u16string PathOf(std::u16string_view fileName) const;

    // The line "error.txt" gets for a failed write of fileName.
    std::u16string ErrorLine(std::u16string_view fileName, std::u16string_view description) const;

    const std::u16string& folder() const { return folder_; }

private:
    std::u16string folder_;
    FileAppend& files_;
    const AnsiCodePage& ansi_;
};

} // namespace tessaly
