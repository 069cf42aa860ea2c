// The popup window offscreen: its load step, the two forms MSN6 builds, and its controls.

#include "common/qt/QtText.h"
#include "common/Settings.h"
#include "popup/cAlert.h"
#include "popup/common/PopupFakes.h"
#include "popup/qt/frmAlert6.h"
#include "popup/qt/PopupArt.h"
#include "popup/RefreshAlert.h"
#include "support/ChildProcess.h"

#include <functional>
#include <gtest/gtest.h>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QUrl>
#include <set>
#include <tuple>

namespace {

using namespace tessaly;
using tessaly::test::CloseAllPopups;
using tessaly::test::FakeOwner;
using tessaly::test::FakePlayer;
using tessaly::test::LoadedPopups;

class PopupWindow : public ::testing::Test {
protected:
    void TearDown() override { CloseAllPopups(); }

    // A popup as MSN6 builds it, with the alert's members set by fill.
    template <typename Fill> frmAlert6* Open(Fill fill)
    {
        const std::vector<frmAlert6*> before = LoadedPopups();
        cAlert alert(windows);
        fill(alert);
        alert.MSN6();
        for (frmAlert6* popup : LoadedPopups())
            if (std::find(before.begin(), before.end(), popup) == before.end())
                return popup;
        ADD_FAILURE() << "MSN6 opened no popup";
        return nullptr;
    }

    frmAlert6* OpenTrack()
    {
        return Open([](cAlert& a) {
            a.Title = u"iTunes Playing...";
            a.Artist = u"The Example Band";
            a.Album = u"Road Songs";
            a.SongTitle = u"Night Drive";
        });
    }

    MemorySettingsStore store;
    FakePlayer player;
    FakeOwner owner;
    AlertWindows windows{store, owner};
};

// Takes the addresses the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QStringList opened;
    Q_INVOKABLE void open(const QUrl& url) { opened.append(url.toString()); }
};

bool Shown(const QWidget* control)
{
    return !control->isHidden();
}

TEST_F(PopupWindow, LoadsAtTheBottomRightSixPixelsHighWithTimer1Running)
{
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int client = FullScreenClientHeight();
    EXPECT_EQ(popup->objectName(), QStringLiteral("frmAlert6"));
    EXPECT_EQ(popup->geometry(), QRect(screen.right() + 1 - 249, client + 20, 254, 6));
    EXPECT_TRUE(popup->Timer1.isActive());
    EXPECT_FALSE(popup->Timer2.isActive());
    EXPECT_FALSE(popup->Timer3.isActive());
    EXPECT_EQ(popup->Timer1.interval(), 16);
    EXPECT_EQ(popup->Timer2.interval(), 5000);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(popup->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(popup->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(PopupWindow, OpacityFromTheStore)
{
    const struct {
        const char* stored; // null: no value stored
        double opacity;
    } cases[] = {
        {nullptr, 204 / 255.0}, {"100", 1.0},         {"50", 128 / 255.0}, {"0", 0.0},
        {"101", 1.0},           {"abc", 204 / 255.0},
    };
    for (const auto& c : cases) {
        MemorySettingsStore stored;
        if (c.stored)
            stored.write(u"Opacity", ToU16(QString::fromLatin1(c.stored)));
        AlertWindows opacityWindows(stored, owner);
        cAlert alert(opacityWindows);
        alert.MSN6();
        const std::vector<frmAlert6*> popups = LoadedPopups();
        ASSERT_EQ(popups.size(), 1u);
        EXPECT_NEAR(popups.front()->windowOpacity(), c.opacity, 1e-3)
            << (c.stored ? c.stored : "none");
        CloseAllPopups();
    }
}

TEST_F(PopupWindow, RisesHoldsAndSinksOnItsTimers)
{
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    const int bottom = popup->geometry().bottom();
    ASSERT_TRUE(test::WaitUntil([&] { return popup->Timer2.isActive(); }, 5000));
    EXPECT_EQ(popup->height(), 117);
    EXPECT_EQ(popup->geometry().bottom(), bottom);
    EXPECT_FALSE(popup->Timer1.isActive());
    popup->Timer2_Timer(); // the hold is over
    EXPECT_TRUE(popup->Timer3.isActive());
    // Unloaded at the end of the slide-out; its deletion may follow at once.
    const QPointer<frmAlert6> guard(popup);
    ASSERT_TRUE(test::WaitUntil([&] { return !guard || guard->IsUnloaded(); }, 5000));
    EXPECT_TRUE(!guard || !guard->isVisible());
}

TEST_F(PopupWindow, TrackFormFillsTheRowsAndKeepsTheButtons)
{
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->lblTitle->Caption(), QStringLiteral("iTunes Playing..."));
    EXPECT_EQ(popup->lbl_Artist->Caption(), QStringLiteral("The Example Band"));
    EXPECT_EQ(popup->lbl_Album->Caption(), QStringLiteral("Road Songs"));
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("Night Drive"));
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             popup->lblArtist, popup->lblAlbum, popup->lblSongTitle, popup->imgBack[0],
             popup->imgPause[0], popup->imgForward[0], popup->imgX})
        EXPECT_TRUE(Shown(control)) << control->objectName().toStdString();
    for (int i = 1; i < 3; ++i)
        EXPECT_FALSE(Shown(popup->imgBack[i]));
    EXPECT_TRUE(popup->lblAlert->Caption().isEmpty());
    EXPECT_EQ(popup->lblLink->Caption(), QStringLiteral("Label1"));
}

TEST_F(PopupWindow, EmptyMembersHideTheirRowCaptions)
{
    frmAlert6* popup = Open([](cAlert& a) { a.Artist = u"Only Artist"; });
    ASSERT_TRUE(popup);
    EXPECT_TRUE(Shown(popup->lblArtist));
    EXPECT_FALSE(Shown(popup->lblAlbum));
    EXPECT_FALSE(Shown(popup->lblSongTitle));
    EXPECT_TRUE(popup->lbl_Album->Caption().isEmpty());
    EXPECT_TRUE(popup->lblTitle->Caption().isEmpty());

    frmAlert6* bare = Open([](cAlert&) {});
    ASSERT_TRUE(bare);
    EXPECT_FALSE(Shown(bare->lblArtist) || Shown(bare->lblAlbum) || Shown(bare->lblSongTitle));
    EXPECT_TRUE(Shown(bare->imgBack[0]) && Shown(bare->imgPause[0]) && Shown(bare->imgForward[0]));
}

TEST_F(PopupWindow, MessageFormHidesRowsAndButtonsEvenWithTrackMembers)
{
    const std::u16string message = u"Radio One\r\n\r\nA & B - Song";
    frmAlert6* popup = Open([&](cAlert& a) {
        a.Title = u"iTunes Radio...";
        a.Artist = u"ignored";
        a.Message = message;
    });
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->lblAlert->Caption(), ToQString(message));
    EXPECT_TRUE(popup->lblAlert->RichText().contains(QStringLiteral("<br><br>")));
    EXPECT_TRUE(popup->lbl_Artist->Caption().isEmpty());
    for (const QWidget* control : std::initializer_list<const QWidget*>{
             popup->lblArtist, popup->lblAlbum, popup->lblSongTitle, popup->imgBack[0],
             popup->imgPause[0], popup->imgForward[0]})
        EXPECT_FALSE(Shown(control)) << control->objectName().toStdString();
    EXPECT_TRUE(Shown(popup->imgX));
}

TEST_F(PopupWindow, AmpersandInACaptionUnderlinesTheNextCharacter)
{
    frmAlert6* popup = Open([](cAlert& a) {
        a.Artist = u"Simon & Garfunkel";
        a.Album = u"Simon && Garfunkel";
    });
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->lbl_Artist->RichText().contains(QStringLiteral("Simon <u> </u>Garfunkel")));
    EXPECT_TRUE(popup->lbl_Album->RichText().contains(QStringLiteral("Simon &amp; Garfunkel")));
}

TEST_F(PopupWindow, LinkOnATrackPopupMakesTheMessageAreaAHandLink)
{
    UrlCatcher catcher;
    QStringList& opened = catcher.opened;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");

    frmAlert6* plain = OpenTrack();
    ASSERT_TRUE(plain);
    EXPECT_NE(plain->lblAlert->cursor().shape(), Qt::BitmapCursor);
    plain->lblAlert_Click();
    EXPECT_TRUE(opened.isEmpty());

    frmAlert6* linked = Open([](cAlert& a) {
        a.Artist = u"x";
        a.Link = true;
        a.sUrl = u"https://example.org/tessaly";
    });
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked->lblAlert->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(linked->lblLink->Caption(), QStringLiteral("True"));
    EXPECT_EQ(linked->lblURL->Caption(), QStringLiteral("https://example.org/tessaly"));
    linked->lblAlert_Click();
    EXPECT_EQ(opened, QStringList{QStringLiteral("https://example.org/tessaly")});

    linked->lblLink->SetCaption(QStringLiteral("true")); // compared exactly
    linked->lblAlert_Click();
    EXPECT_EQ(opened.size(), 1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

TEST_F(PopupWindow, TwoCallsOpenTwoPopupsAtTheSamePlace)
{
    cAlert alert(windows);
    alert.Artist = u"A";
    alert.MSN6();
    alert.MSN6();
    const std::vector<frmAlert6*> popups = LoadedPopups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_NE(popups[0], popups[1]);
    EXPECT_EQ(popups[0]->geometry(), popups[1]->geometry());
}

TEST_F(PopupWindow, BackAndForwardDriveThePlayerAndRecordThePopup)
{
    owner.player = &player;
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    popup->imgBack_Click();
    EXPECT_EQ(player.calls, std::vector<std::string>{"PreviousTrack"});
    EXPECT_TRUE(owner.bAlertChange);
    EXPECT_EQ(owner.oAlert, popup->Id());
    EXPECT_NE(owner.oAlert, kNoPopup);

    owner.bAlertChange = false;
    owner.oAlert = kNoPopup;
    popup->imgForward_Click();
    EXPECT_EQ(player.calls.back(), "NextTrack");
    EXPECT_TRUE(owner.bAlertChange);
    EXPECT_EQ(owner.oAlert, popup->Id());

    owner.bAlertChange = false;
    popup->imgPause_Click();
    EXPECT_EQ(player.calls.back(), "PlayPause");
    EXPECT_FALSE(owner.bAlertChange);
    EXPECT_EQ(popup->lbl_Title->Caption(), QStringLiteral("Night Drive"));
}

TEST_F(PopupWindow, AFailedOrMissingPlayerLeavesThePopupAndRecordsNothing)
{
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    popup->imgForward_Click(); // no player at all
    owner.player = &player;
    player.result = PlayerResult::NoPlayer;
    popup->imgBack_Click();
    player.result = PlayerResult::Failed;
    popup->imgPause_Click();
    EXPECT_FALSE(owner.bAlertChange);
    EXPECT_EQ(frmAlert6::Loaded(popup->Id()), popup);
    EXPECT_TRUE(popup->isVisible());
}

void Click(QWidget* button)
{
    const QPointF centre = QRectF(button->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QCoreApplication::sendEvent(button, &release);
}

TEST_F(PopupWindow, ACleanClickOnAButtonReachesItsHandler)
{
    owner.player = &player;
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    QWidget* button = popup->imgPause[0];
    Click(button);
    EXPECT_EQ(player.calls, std::vector<std::string>{"PlayPause"});

    // Released outside the button: no click.
    const QPointF centre = QRectF(button->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    const QPointF outside(-5, -5);
    QMouseEvent away(QEvent::MouseButtonRelease, outside, button->mapToGlobal(outside),
                     Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &press);
    QCoreApplication::sendEvent(button, &away);
    EXPECT_EQ(player.calls.size(), 1u);
}

TEST_F(PopupWindow, AFailureBehindAButtonEndsInItsHandler)
{
    owner.player = &player;
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    player.throws = true;
    for (QWidget* button : {popup->imgBack[0], popup->imgPause[0], popup->imgForward[0]})
        EXPECT_NO_THROW(Click(button)) << button->objectName().toStdString();
    EXPECT_EQ(player.calls.size(), 3u);
    EXPECT_FALSE(owner.bAlertChange);

    // The player did it but the main window could not take the record.
    player.throws = false;
    owner.recordThrows = true;
    EXPECT_NO_THROW(Click(popup->imgForward[0]));
    EXPECT_EQ(player.calls.back(), "NextTrack");
    EXPECT_FALSE(owner.bAlertChange);
    EXPECT_EQ(frmAlert6::Loaded(popup->Id()), popup);
}

TEST_F(PopupWindow, CloseUnloadsAtOnceEvenDuringTheSlideIn)
{
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    QPointer<frmAlert6> guard(popup);
    popup->imgX_Click();
    EXPECT_FALSE(popup->isVisible());
    EXPECT_FALSE(popup->Timer1.isActive());
    EXPECT_EQ(frmAlert6::Loaded(popup->Id()), nullptr);
    // Its window waits, hidden, for the next popup.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(guard.isNull());
    EXPECT_EQ(windows.KeptWindows(), 1u);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(OpenTrack(), popup);
    EXPECT_EQ(windows.KeptWindows(), 0u);
}

void MoveOver(QWidget* control)
{
    const QPointF at(1, 1);
    QMouseEvent move(QEvent::MouseMove, at, control->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(control, &move);
}

TEST_F(PopupWindow, HoverPicturesAndTheBareWindowRestartingTheHold)
{
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    const auto picture = [](AlertImage* image) {
        return image->Picture().cacheKey();
    };
    MoveOver(popup->imgBack[0]);
    MoveOver(popup->imgPause[0]);
    MoveOver(popup->imgForward[0]);
    MoveOver(popup->imgX);
    EXPECT_EQ(picture(popup->imgBack[0]), picture(popup->imgBack[2]));
    EXPECT_EQ(picture(popup->imgPause[0]), picture(popup->imgPause[2]));
    EXPECT_EQ(picture(popup->imgForward[0]), picture(popup->imgForward[2]));
    EXPECT_EQ(picture(popup->imgX), picture(popup->imgXOver));

    // Over a label the hold is not extended and the pictures stay.
    const int holds = popup->Motion().HoldStarts();
    MoveOver(popup->lbl_Artist);
    MoveOver(popup->lblAlert);
    EXPECT_EQ(popup->Motion().HoldStarts(), holds);
    EXPECT_FALSE(popup->Timer2.isActive());
    EXPECT_EQ(picture(popup->imgBack[0]), picture(popup->imgBack[2]));

    // The title puts only the close button back.
    MoveOver(popup->lblTitle);
    EXPECT_EQ(picture(popup->imgX), picture(popup->imgXNormal));
    EXPECT_EQ(picture(popup->imgPause[0]), picture(popup->imgPause[2]));

    // The bare window: every normal picture back, the hold started (early, in the slide-in).
    MoveOver(popup->imgX);
    MoveOver(popup);
    EXPECT_EQ(picture(popup->imgX), picture(popup->imgXNormal));
    EXPECT_EQ(picture(popup->imgBack[0]), picture(popup->imgBack[1]));
    EXPECT_EQ(picture(popup->imgPause[0]), picture(popup->imgPause[1]));
    EXPECT_EQ(picture(popup->imgForward[0]), picture(popup->imgForward[1]));
    EXPECT_EQ(popup->Motion().HoldStarts(), holds + 1);
    EXPECT_TRUE(popup->Timer2.isActive());
    EXPECT_TRUE(popup->Timer1.isActive());
}

// What the window would show if every control painted itself over the background, at full height.
QImage NormalRender(frmAlert6* popup, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(popup->palette().color(QPalette::Window));
    QPainter painter(&image);
    painter.drawPixmap(0, 0, PopupPixmap(PopupPicture::Background));
    for (QObject* child : popup->children()) {
        auto* control = qobject_cast<AlertControl*>(child);
        if (!control || control->isHidden())
            continue;
        // Each control on its own, without the window's background colour over the picture.
        QPixmap piece(control->size());
        piece.fill(Qt::transparent);
        control->SetDrawnByWindow(false);
        control->render(&piece, QPoint(), QRegion(), QWidget::RenderFlags());
        control->SetDrawnByWindow(true);
        painter.drawPixmap(control->pos(), piece);
    }
    return image;
}

// Pixels that differ by more than antialiasing's rounding between two pictures of the same size.
int DifferingPixels(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8 ||
                std::abs(qBlue(p) - qBlue(q)) > 8)
                ++differing;
        }
    return differing;
}

TEST_F(PopupWindow, ItsContentPictureIsWhatTheControlsPaintAndFollowsEveryChange)
{
    owner.player = &player;
    frmAlert6* popup = OpenTrack();
    ASSERT_TRUE(popup);
    const QSize full(254, 117);
    const auto content = [&] {
        return popup->Content()
            .toImage()
            .copy(QRect(QPoint(0, 0), full))
            .convertToFormat(QImage::Format_RGB32);
    };
    ASSERT_GE(popup->Content().height(), full.height()); // full height while still rising
    EXPECT_EQ(DifferingPixels(content(), NormalRender(popup, full)), 0);

    const struct {
        const char* change;
        std::function<void()> apply;
    } changes[] = {
        {"rows updated in place",
         [&] {
             UpdateAlertRows(*popup, u"Other Album", u"Other & Band", u"Other Song");
         }},
        {"hover picture",
         [&] {
             popup->imgBack_MouseMove();
         }},
        {"close button hover",
         [&] {
             popup->imgX_MouseMove();
         }},
        {"pictures back to normal",
         [&] {
             popup->Form_MouseMove();
         }},
        {"a row hidden",
         [&] {
             popup->Hide(AlertPart::lblAlbum);
         }},
        {"the message",
         [&] {
             popup->SetCaption(AlertText::lblAlert, u"Radio\r\n\r\nNews");
         }},
    };
    for (const auto& c : changes) {
        const QImage before = content();
        c.apply();
        const QImage after = content();
        EXPECT_GT(DifferingPixels(before, after), 0) << c.change;
        EXPECT_EQ(DifferingPixels(after, NormalRender(popup, full)), 0) << c.change;
    }

    // The window at full height shows that picture.
    ASSERT_TRUE(test::WaitUntil([&] { return !popup->Timer1.isActive(); }, 5000));
    EXPECT_EQ(popup->size(), full);
    EXPECT_EQ(
        DifferingPixels(popup->grab().toImage().convertToFormat(QImage::Format_RGB32), content()),
        0);
}

// Everything of a popup that shows, or that its handlers act on.
struct Looks {
    std::vector<std::tuple<QString, bool, QString, qint64>>
        controls; // name, shown, caption, picture
    Qt::CursorShape messageCursor;
    bool timer1, timer2, timer3;
    int holdStarts;
    QRect geometry;
    double opacity;
    QImage content;

    bool operator==(const Looks&) const = default;
};

Looks LooksOf(frmAlert6* popup)
{
    Looks looks{};
    for (QObject* child : popup->children()) {
        auto* control = qobject_cast<AlertControl*>(child);
        if (!control)
            continue;
        auto* label = qobject_cast<AlertLabel*>(control);
        auto* image = qobject_cast<AlertImage*>(control);
        looks.controls.emplace_back(control->objectName(), !control->isHidden(),
                                    label ? label->Caption() : QString(),
                                    image ? image->Picture().cacheKey() : 0);
    }
    looks.messageCursor = popup->lblAlert->cursor().shape();
    looks.timer1 = popup->Timer1.isActive();
    looks.timer2 = popup->Timer2.isActive();
    looks.timer3 = popup->Timer3.isActive();
    looks.holdStarts = popup->Motion().HoldStarts();
    looks.geometry = popup->geometry();
    looks.opacity = popup->windowOpacity();
    looks.content = popup->Content().toImage();
    return looks;
}

TEST_F(PopupWindow, AReloadedWindowShowsNothingOfItsLastLife)
{
    owner.player = &player;
    const struct {
        const char* name;
        const char* opacity;
        std::function<void(cAlert&)> fill;
        // What happened to the popup before it unloaded.
        std::function<void(frmAlert6*)> live;
    } lastLives[] = {
        {"a linked message, hovered, a button held down", "50",
         [](cAlert& a) {
             a.Title = u"iTunes Radio...";
             a.Message = u"Radio One\r\n\r\nNews";
             a.Link = true;
             a.sUrl = u"https://example.org/radio";
         },
         [](frmAlert6* p) {
             p->imgX_MouseMove();
             QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2),
                               Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
             QCoreApplication::sendEvent(p->imgPause[0], &press);
             p->RestartHold();
         }},
        {"a bare track popup, sinking, its buttons hovered", "abc",
         [](cAlert& a) { a.Album = u"Only Album"; },
         [](frmAlert6* p) {
             p->imgBack_MouseMove();
             p->imgPause_MouseMove();
             p->imgForward_MouseMove();
             p->RestartHold();
             p->Timer2_Timer();
         }},
        {"a track popup updated in place", "100",
         [](cAlert& a) {
             a.Artist = u"A";
             a.Album = u"B";
             a.SongTitle = u"C";
         },
         [](frmAlert6* p) {
             UpdateAlertRows(*p, u"B2 &x", u"A2", u"C2");
         }},
    };
    const struct {
        const char* name;
        const char* opacity;
        std::function<void(cAlert&)> fill;
    } nextLives[] = {
        {"a track popup", "80",
         [](cAlert& a) {
             a.Title = u"iTunes Playing...";
             a.Artist = u"The Example Band";
             a.Album = u"Road Songs";
             a.SongTitle = u"Night Drive";
         }},
        {"a plain message", "101",
         [](cAlert& a) {
             a.Title = u"iTunes Radio...";
             a.Message = u"Radio Two";
         }},
    };
    for (const auto& last : lastLives)
        for (const auto& next : nextLives) {
            // A new window for the same popup, to compare with.
            AlertWindows fresh{store, owner};
            SCOPED_TRACE(std::string(last.name) + ", then " + next.name);
            store.write(u"Opacity", ToU16(QString::fromLatin1(last.opacity)));
            frmAlert6* before = Open(last.fill);
            ASSERT_TRUE(before);
            last.live(before);
            const PopupId oldId = before->Id();
            before->Unload();

            store.write(u"Opacity", ToU16(QString::fromLatin1(next.opacity)));
            frmAlert6* reloaded = Open(next.fill);
            ASSERT_EQ(reloaded, before) << "the unloaded window was not used again";
            EXPECT_NE(reloaded->Id(), oldId);
            EXPECT_EQ(frmAlert6::Loaded(oldId), nullptr);
            EXPECT_EQ(frmAlert6::Loaded(reloaded->Id()), reloaded);
            EXPECT_TRUE(reloaded->isVisible());

            cAlert alert(fresh);
            next.fill(alert);
            alert.MSN6();
            frmAlert6* made = LoadedPopups().back();
            ASSERT_NE(made, reloaded);
            EXPECT_TRUE(LooksOf(reloaded) == LooksOf(made));

            // The button held down in the last life makes no click in this one.
            QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(reloaded->imgPause[0], &release);
            EXPECT_TRUE(player.calls.empty());

            // A Back on the reloaded popup records its new id.
            reloaded->imgBack_Click();
            EXPECT_EQ(owner.oAlert, reloaded->Id());
            owner.bAlertChange = false;
            player.calls.clear();
            CloseAllPopups();
        }
}

TEST_F(PopupWindow, OverlappingPopupsHaveWindowsOfTheirOwnAndFewAreKept)
{
    std::vector<QPointer<frmAlert6>> first;
    for (int i = 0; i < 4; ++i)
        first.emplace_back(OpenTrack());
    ASSERT_EQ(LoadedPopups().size(), 4u);
    std::set<frmAlert6*> distinct(first.begin(), first.end());
    EXPECT_EQ(distinct.size(), 4u);

    CloseAllPopups();
    EXPECT_EQ(windows.KeptWindows(), AlertWindows::kKeptWindows);
    const auto remaining = std::count_if(first.begin(), first.end(),
                                         [](const QPointer<frmAlert6>& p) { return !p.isNull(); });
    EXPECT_EQ(std::size_t(remaining), AlertWindows::kKeptWindows);

    // While they are open, each popup has a window of its own: the kept ones, then new ones.
    std::set<frmAlert6*> second;
    for (int i = 0; i < 3; ++i)
        second.insert(OpenTrack());
    EXPECT_EQ(second.size(), 3u);
    EXPECT_EQ(LoadedPopups().size(), 3u);
    EXPECT_EQ(windows.KeptWindows(), 0u);
    for (const QPointer<frmAlert6>& p : first) {
        if (p) {
            EXPECT_TRUE(second.count(p.data()));
        }
    }
}

TEST(PopupArt, EveryPictureRendersAtItsDesignSize)
{
    const PopupPicture pictures[] = {
        PopupPicture::Background,   PopupPicture::BackNormal,  PopupPicture::BackHover,
        PopupPicture::PauseNormal,  PopupPicture::PauseHover,  PopupPicture::ForwardNormal,
        PopupPicture::ForwardHover, PopupPicture::CloseNormal, PopupPicture::CloseHover,
        PopupPicture::Pointer,
    };
    for (PopupPicture picture : pictures) {
        const QImage image = PopupPixmap(picture).toImage();
        EXPECT_EQ(image.size(), PopupPictureSize(picture));
        // Something was drawn: the centre is not transparent.
        EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0)
            << static_cast<int>(picture);
    }
    EXPECT_EQ(PopupPictureSize(PopupPicture::Background), QSize(250, 117));
    EXPECT_EQ(PopupPictureSize(PopupPicture::CloseHover), QSize(14, 15));
}

} // namespace

#include "PopupWindowTest.moc"
