// The refresh's popup step through PopupAlerts: new popups and the in-place update by id.

#include "popup/qt/PopupAlerts.h"

#include "common/qt/QtText.h"
#include "common/Settings.h"
#include "popup/common/PopupFakes.h"
#include "popup/Mnemonic.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

using namespace tessaly;
using namespace tessaly::test;

QString Plain(const AlertLabel* label)
{
    return ToQString(MnemonicPlainText(ToU16(label->Caption())));
}

class RefreshPopups : public ::testing::Test {
protected:
    RefreshPopups() { owner.player = &player; }
    void TearDown() override { CloseAllPopups(); }

    frmAlert6* OnlyPopup()
    {
        const std::vector<frmAlert6*> popups = LoadedPopups();
        EXPECT_EQ(popups.size(), 1u);
        return popups.size() == 1 ? popups.front() : nullptr;
    }

    MemorySettingsStore store;
    FakePlayer player;
    FakeOwner owner;
    PopupAlerts alerts{store, owner};
};

TEST_F(RefreshPopups, LocalTrackShowsTheTrackFormWithAmpersandsLiteral)
{
    owner.Refresh(alerts, u"Simon & Garfunkel", u"R&B", u"Night & Day");
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->lblTitle->Caption(), QStringLiteral("iTunes Playing..."));
    EXPECT_EQ(popup->lbl_Artist->Caption(), QStringLiteral("Simon && Garfunkel"));
    EXPECT_EQ(Plain(popup->lbl_Album), QStringLiteral("R&B"));
    EXPECT_EQ(Plain(popup->lbl_Title), QStringLiteral("Night & Day"));
    EXPECT_TRUE(popup->lblAlert->Caption().isEmpty());
    EXPECT_FALSE(popup->imgPause[0]->isHidden());
    EXPECT_TRUE(popup->isVisible());
}

TEST_F(RefreshPopups, RadioShowsTheMessageUnchanged)
{
    const std::u16string msg = u"Radio & Co\r\n\r\nSome - Title";
    owner.Refresh(alerts, u"", u"", u"Some - Title", msg);
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->lblTitle->Caption(), QStringLiteral("iTunes Radio..."));
    EXPECT_EQ(popup->lblAlert->Caption(), ToQString(msg)); // not doubled
    EXPECT_TRUE(popup->imgPause[0]->isHidden());
    EXPECT_EQ(popup->lblLink->Caption(), QStringLiteral("Label1"));
}

TEST_F(RefreshPopups, EveryPopupHasItsOwnIdAndNoneIsZero)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    owner.Refresh(alerts, u"", u"", u"T", u"M");
    const std::vector<frmAlert6*> popups = LoadedPopups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_NE(popups[0]->Id(), kNoPopup);
    EXPECT_NE(popups[1]->Id(), kNoPopup);
    EXPECT_NE(popups[0]->Id(), popups[1]->Id());
    EXPECT_EQ(frmAlert6::Loaded(popups[1]->Id()), popups[1]);
}

TEST_F(RefreshPopups, BackThenRefreshUpdatesTheSamePopupRawAndRestartsItsHold)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    const int holds = popup->Motion().HoldStarts();
    popup->imgBack_Click();
    EXPECT_EQ(owner.oAlert, popup->Id());
    owner.Refresh(alerts, u"Tom & Jerry", u"", u"T2");
    EXPECT_EQ(OnlyPopup(), popup);
    EXPECT_FALSE(owner.bAlertChange);
    EXPECT_EQ(popup->lbl_Artist->Caption(), QStringLiteral("Tom & Jerry")); // raw
    EXPECT_EQ(popup->lbl_Album->Caption(), QString());
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("T2"));
    EXPECT_EQ(popup->lblTitle->Caption(), QStringLiteral("iTunes Playing..."));
    EXPECT_EQ(popup->Motion().HoldStarts(), holds + 1);
    EXPECT_TRUE(popup->Timer2.isActive());

    // Every click records again: Forward and its refresh update the same popup once more.
    popup->imgForward_Click();
    owner.Refresh(alerts, u"X", u"Y", u"Z");
    EXPECT_EQ(OnlyPopup(), popup);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("Z"));
}

TEST_F(RefreshPopups, TheUpdateReachesOnlyTheRecordedPopup)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    owner.Refresh(alerts, u"D", u"E", u"F");
    std::vector<frmAlert6*> popups = LoadedPopups();
    ASSERT_EQ(popups.size(), 2u);
    popups[0]->imgForward_Click();
    owner.Refresh(alerts, u"A2", u"B2", u"C2");
    EXPECT_EQ(popups[0]->lbl_Title->Caption(), QStringLiteral("C2"));
    EXPECT_EQ(popups[1]->lbl_Title->Caption(), QStringLiteral("F"));
}

TEST_F(RefreshPopups, TwoClicksBeforeOneRefreshUpdateThenOpenANewPopup)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    popup->imgForward_Click();
    popup->imgForward_Click();
    owner.Refresh(alerts, u"A2", u"B2", u"C2");
    EXPECT_EQ(OnlyPopup(), popup);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("C2"));
    owner.Refresh(alerts, u"A3", u"B3", u"C3");
    EXPECT_EQ(LoadedPopups().size(), 2u);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("C2"));
}

TEST_F(RefreshPopups, AClosedRecordedPopupMakesTheUpdateHarmless)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    popup->imgBack_Click();
    popup->imgX_Click(); // closed, its window kept for a later popup
    owner.Refresh(alerts, u"A2", u"B2", u"C2");
    EXPECT_TRUE(LoadedPopups().empty());
    EXPECT_FALSE(owner.bAlertChange);

    // And once it is deleted: its id names nothing.
    owner.Refresh(alerts, u"A", u"B", u"C");
    frmAlert6* second = OnlyPopup();
    ASSERT_TRUE(second);
    second->imgForward_Click();
    const PopupId recorded = owner.oAlert;
    second->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frmAlert6::Loaded(recorded), nullptr);
    owner.Refresh(alerts, u"A4", u"B4", u"C4");
    EXPECT_TRUE(LoadedPopups().empty());
    EXPECT_FALSE(owner.bAlertChange);
}

TEST_F(RefreshPopups, TheIdOfAPopupWhoseWindowWasReloadedUpdatesNothing)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    popup->imgBack_Click();
    const PopupId recorded = owner.oAlert;
    popup->Unload();

    // The next refresh opens a new popup in the same window.
    owner.bAlertChange = false;
    owner.Refresh(alerts, u"A2", u"B2", u"C2");
    ASSERT_EQ(OnlyPopup(), popup);
    ASSERT_NE(popup->Id(), recorded);
    const int holds = popup->Motion().HoldStarts();
    alerts.UpdateRecordedAlert(recorded, u"x", u"y", u"z");
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("C2"));
    EXPECT_EQ(popup->lbl_Album->Caption(), QStringLiteral("B2"));
    EXPECT_EQ(popup->Motion().HoldStarts(), holds);
}

TEST_F(RefreshPopups, UpdateOfAnIdThatNamesNoPopupDoesNothing)
{
    owner.Refresh(alerts, u"A", u"B", u"C");
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    const int holds = popup->Motion().HoldStarts();
    for (const PopupId id : {kNoPopup, popup->Id() + 1, std::numeric_limits<PopupId>::max()})
        alerts.UpdateRecordedAlert(id, u"a", u"b", u"c");
    EXPECT_EQ(OnlyPopup(), popup);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("C"));
    EXPECT_EQ(popup->Motion().HoldStarts(), holds);
}

} // namespace
