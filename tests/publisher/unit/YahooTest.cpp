#include "publisher/Yahoo.h"

#include "FakePorts.h"
#include "support/core/FakeCodePages.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tessaly::test {
namespace {

using ::testing::ElementsAre;

constexpr char kPager[] = "Software\\Yahoo\\Pager";

class YahooTest : public ::testing::Test {
protected:
    // Steps after the user-id read: everything from the key creation on.
    std::vector<std::string> callsFromCreate() const
    {
        const auto it = std::find_if(log.begin(), log.end(), [](const std::string& call) {
            return call.rfind("create", 0) == 0;
        });
        return {it, log.end()};
    }

    CallLog log;
    MemoryRegistry registry{log};
    RecordingWindows windows{log};
    Utf8CodePage utf8;
    Yahoo yahoo{registry, windows, utf8};
};

TEST_F(YahooTest, WritesThenClosesThenSendsBothCommandsInOrder)
{
    registry.put(kPager, "Yahoo! user id", kRegSz, std::string("alice\0", 6));
    yahoo.SetYahooStatus(u"Album: Artist - Title");

    EXPECT_THAT(log,
                ElementsAre("open Software\\Yahoo\\Pager", "probe Yahoo! user id",
                            "read Yahoo! user id", "close",
                            "create Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs",
                            "set 1 type 1 size 21", "close", "find YahooBuddyMain",
                            "send messenger 273 376 1 2000ms", "send messenger 273 388 1 2000ms"));
    const auto* value = registry.find("Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs", "1");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->type, kRegSz);
    EXPECT_EQ(value->bytes, "Album: Artist - Title");
    EXPECT_EQ(registry.openHandles(), 0u);
}

struct UserIdCase {
    const char* name;
    bool pagerKey;
    std::uint32_t type;
    std::string stored;
    std::string expectedId;
};

class YahooUserIdTest : public YahooTest, public ::testing::WithParamInterface<UserIdCase> {};

TEST_P(YahooUserIdTest, WritesUnderTheProfileOfTheStoredId)
{
    const UserIdCase& c = GetParam();
    if (c.pagerKey)
        registry.put(kPager, "Yahoo! user id", c.type, c.stored);
    yahoo.SetYahooStatus(u"x");

    const std::string key = "Software\\Yahoo\\Pager\\profiles\\" + c.expectedId + "\\Custom Msgs";
    const auto* value = registry.find(key, "1");
    ASSERT_NE(value, nullptr) << key;
    EXPECT_EQ(value->bytes, "x");
    EXPECT_EQ(registry.openHandles(), 0u) << "every opened key is closed";
    EXPECT_THAT(callsFromCreate(),
                ElementsAre("create " + key, "set 1 type 1 size 1", "close", "find YahooBuddyMain",
                            "send messenger 273 376 1 2000ms", "send messenger 273 388 1 2000ms"));
}

INSTANTIATE_TEST_SUITE_P(
    Ids, YahooUserIdTest,
    ::testing::Values(
        UserIdCase{"WithTerminatingNul", true, kRegSz, std::string("bob\0", 4), "bob"},
        UserIdCase{"WithoutNul", true, kRegSz, "bob", "bob"},
        UserIdCase{"EmbeddedNul", true, kRegSz, std::string("bo\0b\0", 5), "bo"},
        UserIdCase{"NulFirst", true, kRegSz, std::string("\0bob", 4), ""},
        UserIdCase{"Empty", true, kRegSz, "", ""},
        UserIdCase{"ExpandableTextCountsAsMissing", true, kRegExpandSz, std::string("bob\0", 4),
                   ""},
        UserIdCase{"MultiStringCountsAsMissing", true, kRegMultiSz, std::string("bob\0\0", 5), ""},
        UserIdCase{"DwordCountsAsMissing", true, kRegDword, "\1\0\0\0", ""},
        UserIdCase{"NoPagerKey", false, kRegSz, "", ""},
        UserIdCase{"MultiByteId", true, kRegSz, "j\xC3\xB6rg", "j\xC3\xB6rg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(YahooTest, PagerKeyWithoutTheValueGivesTheEmptyId)
{
    registry.put(kPager, "something else", kRegSz, "bob");
    yahoo.SetYahooStatus(u"x");
    EXPECT_NE(registry.find("Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs", "1"), nullptr);
}

TEST_F(YahooTest, EmptyTextWritesZeroBytesAndStillSendsBoth)
{
    yahoo.SetYahooStatus(u"");
    EXPECT_THAT(callsFromCreate(),
                ElementsAre("create Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs",
                            "set 1 type 1 size 0", "close", "find YahooBuddyMain",
                            "send messenger 273 376 1 2000ms", "send messenger 273 388 1 2000ms"));
}

TEST_F(YahooTest, MultiByteTextIsWrittenWholeAndReadsBackTheSame)
{
    const std::u16string text = u"Bj\u00F6rk: J\u00F3ga \u266B \U0001D11E \u6F22\u5B57";
    yahoo.SetYahooStatus(text);
    const std::string key = "Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs";
    const auto* value = registry.find(key, "1");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->bytes, utf8.FromUnicode(text));
    EXPECT_EQ(value->bytes.size(), 29u) << "bytes of the converted text, not its characters";
    EXPECT_EQ(yahoo.GetRegString(kHkeyCurrentUser,
                                 u"Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs", u"1"),
              text);
}

TEST_F(YahooTest, SingleByteCodePageCountsOneBytePerCharacter)
{
    const Latin1CodePage latin1;
    Yahoo latinYahoo(registry, windows, latin1);
    latinYahoo.SetYahooStatus(u"D\u00E9j\u00E0 vu");
    const auto* value = registry.find("Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs", "1");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->bytes, "D\xE9j\xE0 vu");
}

TEST_F(YahooTest, SameTextTwiceWritesAndSendsTwice)
{
    yahoo.SetYahooStatus(u"same");
    yahoo.SetYahooStatus(u"same");
    EXPECT_EQ(std::count(log.begin(), log.end(), "set 1 type 1 size 4"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "send messenger 273 376 1 2000ms"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "send messenger 273 388 1 2000ms"), 2);
}

TEST_F(YahooTest, MessengerAbsentStillWritesAndSendsToTheNullWindow)
{
    windows.window = {};
    yahoo.SetYahooStatus(u"x");
    EXPECT_NE(registry.find("Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs", "1"), nullptr);
    EXPECT_THAT(callsFromCreate(),
                ElementsAre(::testing::_, ::testing::_, "close", "find YahooBuddyMain",
                            "send null 273 376 1 2000ms", "send null 273 388 1 2000ms"));
}

TEST_F(YahooTest, FailedWriteDoesNotStopTheCommands)
{
    registry.failWrites = kErrorLockViolation;
    yahoo.SetYahooStatus(u"x");
    EXPECT_EQ(registry.find("Software\\Yahoo\\Pager\\profiles\\\\Custom Msgs", "1"), nullptr);
    EXPECT_THAT(callsFromCreate(),
                ElementsAre(::testing::_, "set 1 type 1 size 1", "close", "find YahooBuddyMain",
                            "send messenger 273 376 1 2000ms", "send messenger 273 388 1 2000ms"));
}

TEST_F(YahooTest, FailingWindowStepsAreSwallowedAndTheNextStepRuns)
{
    std::vector<std::string> reported;
    Yahoo reporting(registry, windows, utf8,
                    [&](std::string_view step, std::string_view) { reported.emplace_back(step); });
    windows.throwOnFind = true;
    windows.throwOnSend = true;
    EXPECT_NO_THROW(reporting.SetYahooStatus(u"x"));
    EXPECT_THAT(callsFromCreate(),
                ElementsAre(::testing::_, ::testing::_, "close", "find YahooBuddyMain",
                            "send null 273 376 1 2000ms", "send null 273 388 1 2000ms"));
    EXPECT_THAT(reported, ElementsAre("find window", "send commands"));
}

TEST_F(YahooTest, GetRegStringReadsOnlyPlainText)
{
    registry.put("K", "sz", kRegSz, std::string("text\0junk", 9));
    registry.put("K", "expand", kRegExpandSz, "%PATH%");
    registry.put("K", "binary", kRegBinary, "abc");
    EXPECT_EQ(yahoo.GetRegString(kHkeyCurrentUser, u"k", u"SZ"), u"text");
    EXPECT_EQ(yahoo.GetRegString(kHkeyCurrentUser, u"K", u"expand"), u"");
    EXPECT_EQ(yahoo.GetRegString(kHkeyCurrentUser, u"K", u"binary"), u"");
    EXPECT_EQ(yahoo.GetRegString(kHkeyCurrentUser, u"K", u"missing"), u"");
    EXPECT_EQ(yahoo.GetRegString(kHkeyCurrentUser, u"Missing", u"sz"), u"");
    EXPECT_EQ(registry.openHandles(), 0u);
}

} // namespace
} // namespace tessaly::test
