#include "watcher/RadioPlaylist.h"

#include "publisher/AnsiCodePage.h"

namespace tessaly {

namespace {

constexpr char16_t kErrorLog[] = u"error.txt";

#ifdef _WIN32
constexpr char16_t kSeparator = u'\\';
bool IsAbsolute(std::u16string_view path)
{
    // "C:\..." or "\\server\share\...".
    return (path.size() >= 3 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/')) ||
           (path.size() >= 2 && (path[0] == u'\\' || path[0] == u'/') &&
            (path[1] == u'\\' || path[1] == u'/'));
}
#else
constexpr char16_t kSeparator = u'/';
bool IsAbsolute(std::u16string_view path)
{
    return !path.empty() && path.front() == u'/';
}
#endif

} // namespace

bool ShouldLogRadioTitle(int playlistSwitch, std::u16string_view sMsg, std::u16string_view sTitle)
{
    return playlistSwitch != 0 && !sMsg.empty() && !sTitle.empty();
}

std::string PlaylistLine(std::u16string_view text, const AnsiCodePage& ansi)
{
    std::u16string line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        line.push_back(c == u'\r' || c == u'\n' ? u' ' : c);
    }
    std::string bytes = ansi.FromUnicode(line);
    bytes.append(kLineEnd);
    return bytes;
}

RadioPlaylist::RadioPlaylist(std::u16string folder, FileAppend& files, const AnsiCodePage& ansi)
    : folder_(std::move(folder)), files_(files), ansi_(ansi)
{}

std::u16string RadioPlaylist::PathOf(std::u16string_view fileName) const
{
    if (IsAbsolute(fileName))
        return std::u16string(fileName);
    return folder_ + kSeparator + std::u16string(fileName);
}

std::u16string RadioPlaylist::ErrorLine(std::u16string_view fileName,
                                        std::u16string_view description) const
{
    return u"An Error Ocured while opening the playlist file '" + PathOf(fileName) + u"'; " +
           std::u16string(description);
}

bool RadioPlaylist::Append(std::u16string_view fileName, std::u16string_view sTitle) noexcept
{
    try {
        std::u16string error;
        // An absolute name does not need the program folder; only "error.txt" does.
        if (!IsAbsolute(fileName) && !files_.EnsureFolder(folder_))
            error = u"cannot create the folder '" + folder_ + u"'";
        else if (error = files_.Append(PathOf(fileName), PlaylistLine(sTitle, ansi_));
                 error.empty())
            return true;

        const std::u16string line = ErrorLine(fileName, error);
        files_.Warn(line);
        if (const std::u16string logError =
                files_.Append(PathOf(kErrorLog), PlaylistLine(line, ansi_));
            !logError.empty())
            files_.Warn(u"cannot write error.txt: " + logError);
    } catch (...) {
        // Out of memory at worst; the title is lost, the refresh goes on.
    }
    return false;
}

} // namespace tessaly
