// Pidgin's client against a fake libpurple on a private bus: the calls it makes for a status, in
// their order and with their arguments, and how it behaves when Pidgin is absent, leaves, fails
// or hangs.

#include "FakePurple.h"
#include "publisher/linux/PidginStatus.h"
#include "support/PrivateBus.h"
#include "support/WarningLog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tessaly::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class PidginStatusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        pidgin = std::make_unique<PidginStatus>(bus.connect(QStringLiteral("tessaly")));
    }

    void startPurple() { ASSERT_TRUE(purple.start(bus.address())); }

    qint64 publishTimed(const std::u16string& text)
    {
        return ElapsedMs([&] { pidgin->SetYahooStatus(text); });
    }

    PrivateBus bus;
    FakePurple purple;
    std::unique_ptr<PidginStatus> pidgin;
    WarningLog warnings;
};

TEST_F(PidginStatusTest, MakesATransientStatusOfTheCurrentTypeAndLeavesTheNamedOneAlone)
{
    startPurple();
    const int lunch = purple.activate(
        {QStringLiteral("Lunch"), FakePurple::kAway, QStringLiteral("back at two")});

    pidgin->SetYahooStatus(u"Rock <b>x</b> & <roll>: Bj\u00F6rk \u266B");
    const QString markup = QStringLiteral("Rock &lt;b&gt;x&lt;/b&gt; &amp; &lt;roll&gt;: "
                                          "Bj\u00F6rk \u266B");
    const int made = lunch + 1;
    EXPECT_THAT(purple.calls(),
                ElementsAre(QStringLiteral("GetCurrent"), QStringLiteral("IsIdleaway"),
                            QStringLiteral("GetType %1").arg(lunch),
                            QStringLiteral("FindTransient 5 [%1]").arg(markup),
                            QStringLiteral("New [] 5"),
                            QStringLiteral("SetMessage %1 [%2]").arg(made).arg(markup),
                            QStringLiteral("Activate %1").arg(made)));
    EXPECT_EQ(purple.current(), made);
    EXPECT_EQ(purple.status(lunch).message, QStringLiteral("back at two"));
    EXPECT_EQ(purple.status(lunch).type, FakePurple::kAway);
    EXPECT_THAT(warnings.lines(), IsEmpty());
}

TEST_F(PidginStatusTest, ReusesTheTransientStatusWithThatTypeAndMessage)
{
    startPurple();
    pidgin->SetYahooStatus(u"Album: Artist - One");
    const int one = purple.current();
    pidgin->SetYahooStatus(u"Album: Artist - Two");
    const int two = purple.current();
    ASSERT_NE(one, two);

    purple.clearCalls();
    pidgin->SetYahooStatus(u"Album: Artist - One");
    EXPECT_THAT(purple.calls(),
                ElementsAre(QStringLiteral("GetCurrent"), QStringLiteral("IsIdleaway"),
                            QStringLiteral("GetType %1").arg(two),
                            QStringLiteral("FindTransient 2 [Album: Artist - One]"),
                            QStringLiteral("Activate %1").arg(one)));
    EXPECT_EQ(purple.current(), one);
}

TEST_F(PidginStatusTest, WhileIdleAwayTheStatusWaitsForTheNextSong)
{
    // Activating a status would end Pidgin's idle-away and leave the user away on return.
    startPurple();
    const int away = purple.current();
    purple.setIdleAway(true);
    pidgin->SetYahooStatus(u"Album: Artist - While Idle");
    EXPECT_THAT(purple.calls(), ElementsAre("GetCurrent", "IsIdleaway"));
    EXPECT_EQ(purple.current(), away);
    EXPECT_THAT(warnings.lines(), IsEmpty());

    purple.setIdleAway(false);
    pidgin->SetYahooStatus(u"Album: Artist - Back");
    EXPECT_EQ(purple.status(purple.current()).message, QStringLiteral("Album: Artist - Back"));
}

TEST_F(PidginStatusTest, AnEmptyTextSetsAnEmptyMessage)
{
    startPurple();
    const int away = purple.activate({QString(), FakePurple::kAway, QStringLiteral("a song")});
    pidgin->SetYahooStatus(u"");
    EXPECT_THAT(purple.calls(),
                ElementsAre(QStringLiteral("GetCurrent"), QStringLiteral("IsIdleaway"),
                            QStringLiteral("GetType %1").arg(away),
                            QStringLiteral("FindTransient 5 []"), QStringLiteral("New [] 5"),
                            QStringLiteral("SetMessage %1 []").arg(away + 1),
                            QStringLiteral("Activate %1").arg(away + 1)));
}

TEST_F(PidginStatusTest, WithoutPidginNothingIsSentAndNothingSaid)
{
    for (int i = 0; i < 3; ++i)
        EXPECT_LT(publishTimed(u"nobody listens"), 1000);
    EXPECT_THAT(purple.calls(), IsEmpty());
    EXPECT_THAT(warnings.lines(), IsEmpty());
}

TEST_F(PidginStatusTest, OneWarningWhenPidginLeavesThenTheNextStatusReachesItsReturn)
{
    startPurple();
    pidgin->SetYahooStatus(u"first");
    purple.stop();
    for (int i = 0; i < 3; ++i)
        pidgin->SetYahooStatus(u"while gone");
    ASSERT_EQ(warnings.lines().size(), 1) << warnings.lines().join('\n').toStdString();
    EXPECT_TRUE(warnings.lines().first().contains(QStringLiteral("Pidgin has left")));

    startPurple();
    purple.clearCalls();
    pidgin->SetYahooStatus(u"back");
    EXPECT_EQ(purple.calls().value(6), QStringLiteral("Activate %1").arg(purple.current()));
    EXPECT_EQ(purple.status(purple.current()).message, QStringLiteral("back"));
    EXPECT_EQ(warnings.lines().size(), 1);
}

TEST_F(PidginStatusTest, FailingPidginIsOneWarningUntilItTakesAStatusAgain)
{
    startPurple();
    purple.setMode(FakePurple::Mode::Fail);
    for (int i = 0; i < 3; ++i)
        pidgin->SetYahooStatus(u"refused");
    EXPECT_THAT(purple.calls(), ElementsAre("GetCurrent", "GetCurrent", "GetCurrent"))
        << "the first failure ends the status's calls";
    ASSERT_EQ(warnings.lines().size(), 1);
    EXPECT_TRUE(warnings.lines().first().contains(QStringLiteral("InvalidHandle")))
        << warnings.lines().first().toStdString();

    // Gone while failing: still the one warning.
    purple.stop();
    pidgin->SetYahooStatus(u"gone");
    EXPECT_EQ(warnings.lines().size(), 1);

    startPurple();
    purple.setMode(FakePurple::Mode::Answer);
    pidgin->SetYahooStatus(u"taken");
    EXPECT_EQ(purple.status(purple.current()).message, QStringLiteral("taken"));
    purple.setMode(FakePurple::Mode::Fail);
    pidgin->SetYahooStatus(u"refused again");
    EXPECT_EQ(warnings.lines().size(), 2) << "a new failure after a success is told again";
}

TEST_F(PidginStatusTest, HungPidginCostsAStatusNoMoreThanTheTimeLimit)
{
    startPurple();
    purple.setMode(FakePurple::Mode::Hang);
    for (int i = 0; i < 2; ++i) {
        const qint64 elapsed = publishTimed(u"no answer");
        EXPECT_GE(elapsed, 1900);
        EXPECT_LT(elapsed, 3500) << "one 2 s limit for all of a status's calls";
    }
    EXPECT_THAT(purple.calls(), ElementsAre("GetCurrent", "GetCurrent"));
    EXPECT_EQ(warnings.lines().size(), 1);
}

} // namespace
} // namespace tessaly::test
