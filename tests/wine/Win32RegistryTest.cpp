// The status writer's registry routines over the real (Wine) registry.

#include "publisher/win32/Win32Registry.h"

#include "publisher/win32/Win32CodePage.h"
#include "publisher/Yahoo.h"
#include "WineSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace std::string_literals;

constexpr char kScratchRoot[] = "Software\\Yahoo";
constexpr char kPager[] = "Software\\Yahoo\\Pager";
constexpr char kUserId[] = "Yahoo! user id";

class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { test::DeleteKeyTree(kScratchRoot); }
    void TearDown() override { test::DeleteKeyTree(kScratchRoot); }

    std::u16string readUserId() const
    {
        return text_.GetRegString(kHkeyCurrentUser, yahoo::kPagerKey, yahoo::kUserIdValue);
    }

    Win32Registry registry_;
    Win32CodePage ansi_;
    RegistryText text_{registry_, ansi_};
};

TEST_F(Win32RegistryTest, UserIdIsReadUpToItsFirstNulAndOnlyAsPlainText)
{
    struct Case {
        const char* what;
        DWORD type;
        std::string stored;
        std::u16string expected;
    };
    const Case cases[] = {
        {"with its NUL", REG_SZ, "alice\0"s, u"alice"},
        {"without a NUL", REG_SZ, "alice"s, u"alice"},
        {"embedded NUL", REG_SZ, "al\0ice"s, u"al"},
        {"NUL first", REG_SZ, "\0alice"s, u""},
        {"no bytes", REG_SZ, ""s, u""},
        {"code page text", REG_SZ,
         "b\xE9"
         "atrice\0"s,
         u"b\u00E9atrice"},
        {"expandable text", REG_EXPAND_SZ, "alice\0"s, u""},
        {"multi-string", REG_MULTI_SZ, "alice\0\0"s, u""},
        {"binary", REG_BINARY, "alice"s, u""},
        {"number", REG_DWORD, "\x01\0\0\0"s, u""},
    };
    ASSERT_EQ(ansi_.codePage(), 1252u) << "the cases are written in Windows-1252";
    for (const Case& c : cases) {
        test::SetRawValue(kPager, kUserId, c.type, c.stored);
        EXPECT_EQ(readUserId(), c.expected) << c.what;
    }
}

TEST_F(Win32RegistryTest, MissingKeyOrValueReadsEmpty)
{
    EXPECT_EQ(readUserId(), u"");
    test::SetRawValue(kPager, "other", REG_SZ, "x");
    EXPECT_EQ(readUserId(), u"");
}

// Passes every call on to the real registry and keeps the byte count of the last write.
class CountingRegistry final : public Registry {
public:
    RegStatus RegOpenKeyA(RegKey root, const char* subKey, RegKey* result) override
    {
        return real.RegOpenKeyA(root, subKey, result);
    }
    RegStatus RegQueryValueExA(RegKey key, const char* valueName, std::uint32_t* reserved,
                               std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) override
    {
        return real.RegQueryValueExA(key, valueName, reserved, type, data, size);
    }
    RegStatus RegCreateKeyA(RegKey root, const char* subKey, RegKey* result) override
    {
        return real.RegCreateKeyA(root, subKey, result);
    }
    RegStatus RegSetValueExA(RegKey key, const char* valueName, std::uint32_t reserved,
                             std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) override
    {
        lastSize = size;
        return real.RegSetValueExA(key, valueName, reserved, type, data, size);
    }
    RegStatus RegCloseKey(RegKey key) override { return real.RegCloseKey(key); }

    Win32Registry real;
    std::uint32_t lastSize = 0xFFFFFFFF;
};

TEST_F(Win32RegistryTest, WriteCreatesTheKeyPathAndCountsBytesWithoutNul)
{
    struct Case {
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        {u"Album: Artist - Title", "Album: Artist - Title"},
        {u"", ""},
        {u"Beyonc\u00E9 \u2013 D\u00E9j\u00E0 Vu \u20AC", "Beyonc\xE9 \x96 D\xE9j\xE0 Vu \x80"},
        {u"\u4E2D\u6587", "??"},
    };
    CountingRegistry counting;
    const RegistryText text(counting, ansi_);
    const std::string key = "Software\\Yahoo\\Pager\\profiles\\bob\\Custom Msgs";
    for (const Case& c : cases) {
        text.SetRegString(kHkeyCurrentUser, yahoo::CustomMessagesKey(u"bob"), u"1", c.text);
        EXPECT_EQ(counting.lastSize, c.bytes.size()) << "no terminator counted";
        const test::RawValue stored = test::QueryRawValue(key, "1");
        ASSERT_EQ(stored.status, ERROR_SUCCESS);
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(stored.bytes, test::StoredText(c.bytes));
    }
}

TEST_F(Win32RegistryTest, WrittenTextReadsBackThroughTheRegistrysOwnConversion)
{
    const std::u16string text = u"Caf\u00E9 del Mar: Ni\u00F1o - \u00BFQu\u00E9?";
    text_.SetRegString(kHkeyCurrentUser, u"Software\\Yahoo\\Pager", u"status", text);
    EXPECT_EQ(test::QueryWideValue(kPager, "status"), text + u'\0');
    EXPECT_EQ(text_.GetRegString(kHkeyCurrentUser, u"Software\\Yahoo\\Pager", u"status"), text);
}

TEST_F(Win32RegistryTest, BackendPassesWin32ResultsThrough)
{
    RegKey key = 12345;
    EXPECT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, "Software\\Yahoo\\Nowhere", &key),
              kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, "x", nullptr), kErrorInvalidParameter);

    test::SetRawValue(kPager, kUserId, REG_SZ, "alice\0"s);
    ASSERT_EQ(registry_.RegOpenKeyA(kHkeyCurrentUser, kPager, &key), kErrorSuccess);
    ASSERT_NE(key, 0u);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(registry_.RegQueryValueExA(key, kUserId, nullptr, &type, nullptr, &size),
              kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 6u);

    std::uint8_t small[2];
    size = sizeof small;
    EXPECT_EQ(registry_.RegQueryValueExA(key, kUserId, nullptr, &type, small, &size),
              kErrorMoreData);
    EXPECT_EQ(size, 6u);

    std::uint32_t reserved = 0;
    EXPECT_EQ(registry_.RegQueryValueExA(key, kUserId, &reserved, &type, nullptr, &size),
              kErrorInvalidParameter);

    type = 0;
    size = 0;
    EXPECT_EQ(registry_.RegQueryValueExA(key, "missing", nullptr, &type, nullptr, &size),
              kErrorFileNotFound);
    EXPECT_EQ(type, 0u) << "a failed probe leaves the type alone";
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(registry_.RegCloseKey(key), kErrorSuccess);
    EXPECT_NE(registry_.RegCloseKey(0), kErrorSuccess);
}

} // namespace
} // namespace tessaly
