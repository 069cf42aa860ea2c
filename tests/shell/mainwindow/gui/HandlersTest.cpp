// The configuration handlers: each control's write, the opacity floor's re-entry, and when a new
// format string takes effect.

#include "Fakes.h"
#include "shell/SpinScrollBar.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QStyleOptionSlider>
#include <QTest>

namespace tessaly::test {
namespace {

using Writes = std::vector<std::pair<QString, QString>>;

struct Loaded : ::testing::Test {
    void SetUp() override
    {
        w = &rig.Load();
        rig.store.writes.clear();
    }
    MainWindowRig rig;
    frmMain* w = nullptr;
};

// The arrows as a click on them acts: the upper one is Qt's sub-line control.
void UpperArrow(SpinScrollBar* bar)
{
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
}
void LowerArrow(SpinScrollBar* bar)
{
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
}

TEST_F(Loaded, CheckBoxesWriteTheirValue)
{
    w->chkShowBallons->click();
    w->chkStartMinimized->click();
    w->chkPlaylist->click();
    EXPECT_EQ(rig.store.writes,
              (Writes{{"Ballons", "0"}, {"Minimized", "1"}, {"RadioPlayList", "1"}}));
}

TEST_F(Loaded, NotificationsSwitchDecidesTheNextRefreshOnly)
{
    w->chkShowBallons->click();
    w->NowPlaying("a", "b", "c", w->FormatString(), "");
    EXPECT_TRUE(rig.alerts->calls.empty());
    w->chkShowBallons->click();
    w->NowPlaying("a", "b", "c", w->FormatString(), "");
    EXPECT_EQ(rig.alerts->calls.size(), 1u);
}

TEST_F(Loaded, TextBoxesWriteEveryKeystroke)
{
    w->txtFormatString->clear();
    w->txtPlaylist->clear();
    rig.store.writes.clear();
    QTest::keyClicks(w->txtFormatString, "%T");
    QTest::keyClicks(w->txtPlaylist, "a.m3u");
    EXPECT_EQ(rig.store.writes, (Writes{{"Format", "%"},
                                        {"Format", "%T"},
                                        {"PlaylistFile", "a"},
                                        {"PlaylistFile", "a."},
                                        {"PlaylistFile", "a.m"},
                                        {"PlaylistFile", "a.m3"},
                                        {"PlaylistFile", "a.m3u"}}));
    EXPECT_EQ(w->FormatString(), "%T");
}

TEST_F(Loaded, UpperArrowRaisesLowerArrowLowers)
{
    // The upper arrow is the control at the top of the bar.
    QStyleOptionSlider option;
    option.initFrom(w->VSOpacity);
    option.orientation = Qt::Vertical;
    option.minimum = 0;
    option.maximum = 100;
    const QRect sub = w->VSOpacity->style()->subControlRect(
        QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSubLine, w->VSOpacity);
    const QRect add = w->VSOpacity->style()->subControlRect(
        QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarAddLine, w->VSOpacity);
    EXPECT_LT(sub.top(), add.top());

    UpperArrow(w->VSOpacity);
    EXPECT_EQ(w->VSOpacity->Value(), 81);
    EXPECT_EQ(w->txtOpacity->text(), "81");
    LowerArrow(w->VSOpacity);
    LowerArrow(w->VSOpacity);
    EXPECT_EQ(w->txtOpacity->text(), "79");
    EXPECT_EQ(rig.store.writes, (Writes{{"Opacity", "81"}, {"Opacity", "80"}, {"Opacity", "79"}}));

    // Keys follow the arrows.
    QTest::keyClick(w->VSOpacity, Qt::Key_Up);
    EXPECT_EQ(w->VSOpacity->Value(), 80);
}

TEST_F(Loaded, PopupOpacityGoesDownToZeroWithoutTouchingTheWindow)
{
    const double before = w->windowOpacity();
    w->VSOpacity->SetValue(0);
    EXPECT_EQ(rig.store.values["Opacity"], "0");
    EXPECT_EQ(w->windowOpacity(), before);
}

TEST_F(Loaded, DragNotifiesOnlyAtItsEnd)
{
    w->VSOpacity->setSliderDown(true);
    w->VSOpacity->setSliderPosition(40);
    w->VSOpacity->setSliderPosition(30);
    EXPECT_TRUE(rig.store.writes.empty());
    w->VSOpacity->setSliderDown(false);
    EXPECT_EQ(rig.store.writes, (Writes{{"Opacity", "70"}}));
}

TEST_F(Loaded, MainOpacityFollowsLiveAndHoldsItsFloorByReentry)
{
    LowerArrow(w->VSMainOpacity);
    EXPECT_EQ(qRound(w->windowOpacity() * 255), 201); // 79 %
    w->VSMainOpacity->SetValue(20);
    rig.store.writes.clear();

    LowerArrow(w->VSMainOpacity); // 19: at once back to 20, the nested run writing first
    EXPECT_EQ(w->VSMainOpacity->Value(), 20);
    EXPECT_EQ(w->txtMainOpacity->text(), "20");
    EXPECT_EQ(rig.store.writes, (Writes{{"MainOpacity", "20"}, {"MainOpacity", "20"}}));
    EXPECT_EQ(qRound(w->windowOpacity() * 255), 51);

    w->VSMainOpacity->SetValue(0);
    EXPECT_EQ(rig.store.values["MainOpacity"], "20");
    EXPECT_EQ(qRound(w->windowOpacity() * 255), 51);
}

TEST_F(Loaded, NewFormatTakesEffectAtTheNextRefresh)
{
    rig.player.events->OnPlayerPlayEvent(FakeTrack({kFileKind, u"artist", u"album", u"song"}));
    ASSERT_EQ(rig.publisher.statuses.size(), 1u);
    const QString shown = w->txtNowPlaying->text();

    w->txtFormatString->setText("%T by %A");
    EXPECT_EQ(w->txtNowPlaying->text(), shown);
    EXPECT_EQ(rig.publisher.statuses.size(), 1u);

    rig.player.events->OnPlayerPlayEvent(FakeTrack({kFileKind, u"artist", u"album", u"song"}));
    EXPECT_EQ(w->txtNowPlaying->text(), "Song By Artist");
    EXPECT_EQ(rig.publisher.statuses.back(), "Song By Artist");
}

} // namespace
} // namespace tessaly::test
