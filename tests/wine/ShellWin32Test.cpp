// The Win32 front-end's backends against the real (Wine) registry, file system and windows: the
// settings store, the playlist's file append and SetOpacity.

#include "common/win32/SetOpacity.h"
#include "shell/win32/RegistrySettingsStore.h"
#include "watcher/win32/Win32FileAppend.h"
#include "WineSupport.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace tessaly {
namespace {

constexpr char kScratchKey[] = "Software\\Tessaly Tests\\Settings";
constexpr wchar_t kScratchKeyW[] = L"Software\\Tessaly Tests\\Settings";

class RegistrySettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { test::DeleteKeyTree("Software\\Tessaly Tests"); }
    void TearDown() override { test::DeleteKeyTree("Software\\Tessaly Tests"); }

    std::vector<std::string> errors_;
    RegistrySettingsStore store_{[this](std::string_view what) { errors_.emplace_back(what); },
                                 kScratchKeyW};
};

TEST_F(RegistrySettingsStoreTest, MissingKeyOrValueReadsTheDefaultAndCreatesNothing)
{
    EXPECT_EQ(store_.read(u"Format", u"%L: %A - %T"), u"%L: %A - %T");
    EXPECT_EQ(test::QueryRawValue(kScratchKey, "Format").status, ERROR_FILE_NOT_FOUND);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    store_.write(u"Other", u"1");
    EXPECT_EQ(store_.read(u"Format", u"dflt"), u"dflt");
}

TEST_F(RegistrySettingsStoreTest, WritesAreRegSzTextsThatReadBackUnchanged)
{
    const std::u16string texts[] = {u"0", u"", u"%L: %A - %T", u"Caf\u00e9 \u266b \U0001F3B5",
                                    std::u16string(5000, u'x')};
    for (const std::u16string& text : texts) {
        store_.write(u"Format", text);
        EXPECT_EQ(store_.read(u"Format", u"dflt"), text);
        const test::RawValue raw = test::QueryRawValue(kScratchKey, "Format");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    }
    EXPECT_TRUE(errors_.empty());
}

TEST_F(RegistrySettingsStoreTest, ValuesThatAreNotTextReadAsTheDefault)
{
    test::SetRawValue(kScratchKey, "Opacity", REG_DWORD, std::string("\x32\0\0\0", 4));
    EXPECT_EQ(store_.read(u"Opacity", u"80"), u"80");
    // A text stored without its NUL, or with bytes after one, ends at the NUL.
    test::SetRawValue(kScratchKey, "Format", REG_SZ, std::string("ab\0cd", 5));
    EXPECT_EQ(store_.read(u"Format", u"dflt"), u"ab");
}

TEST(Win32FileAppendTest, AppendsWholeLinesAndCreatesTheFolders)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "tessaly-append";
    const std::string folder = root + "\\a\\b";
    const std::string file = folder + "\\Playlist.txt";
    DeleteFileA(file.c_str());
    RemoveDirectoryA(folder.c_str());
    RemoveDirectoryA((root + "\\a").c_str());
    std::vector<std::u16string> warnings;
    Win32FileAppend files([&](std::u16string_view w) { warnings.emplace_back(w); });
    const std::u16string folder16(folder.begin(), folder.end());
    const std::u16string file16(file.begin(), file.end());
    EXPECT_TRUE(files.EnsureFolder(folder16));
    EXPECT_TRUE(files.EnsureFolder(folder16 + u"\\"));
    EXPECT_EQ(files.Append(file16, "one\r\n"), u"");
    EXPECT_EQ(files.Append(file16, "two\r\n"), u"");
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "one\r\ntwo\r\n");
    EXPECT_TRUE(warnings.empty());
}

TEST(Win32FileAppendTest, RefusesWhatIsNotAFileOnDisk)
{
    Win32FileAppend files({});
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder(temp);
    struct Case {
        const char* what;
        std::u16string path;
    };
    const Case cases[] = {
        {"a folder", std::u16string(folder.begin(), folder.end())},
        {"the NUL device", u"NUL"},
        {"the console", u"CON"},
        {"a name with a NUL", std::u16string(u"a\0b.txt", 7)},
        {"a missing folder", u"Q:\\no\\such\\folder\\x.txt"},
    };
    for (const Case& c : cases)
        EXPECT_NE(files.Append(c.path, "line\r\n"), u"") << c.what;
}

TEST(SetOpacityTest, StatusesAndTheLayeredAlpha)
{
    const HWND window = CreateWindowExA(0, "STATIC", "opacity", WS_POPUP, 0, 0, 50, 50, nullptr,
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SetOpacity(window, 256), kOpacityOutOfRange);
    EXPECT_EQ(SetOpacity(window, -1), kOpacityOutOfRange);
    EXPECT_FALSE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    for (const std::int16_t alpha :
         {std::int16_t{0}, std::int16_t{51}, std::int16_t{204}, std::int16_t{255}}) {
        EXPECT_EQ(SetOpacity(window, alpha), kOpacityApplied);
        BYTE got = 0;
        DWORD flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &got, &flags));
        EXPECT_EQ(got, alpha);
        EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    }
    // 255 leaves the window layered; out of range leaves the alpha as it was.
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(SetOpacity(window, 300), kOpacityOutOfRange);
    BYTE got = 0;
    GetLayeredWindowAttributes(window, nullptr, &got, nullptr);
    EXPECT_EQ(got, 255);
    DestroyWindow(window);
}

} // namespace
} // namespace tessaly
