// The configuration handlers as the widgets start them: a click, a keystroke, an arrow or the end
// of a drag reaches its handler, and the opacity floor's re-entry runs through the real scroll
// bar's signal. The handlers' rules are proven without Qt in the shell's core suite.

#include "Fakes.h"
#include "shell/qt/SpinScrollBar.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QStyleOptionSlider>
#include <QTest>

namespace tessaly::test {
namespace {

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
              (Writes{{u"Ballons", u"0"}, {u"Minimized", u"1"}, {u"RadioPlayList", u"1"}}));
}

TEST_F(Loaded, TextBoxesWriteEveryKeystroke)
{
    w->txtFormatString->clear();
    w->txtPlaylist->clear();
    rig.store.writes.clear();
    QTest::keyClicks(w->txtFormatString, "%T");
    QTest::keyClicks(w->txtPlaylist, "a.m3u");
    EXPECT_EQ(rig.store.writes, kKeystrokeWrites);
    EXPECT_EQ(w->Controller().FormatString(), u"%T");
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
    EXPECT_EQ(rig.store.writes,
              (Writes{{u"Opacity", u"81"}, {u"Opacity", u"80"}, {u"Opacity", u"79"}}));

    // Keys follow the arrows.
    QTest::keyClick(w->VSOpacity, Qt::Key_Up);
    EXPECT_EQ(w->VSOpacity->Value(), 80);
}

TEST_F(Loaded, DragNotifiesOnlyAtItsEnd)
{
    w->VSOpacity->setSliderDown(true);
    w->VSOpacity->setSliderPosition(40);
    w->VSOpacity->setSliderPosition(30);
    EXPECT_TRUE(rig.store.writes.empty());
    w->VSOpacity->setSliderDown(false);
    EXPECT_EQ(rig.store.writes, (Writes{{u"Opacity", u"70"}}));
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
    EXPECT_EQ(rig.store.writes, (Writes{{u"MainOpacity", u"20"}, {u"MainOpacity", u"20"}}));
    EXPECT_EQ(qRound(w->windowOpacity() * 255), 51);

    w->VSMainOpacity->SetValue(0);
    EXPECT_EQ(rig.Stored("MainOpacity"), "20");
    EXPECT_EQ(qRound(w->windowOpacity() * 255), 51);
}

} // namespace
} // namespace tessaly::test
