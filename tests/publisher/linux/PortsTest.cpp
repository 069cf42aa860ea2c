#include "publisher/linux/DBusWindowMessages.h"
#include "publisher/linux/Hive.h"
#include "publisher/linux/LocaleCodePage.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace tessaly::test {
namespace {

TEST(LocaleCodePageTest, Utf8RoundTripsEveryPlane)
{
    const LocaleCodePage utf8("UTF-8");
    const std::u16string text = u"a\u00E9\u266B\U0001F3B5\u6F22";
    EXPECT_EQ(utf8.FromUnicode(text), "a\xC3\xA9\xE2\x99\xAB\xF0\x9F\x8E\xB5\xE6\xBC\xA2");
    EXPECT_EQ(utf8.ToUnicode(utf8.FromUnicode(text)), text);
    EXPECT_EQ(utf8.ToUnicode(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
}

TEST(LocaleCodePageTest, ReplacesWhatCannotBeConverted)
{
    const LocaleCodePage latin1("ISO-8859-1");
    EXPECT_EQ(latin1.FromUnicode(u"\u00E9\u266B\U0001F3B5x"), "\xE9??x")
        << "one '?' per character, a surrogate pair included";
    const LocaleCodePage utf8("UTF-8");
    EXPECT_EQ(utf8.ToUnicode("a\xFF"
                             "b\xC3"),
              u"a\uFFFDb\uFFFD");
    EXPECT_EQ(utf8.FromUnicode(std::u16string(1, char16_t(0xD800)) + u"z"), "?z");
}

TEST(LocaleCodePageTest, UnknownCodesetIsRefusedAtOnce)
{
    EXPECT_THROW(LocaleCodePage("NO-SUCH-CODESET"), std::runtime_error);
}

TEST(LocaleCodePageTest, CLocaleCountsAsUtf8)
{
    ScopedEnv env;
    env.set("LC_ALL", "C");
    EXPECT_EQ(LocaleCodeset(), "UTF-8");
}

TEST(HivePathTest, LivesInTheDataFolderByTheXdgRule)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/xdg/data", "/xdg/data/tessaly/registry/HKEY_CURRENT_USER.sqlite3"},
        {"/xdg/data/", "/xdg/data/tessaly/registry/HKEY_CURRENT_USER.sqlite3"},
        {"", "/home/ann/.local/share/tessaly/registry/HKEY_CURRENT_USER.sqlite3"},
        {"relative", "/home/ann/.local/share/tessaly/registry/HKEY_CURRENT_USER.sqlite3"},
        {"/", "/tessaly/registry/HKEY_CURRENT_USER.sqlite3"},
    };
    for (const auto& [dataHome, path] : cases) {
        ScopedEnv env;
        env.set("HOME", "/home/ann");
        env.set("XDG_DATA_HOME", dataHome);
        EXPECT_EQ(HivePath(), QString::fromLatin1(path)) << dataHome;
    }
}

TEST(WindowClassBusNameTest, EscapesWhatABusNameCannotHold)
{
    const std::pair<const char*, const char*> cases[] = {
        {"YahooBuddyMain", "org.tessaly.WindowClass.YahooBuddyMain"},
        {"a_b", "org.tessaly.WindowClass.a_b"},
        {"a-b.c", "org.tessaly.WindowClass.a_2Db_2Ec"},
        {"1st", "org.tessaly.WindowClass._31st"},
        {"x9", "org.tessaly.WindowClass.x9"},
        {"\xC3\xA9", "org.tessaly.WindowClass._C3_A9"},
        {"", ""},
    };
    for (const auto& [className, busName] : cases)
        EXPECT_EQ(WindowClassBusName(className), QString::fromLatin1(busName)) << className;
}

} // namespace
} // namespace tessaly::test
