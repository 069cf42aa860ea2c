// Tessaly and a real messenger: the demo player plays, Tessaly publishes, Pidgin (signed in to a
// Prosody server on 127.0.0.1) sets alice's status, and bob, her contact, receives it as presence.
// The Messenger stand-in runs alongside and must get every status whatever Pidgin does.

#include "support/ProgramUnderTest.h"
#include "XmppWorld.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

namespace tessaly::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRefreshMs = 6000;  // debounce, a re-read and the stand-in's sends, on a slow machine
constexpr int kPresenceMs = 5000; // from the stand-in's status to bob's presence
constexpr int kAway = 5;          // PURPLE_STATUS_AWAY

class MessengerIm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(system.busRunning());
        ASSERT_TRUE(world.start()) << world.why().toStdString();
        ASSERT_TRUE(world.startPidgin()) << world.why().toStdString();
        ASSERT_TRUE(system.startMessenger());
        ASSERT_TRUE(system.startPlayer());
        ASSERT_TRUE(system.startTessaly());
    }

    // Runs a player command (or a control command) and answers the status the stand-in took up.
    QString commandAndStatus(const std::function<bool()>& command)
    {
        const qsizetype before = system.statuses().size();
        if (!command() || !system.waitForStatusAfter(before, kRefreshMs))
            return QStringLiteral("<no status>");
        return system.lastStatus();
    }
    QString play(const QString& method)
    {
        return commandAndStatus([&] { return system.playerCall(method); });
    }

    // Tessaly's warnings that name Pidgin.
    QStringList pidginWarnings()
    {
        return system.tessaly().errorLines().filter(QStringLiteral("Pidgin"));
    }

    // Declared first, so that Tessaly (in system) ends before Pidgin and the server.
    XmppWorld world;
    ProgramUnderTest system{QStringLiteral("im-driver"), "im"};
};

TEST_F(MessengerIm, TheContactSeesEachSongAndTheStandInStillGetsIt)
{
    for (const char* command : {"Play", "Next", "Next"}) {
        const std::size_t before = world.presences().size();
        const QString status = play(QString::fromLatin1(command));
        ASSERT_NE(status, QStringLiteral("<no status>")) << command;
        const std::optional<Presence> seen = world.waitForStatus(status, before, kPresenceMs);
        ASSERT_TRUE(seen) << command << ": bob never saw '" << status.toStdString() << "'";
        EXPECT_EQ(seen->type, QStringLiteral("available"));
    }
    EXPECT_TRUE(pidginWarnings().isEmpty()) << pidginWarnings().join('\n').toStdString();
}

TEST_F(MessengerIm, MarkupAndNonAsciiArriveLiterally)
{
    ASSERT_NE(commandAndStatus([&] { return system.controlCall(QStringLiteral("SwitchToRadio")); }),
              QStringLiteral("<no status>"));
    const std::size_t before = world.presences().size();
    const QString title =
        QStringLiteral("Rock <b>x</b> & <roll> - Bj\u00F6rk \u00E0 \u6771\u4EAC \u266B");
    ASSERT_TRUE(system.controlCall(QStringLiteral("SetStreamTitle"), {title, true}));
    // The station's own first title may come before it.
    ASSERT_TRUE(WaitUntil([&] { return system.lastStatus().contains(QStringLiteral("<roll>")); },
                          kRefreshMs))
        << system.lastStatus().toStdString();
    const QString status = system.lastStatus();
    for (const char* literal : {"<b>x</b>", "&", "<roll>", "Bj\u00F6rk", "\u6771\u4EAC \u266B"})
        ASSERT_TRUE(status.contains(QString::fromUtf8(literal))) << status.toStdString();

    const std::optional<Presence> seen = world.waitForStatus(status, before, kPresenceMs);
    ASSERT_TRUE(seen) << "bob never saw '" << status.toStdString() << "'";
}

TEST_F(MessengerIm, AnAwayStatusStaysAwayWithTheSongAndTheNamedStatusIsUntouched)
{
    // The user picks a saved status of their own, as from Pidgin's status box.
    const int lunch =
        world.purple(QStringLiteral("PurpleSavedstatusNew"), {QStringLiteral("Lunch"), kAway})
            .toInt();
    ASSERT_NE(lunch, 0);
    world.purple(QStringLiteral("PurpleSavedstatusSetMessage"),
                 {lunch, QStringLiteral("back at two")});
    std::size_t before = world.presences().size();
    world.purple(QStringLiteral("PurpleSavedstatusActivate"), {lunch});
    ASSERT_TRUE(world.waitForStatus(QStringLiteral("back at two"), before, kPresenceMs));

    for (const char* command : {"Play", "Next"}) {
        before = world.presences().size();
        const QString status = play(QString::fromLatin1(command));
        const std::optional<Presence> seen = world.waitForStatus(status, before, kPresenceMs);
        ASSERT_TRUE(seen) << command << ": bob never saw '" << status.toStdString() << "'";
        EXPECT_EQ(seen->show, QStringLiteral("away")) << command;
    }

    const int current = world.purple(QStringLiteral("PurpleSavedstatusGetCurrent")).toInt();
    EXPECT_NE(current, lunch);
    EXPECT_EQ(world.purple(QStringLiteral("PurpleSavedstatusIsTransient"), {current}).toInt(), 1);
    EXPECT_EQ(
        world.purple(QStringLiteral("PurpleSavedstatusFind"), {QStringLiteral("Lunch")}).toInt(),
        lunch);
    EXPECT_EQ(world.purple(QStringLiteral("PurpleSavedstatusGetMessage"), {lunch}).toString(),
              QStringLiteral("back at two"));
    EXPECT_EQ(world.purple(QStringLiteral("PurpleSavedstatusGetType"), {lunch}).toInt(), kAway);
}

TEST_F(MessengerIm, PidginKilledMidRunThenStartedAgain)
{
    std::size_t before = world.presences().size();
    const QString first = play(QStringLiteral("Play"));
    ASSERT_TRUE(world.waitForStatus(first, before, kPresenceMs));

    before = world.presences().size();
    world.killPidgin();
    ASSERT_TRUE(world.waitForPresence(
        [](const Presence& p) { return p.type == QLatin1String("unavailable"); }, before,
        kPresenceMs))
        << "the server saw Pidgin go";

    QStringList whilePidginWasGone;
    for (int i = 0; i < 3; ++i) {
        const QString status = play(QStringLiteral("Next"));
        ASSERT_NE(status, QStringLiteral("<no status>")) << "the stand-in got no status " << i;
        EXPECT_NE(status, whilePidginWasGone.value(i - 1, first));
        whilePidginWasGone << status;
    }
    EXPECT_TRUE(system.tessaly().isRunning());
    EXPECT_EQ(system.registryStatus(), whilePidginWasGone.last());

    ASSERT_TRUE(world.startPidgin()) << world.why().toStdString();
    before = world.presences().size();
    const QString afterRestart = play(QStringLiteral("Next"));
    const std::optional<Presence> seen = world.waitForStatus(afterRestart, before, kPresenceMs);
    EXPECT_TRUE(seen) << "the next refresh reaches the new Pidgin";
    EXPECT_TRUE(system.tessaly().isRunning());
    EXPECT_EQ(pidginWarnings().size(), 1) << pidginWarnings().join('\n').toStdString();
}

// Not a target, a figure: how long from the player's change until the contact sees the song.
TEST_F(MessengerIm, LatencyFromThePlayersChangeToTheContactsPresence)
{
    ASSERT_NE(play(QStringLiteral("Play")), QStringLiteral("<no status>"));
    std::vector<double> latenciesMs;
    for (int i = 0; i < 20; ++i) {
        const std::size_t before = world.presences().size();
        const auto changed = std::chrono::steady_clock::now();
        const QString status = play(QStringLiteral("Next"));
        const std::optional<Presence> seen = world.waitForStatus(status, before, kPresenceMs);
        ASSERT_TRUE(seen) << "change " << i << ": bob never saw '" << status.toStdString() << "'";
        latenciesMs.push_back(
            std::chrono::duration<double, std::milli>(seen->at - changed).count());
    }
    std::sort(latenciesMs.begin(), latenciesMs.end());
    const double median = (latenciesMs[9] + latenciesMs[10]) / 2;
    const double worst = latenciesMs.back();
    std::printf("latency from the player's change to the contact's presence, 20 changes: "
                "median %.0f ms, worst %.0f ms (Tessaly's 250 ms debounce included)\n",
                median, worst);
    RecordProperty("latency_median_ms", int(median));
    RecordProperty("latency_worst_ms", int(worst));
}

} // namespace
} // namespace tessaly::test
