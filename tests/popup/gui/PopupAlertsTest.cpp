// The refresh's popup step through PopupAlerts: new popups and the in-place update.

#include "popup/PopupAlerts.h"

#include "popup/common/PopupFakes.h"
#include "popup/Mnemonic.h"

#include <gtest/gtest.h>

namespace {

using namespace tessaly;
using tessaly::test::CloseAllPopups;
using tessaly::test::FakeOwner;
using tessaly::test::FakePlayer;
using tessaly::test::FakeStore;
using tessaly::test::LoadedPopups;

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

    FakeStore store;
    FakePlayer player;
    FakeOwner owner;
    PopupAlerts alerts{store, owner};
};

TEST_F(RefreshPopups, LocalTrackShowsTheTrackFormWithAmpersandsLiteral)
{
    owner.Refresh(alerts, QStringLiteral("Simon & Garfunkel"), QStringLiteral("R&B"),
                  QStringLiteral("Night & Day"));
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->lblTitle->Caption(), QStringLiteral("iTunes Playing..."));
    EXPECT_EQ(popup->lbl_Artist->Caption(), QStringLiteral("Simon && Garfunkel"));
    EXPECT_EQ(MnemonicPlainText(popup->lbl_Album->Caption()), QStringLiteral("R&B"));
    EXPECT_EQ(MnemonicPlainText(popup->lbl_Title->Caption()), QStringLiteral("Night & Day"));
    EXPECT_TRUE(popup->lblAlert->Caption().isEmpty());
    EXPECT_FALSE(popup->imgPause[0]->isHidden());
}

TEST_F(RefreshPopups, RadioShowsTheMessageUnchanged)
{
    const QString msg = QStringLiteral("Radio & Co\r\n\r\nSome - Title");
    owner.Refresh(alerts, QString(), QString(), QStringLiteral("Some - Title"), msg);
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->lblTitle->Caption(), QStringLiteral("iTunes Radio..."));
    EXPECT_EQ(popup->lblAlert->Caption(), msg); // not doubled
    EXPECT_TRUE(popup->imgPause[0]->isHidden());
    EXPECT_EQ(popup->lblLink->Caption(), QStringLiteral("Label1"));
}

TEST_F(RefreshPopups, BackThenRefreshUpdatesTheSamePopupRawAndRestartsItsHold)
{
    owner.Refresh(alerts, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    const int holds = popup->Motion().HoldStarts();
    popup->imgBack_Click();
    owner.Refresh(alerts, QStringLiteral("Tom & Jerry"), QString(), QStringLiteral("T2"));
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
    owner.Refresh(alerts, QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("Z"));
    EXPECT_EQ(OnlyPopup(), popup);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("Z"));
}

TEST_F(RefreshPopups, TwoClicksBeforeOneRefreshUpdateThenOpenANewPopup)
{
    owner.Refresh(alerts, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    popup->imgForward_Click();
    popup->imgForward_Click();
    owner.Refresh(alerts, QStringLiteral("A2"), QStringLiteral("B2"), QStringLiteral("C2"));
    EXPECT_EQ(OnlyPopup(), popup);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("C2"));
    owner.Refresh(alerts, QStringLiteral("A3"), QStringLiteral("B3"), QStringLiteral("C3"));
    EXPECT_EQ(LoadedPopups().size(), 2u);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("C2"));
}

TEST_F(RefreshPopups, AClosedRecordedPopupMakesTheUpdateHarmless)
{
    owner.Refresh(alerts, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    frmAlert6* popup = OnlyPopup();
    ASSERT_TRUE(popup);
    popup->imgBack_Click();
    popup->imgX_Click(); // closed, its deletion still pending
    owner.Refresh(alerts, QStringLiteral("A2"), QStringLiteral("B2"), QStringLiteral("C2"));
    EXPECT_TRUE(LoadedPopups().empty());
    EXPECT_FALSE(owner.bAlertChange);

    // And once it is deleted: the record is a null pointer.
    owner.Refresh(alerts, QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"));
    frmAlert6* second = OnlyPopup();
    ASSERT_TRUE(second);
    second->imgForward_Click();
    second->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(owner.oAlert.isNull());
    owner.Refresh(alerts, QStringLiteral("A4"), QStringLiteral("B4"), QStringLiteral("C4"));
    EXPECT_TRUE(LoadedPopups().empty());
}

TEST_F(RefreshPopups, UpdateOfSomethingThatIsNoPopupDoesNothing)
{
    QWidget other;
    alerts.UpdateRecordedAlert(&other, QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("c"));
    alerts.UpdateRecordedAlert(nullptr, QStringLiteral("a"), QStringLiteral("b"),
                               QStringLiteral("c"));
    EXPECT_TRUE(LoadedPopups().empty());
}

} // namespace
