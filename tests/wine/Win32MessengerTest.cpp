// Window messages and the whole status writer against the Messenger stand-in, a real window in
// another process.

#include "publisher/win32/Win32StatusPublisher.h"
#include "publisher/win32/Win32WindowMessages.h"
#include "publisher/Yahoo.h"
#include "WineSupport.h"

#include <gtest/gtest.h>

namespace tessaly {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr char kScratchRoot[] = "Software\\Yahoo";

std::uintptr_t ReadyWindow(test::ChildProcess& standin)
{
    const std::string ready = standin.waitForLine("ready ", 20s);
    return ready.empty() ? 0 : std::stoull(ready.substr(6));
}

std::string CustomMessage(const std::string& user)
{
    return test::QueryRawValue("Software\\Yahoo\\Pager\\profiles\\" + user + "\\Custom Msgs", "1")
        .bytes;
}

class Win32MessengerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::DeleteKeyTree(kScratchRoot);
        ASSERT_EQ(FindWindowA(yahoo::kMainWindowClass, nullptr), nullptr)
            << "a Messenger window was left over";
    }
    void TearDown() override { test::DeleteKeyTree(kScratchRoot); }

    std::unique_ptr<test::ChildProcess> startStandin(std::vector<std::string> arguments = {})
    {
        auto standin = std::make_unique<test::ChildProcess>(MESSENGER_STANDIN, arguments);
        EXPECT_TRUE(standin->started());
        return standin;
    }

    Win32WindowMessages windows_;
};

TEST_F(Win32MessengerTest, WindowHandleTokensRoundTrip)
{
    EXPECT_TRUE(WindowHandleFromValue(0).isNull());
    EXPECT_EQ(WindowHandleValue(WindowHandleFromValue(0x10024)), 0x10024u);
    EXPECT_EQ(WindowHandleValue(WindowHandle{"12ab"}), 0u);
    EXPECT_EQ(WindowHandleValue(WindowHandle{""}), 0u);
}

TEST_F(Win32MessengerTest, NoMessengerFindsNoWindowAndSendsNothing)
{
    const WindowHandle window = windows_.FindWindowA(yahoo::kMainWindowClass, nullptr);
    EXPECT_TRUE(window.isNull());
    const auto start = Clock::now();
    EXPECT_EQ(windows_.SendMessageTimeoutA(window, kWmCommand, 376, 1, 2s), 0);
    EXPECT_LT(Clock::now() - start, 100ms);
}

TEST_F(Win32MessengerTest, CommandsReachTheWindowThatFindWindowNames)
{
    auto standin = startStandin();
    const std::uintptr_t hwnd = ReadyWindow(*standin);
    ASSERT_NE(hwnd, 0u);
    const WindowHandle window = windows_.FindWindowA(yahoo::kMainWindowClass, nullptr);
    EXPECT_EQ(WindowHandleValue(window), hwnd);
    EXPECT_EQ(windows_.SendMessageTimeoutA(window, kWmCommand, 376, 1, 2s), 1)
        << "sent synchronously: the window's own answer comes back";
    EXPECT_EQ(standin->waitForLine("command", 5s), "command 376");
}

TEST_F(Win32MessengerTest, PublishesAsCustomMessageAndMessengerTakesItUp)
{
    auto standin = startStandin({"--user", "alice"});
    ASSERT_NE(ReadyWindow(*standin), 0u);
    auto publisher = CreateWin32StatusPublisher();

    const std::u16string status = u"D\u00E9j\u00E0 Vu: Beyonc\u00E9 - Fr\u00FChling";
    const auto start = Clock::now();
    publisher->SetYahooStatus(status);
    const auto took = Clock::now() - start;
    EXPECT_EQ(CustomMessage("alice"), test::StoredText("D\xE9j\xE0 Vu: Beyonc\xE9 - Fr\xFChling"));
    EXPECT_EQ(standin->waitForLine("command", 5s), "command 376");
    EXPECT_EQ(standin->waitForLine("loaded: ", 5s),
              "loaded: D\xC3\xA9j\xC3\xA0 Vu: Beyonc\xC3\xA9 - Fr\xC3\xBChling");
    EXPECT_EQ(standin->waitForLine("command", 5s), "command 388");
    EXPECT_EQ(standin->waitForLine("status: ", 5s),
              "status: D\xC3\xA9j\xC3\xA0 Vu: Beyonc\xC3\xA9 - Fr\xC3\xBChling");
    RecordProperty(
        "publish_ms",
        std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));

    // The same text again is published again; an empty one too, with both commands.
    publisher->SetYahooStatus(status);
    EXPECT_NE(standin->waitForLine("status: D", 5s), "");
    publisher->SetYahooStatus(u"");
    EXPECT_EQ(standin->waitForLine("status: ", 5s), "status: ");
    EXPECT_EQ(CustomMessage("alice"), "");
}

TEST_F(Win32MessengerTest, WithoutMessengerTheValueIsStillWrittenUnderTheEmptyId)
{
    auto publisher = CreateWin32StatusPublisher();
    publisher->SetYahooStatus(u"Album: Artist - Title");
    EXPECT_EQ(CustomMessage(""), test::StoredText("Album: Artist - Title"));
}

TEST_F(Win32MessengerTest, ExpandableUserIdCountsAsMissing)
{
    test::SetRawValue("Software\\Yahoo\\Pager", "Yahoo! user id", REG_EXPAND_SZ,
                      std::string("alice\0", 6));
    CreateWin32StatusPublisher()->SetYahooStatus(u"x");
    EXPECT_EQ(CustomMessage(""), test::StoredText("x"));
    EXPECT_EQ(
        test::QueryRawValue("Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs", "1").status,
        ERROR_FILE_NOT_FOUND);
}

TEST_F(Win32MessengerTest, HungMessengerCostsAtMostTheTimeLimitPerSend)
{
    auto standin = startStandin({"--user", "alice", "--hang-on", "376"});
    ASSERT_NE(ReadyWindow(*standin), 0u);
    const WindowHandle window = windows_.FindWindowA(yahoo::kMainWindowClass, nullptr);
    for (const std::uintptr_t command : {376u, 388u}) {
        const auto start = Clock::now();
        EXPECT_EQ(windows_.SendMessageTimeoutA(window, kWmCommand, command, 1, 2s), 0);
        const auto took = Clock::now() - start;
        EXPECT_LT(took, 2500ms) << "command " << command;
        RecordProperty(
            "hung_send_" + std::to_string(command) + "_ms",
            std::to_string(std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
    }

    const auto start = Clock::now();
    CreateWin32StatusPublisher()->SetYahooStatus(u"still written");
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(CustomMessage("alice"), test::StoredText("still written"));
}

TEST_F(Win32MessengerTest, OfTwoMessengersOnlyTheOneFoundGetsTheCommands)
{
    auto first = startStandin({"--user", "alice"});
    const std::uintptr_t firstWindow = ReadyWindow(*first);
    auto second = startStandin();
    const std::uintptr_t secondWindow = ReadyWindow(*second);
    ASSERT_NE(firstWindow, 0u);
    ASSERT_NE(secondWindow, 0u);

    const std::uintptr_t found =
        WindowHandleValue(windows_.FindWindowA(yahoo::kMainWindowClass, nullptr));
    ASSERT_TRUE(found == firstWindow || found == secondWindow);
    test::ChildProcess& chosen = found == firstWindow ? *first : *second;
    test::ChildProcess& other = found == firstWindow ? *second : *first;

    CreateWin32StatusPublisher()->SetYahooStatus(u"one only");
    EXPECT_EQ(chosen.waitForLine("status: ", 5s), "status: one only");
    EXPECT_EQ(other.waitForLine("command", 500ms), "");
}

} // namespace
} // namespace tessaly
