// The radio playlist's rules: which refresh logs its title, one whole line per title in the code
// page, where the file is, and what a failed write leaves behind.

#include "watcher/RadioPlaylist.h"

#include "PlaylistFakes.h"
#include "support/core/CoreTestText.h"

#include <gtest/gtest.h>
#include <new>

namespace tessaly {
namespace {

using test::U16;
using test::U8;

const std::string kEnd(kLineEnd);

#ifdef _WIN32
const std::u16string kFolder = u"C:\\Tessaly";
const std::u16string kAbsolute = u"D:\\Radio\\heard.txt";
constexpr char16_t kSep = u'\\';
#else
const std::u16string kFolder = u"/data/Tessaly";
const std::u16string kAbsolute = u"/music/heard.txt";
constexpr char16_t kSep = u'/';
#endif

std::u16string InFolder(std::u16string_view name)
{
    return kFolder + kSep + std::u16string(name);
}

std::u16string ErrorTxt()
{
    return InFolder(u"error.txt");
}

TEST(RadioLogRule, OnlyRadioRefreshesWithATitleWhileTheSwitchIsNotClear)
{
    const struct {
        int sw;
        const char16_t* msg;
        const char16_t* title;
        bool logs;
    } cases[] = {
        {1, u"S\r\n\r\nT", u"T", true},  {2, u"S\r\n\r\nT", u"T", true},
        {0, u"S\r\n\r\nT", u"T", false}, {1, u"", u"T", false},
        {1, u"S\r\n\r\n", u"", false},   {-1, u"S\r\n\r\nT", u"T", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShouldLogRadioTitle(c.sw, c.msg, c.title), c.logs)
            << c.sw << ' ' << U8(c.msg) << ' ' << U8(c.title);
}

TEST(PlaylistLine, LineBreaksBecomeBlanksAndTheTextGoesThroughTheCodePage)
{
    const test::Latin1CodePage latin1;
    const struct {
        const char* text;
        std::string line; // without the line end
    } cases[] = {
        {"Artist - Song", "Artist - Song"},
        {"", ""},
        {"one\r\ntwo\nthree\rfour", "one two three four"},
        {"\r\n\r\n", "  "},
        {"a\n\rb", "a  b"},
        {"trailing\r", "trailing "},
        {"tab\tstays", "tab\tstays"},
        {"D\xC3\xA9j\xC3\xA0 vu \xE2\x99\xAB \xF0\x9F\x8E\xB5", "D\xE9j\xE0 vu ? ?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaylistLine(U16(c.text), latin1), c.line + kEnd) << c.text;
}

class Playlist : public ::testing::Test {
protected:
    test::MemoryFiles files;
    test::Latin1CodePage latin1;
    RadioPlaylist playlist{kFolder, files, latin1};
};

TEST_F(Playlist, NamesInsideTheFolderUnlessAbsolute)
{
    const struct {
        std::u16string name;
        std::u16string path;
    } cases[] = {
        {u"Playlist.txt", InFolder(u"Playlist.txt")},
        {std::u16string(u"sub") + kSep + u"p.txt",
         InFolder(std::u16string(u"sub") + kSep + u"p.txt")},
        {u"~", InFolder(u"~")},
        {kAbsolute, kAbsolute},
#ifdef _WIN32
        {u"C:/Radio/heard.txt", u"C:/Radio/heard.txt"},
        {u"\\\\server\\share\\heard.txt", u"\\\\server\\share\\heard.txt"},
        {u"//server/share/heard.txt", u"//server/share/heard.txt"},
#else
        {u"/", u"/"},
        {u"C:\\Radio\\heard.txt", InFolder(u"C:\\Radio\\heard.txt")},
#endif
    };
    for (const auto& c : cases)
        EXPECT_EQ(playlist.PathOf(c.name), c.path) << U8(c.name);
    EXPECT_EQ(playlist.folder(), kFolder);
}

TEST_F(Playlist, AppendsOneWholeLinePerTitle)
{
    EXPECT_TRUE(playlist.Append(u"Playlist.txt", u"Artist - Song"));
    EXPECT_TRUE(playlist.Append(u"Playlist.txt", u"Artist - Song"));
    EXPECT_TRUE(playlist.Append(u"Playlist.txt", U16("\xC3\x9Cn\xC3\xAF"
                                                     "code\r\nsplit")));
    EXPECT_TRUE(playlist.Append(kAbsolute, u"x"));
    EXPECT_EQ(files.files[InFolder(u"Playlist.txt")], "Artist - Song" + kEnd + "Artist - Song" +
                                                          kEnd +
                                                          "\xDCn\xEF"
                                                          "code split" +
                                                          kEnd);
    EXPECT_EQ(files.files[kAbsolute], "x" + kEnd);
    EXPECT_EQ(files.files.count(ErrorTxt()), 0u);
    EXPECT_TRUE(files.warnings.empty());
}

TEST_F(Playlist, TheFolderIsMadeBeforeEveryWrite)
{
    std::vector<std::string> log;
    files.log = &log;
    playlist.Append(u"p.txt", u"t");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "ensure " + U8(kFolder));
    EXPECT_EQ(log[1], "append " + U8(InFolder(u"p.txt")) + " t" + kEnd);
}

TEST_F(Playlist, AFailedWriteCostsOneErrorLineAndAWarning)
{
    files.failures[InFolder(u"Playlist.txt")] = u"Is a directory";
    EXPECT_FALSE(playlist.Append(u"Playlist.txt", u"lost title"));
    EXPECT_FALSE(playlist.Append(u"Playlist.txt", u"lost title"));

    const std::u16string line = u"An Error Ocured while opening the playlist file '" +
                                InFolder(u"Playlist.txt") + u"'; Is a directory";
    EXPECT_EQ(playlist.ErrorLine(u"Playlist.txt", u"Is a directory"), line);
    EXPECT_EQ(files.files[ErrorTxt()],
              latin1.FromUnicode(line) + kEnd + latin1.FromUnicode(line) + kEnd);
    EXPECT_EQ(files.files.count(InFolder(u"Playlist.txt")), 0u);
    EXPECT_EQ(files.warnings, (std::vector<std::u16string>{line, line}));
    // The next good name works again.
    EXPECT_TRUE(playlist.Append(u"other.txt", u"t"));
}

TEST_F(Playlist, TheErrorLineNamesTheFileAsWrittenAndStaysOneLine)
{
    files.failures[kAbsolute] = u"No space left\non device";
    EXPECT_FALSE(playlist.Append(kAbsolute, u"t"));
    EXPECT_EQ(files.files[ErrorTxt()], "An Error Ocured while opening the playlist file '" +
                                           U8(kAbsolute) + "'; No space left on device" + kEnd)
        << "error.txt is always the program folder's";
}

TEST_F(Playlist, WhenErrorTxtFailsTooBothAreWarnings)
{
    files.failures[InFolder(u"p.txt")] = u"Permission denied";
    files.failures[ErrorTxt()] = u"Read-only file system";
    EXPECT_FALSE(playlist.Append(u"p.txt", u"t"));
    ASSERT_EQ(files.warnings.size(), 2u);
    EXPECT_EQ(files.warnings[0], playlist.ErrorLine(u"p.txt", u"Permission denied"));
    EXPECT_NE(files.warnings[1].find(u"error.txt"), std::u16string::npos) << U8(files.warnings[1]);
    EXPECT_NE(files.warnings[1].find(u"Read-only file system"), std::u16string::npos)
        << U8(files.warnings[1]);
    EXPECT_TRUE(files.files.empty());
}

TEST_F(Playlist, AFolderThatCannotBeMadeIsReportedAndNothingIsWritten)
{
    files.folderFails = true;
    files.failures[ErrorTxt()] = u"No such file or directory";
    EXPECT_FALSE(playlist.Append(u"Playlist.txt", u"t"));
    EXPECT_TRUE(files.files.empty());
    ASSERT_EQ(files.warnings.size(), 2u);
    const std::u16string& line = files.warnings[0];
    const std::u16string prefix =
        u"An Error Ocured while opening the playlist file '" + InFolder(u"Playlist.txt") + u"'; ";
    ASSERT_EQ(line.rfind(prefix, 0), 0u) << U8(line);
    EXPECT_NE(line.find(kFolder, prefix.size()), std::u16string::npos)
        << "the description names the folder: " << U8(line);
}

TEST_F(Playlist, EmptyNameIsAnErrorNotACrash)
{
    files.failures[InFolder(u"")] = u"Is a directory";
    EXPECT_FALSE(playlist.Append(u"", u"t"));
    EXPECT_EQ(files.files[ErrorTxt()].rfind("An Error Ocured", 0), 0u);
}

TEST_F(Playlist, NothingEscapesAppendEvenWhenTheFilesThrow)
{
    files.onAppend = [] {
        throw std::bad_alloc();
    };
    bool appended = true;
    EXPECT_NO_THROW(appended = playlist.Append(u"p.txt", u"t"));
    EXPECT_FALSE(appended);
}

} // namespace
} // namespace tessaly
