// The popup on a real X display with a window manager: focus, taskbar state, the rise from the
// bottom right, its timing, and screenshots for people to look at.

#include "common/Settings.h"
#include "popup/common/PopupFakes.h"
#include "popup/qt/PopupAlerts.h"
#include "shell/tray/X11Helpers.h"
#include "support/ChildProcess.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iostream>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTimer>

namespace {

using namespace tessaly;
using tessaly::test::CloseAllPopups;
using tessaly::test::FakeOwner;
using tessaly::test::LoadedPopups;
using tessaly::test::x11::ArtifactsDir;

QString RunTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString Property(WId window, const char* name)
{
    return RunTool(QStringLiteral("xprop"),
                   {QStringLiteral("-id"), QString::number(window), QString::fromLatin1(name)});
}

// The window's place on the screen as the X server has it.
QRect ServerGeometry(WId window)
{
    const QString info =
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
    const auto field = [&](const char* name) {
        const QRegularExpression re(QString::fromLatin1(name) + QStringLiteral(":\\s+(-?\\d+)"));
        return re.match(info).captured(1).toInt();
    };
    return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
                 field("Height"));
}

// The child of the root window that holds the window: its frame when a window manager framed it.
WId TopLevelOf(WId window)
{
    const QRegularExpression parent(QStringLiteral("Parent window id: (0x[0-9a-fA-F]+)(.*)"));
    for (int depth = 0; depth < 8; ++depth) {
        const QString tree =
            RunTool(QStringLiteral("xwininfo"),
                    {QStringLiteral("-id"), QString::number(window), QStringLiteral("-tree")});
        const QRegularExpressionMatch m = parent.match(tree);
        if (!m.hasMatch() || m.captured(2).contains(QStringLiteral("root window")))
            return window;
        window = m.captured(1).toULongLong(nullptr, 16);
    }
    return window;
}

WId ActiveWindow()
{
    const QString root = RunTool(QStringLiteral("xprop"),
                                 {QStringLiteral("-root"), QStringLiteral("_NET_ACTIVE_WINDOW")});
    const QRegularExpression re(QStringLiteral("window id # (0x[0-9a-fA-F]+)"));
    bool ok = false;
    const WId id = re.match(root).captured(1).toULongLong(&ok, 16);
    return ok ? id : 0;
}

class PopupOnTheDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            GTEST_SKIP() << "needs an X display";
        store.write(u"Opacity", u"100");
    }
    void TearDown() override { CloseAllPopups(); }

    frmAlert6* ShowTrack()
    {
        alerts.ShowRefreshAlert(u"The Example Band", u"Road Songs", u"Night Drive", u"");
        const std::vector<frmAlert6*> popups = LoadedPopups();
        return popups.empty() ? nullptr : popups.back();
    }

    // Runs the event loop until the popup has fully risen; the milliseconds that took.
    static qint64 WaitForRise(frmAlert6* popup, QElapsedTimer& clock)
    {
        QEventLoop loop;
        qint64 elapsed = -1;
        // Connected after the popup's own handler, so the hand-over has happened when this runs.
        QObject::connect(&popup->Timer1, &QTimer::timeout, &loop, [&] {
            if (!popup->Timer1.isActive()) {
                elapsed = clock.elapsed();
                loop.quit();
            }
        });
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        return elapsed;
    }
    static bool WaitForRise(frmAlert6* popup)
    {
        QElapsedTimer clock;
        clock.start();
        return WaitForRise(popup, clock) >= 0;
    }

    MemorySettingsStore store;
    FakeOwner owner;
    PopupAlerts alerts{store, owner};
};

TEST_F(PopupOnTheDesktop, DoesNotTakeTheFocusFromTheWindowInUse)
{
    QLineEdit editor;
    editor.setWindowTitle(QStringLiteral("Editor"));
    editor.resize(300, 40);
    editor.show();
    editor.activateWindow();
    editor.setFocus();
    ASSERT_TRUE(test::WaitUntil(
        [&] { return editor.isActiveWindow() && ActiveWindow() == editor.winId(); }, 5000));

    frmAlert6* popup = ShowTrack();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(WaitForRise(popup));
    test::WaitUntil([] { return false; }, 300);
    EXPECT_TRUE(editor.isActiveWindow());
    EXPECT_TRUE(editor.hasFocus());
    EXPECT_EQ(ActiveWindow(), editor.winId());
    EXPECT_FALSE(popup->isActiveWindow());
    EXPECT_NE(QGuiApplication::focusWindow(), popup->windowHandle());
}

TEST_F(PopupOnTheDesktop, ShowsAboveTheWindowInUseWithoutBeingTopmost)
{
    QWidget cover;
    cover.setWindowTitle(QStringLiteral("Cover"));
    cover.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    cover.show();
    cover.activateWindow();
    ASSERT_TRUE(test::WaitUntil([&] { return ActiveWindow() == cover.winId(); }, 5000));
    frmAlert6* popup = ShowTrack();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(
        test::WaitUntil([&] { return ServerGeometry(popup->winId()).height() > 20; }, 3000));
    const QString tree =
        RunTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")});
    const qsizetype popupAt =
        tree.indexOf(QStringLiteral("0x") + QString::number(popup->winId(), 16));
    ASSERT_GE(popupAt, 0) << tree.toStdString();
    EXPECT_FALSE(Property(popup->winId(), "_NET_WM_STATE").contains(QStringLiteral("ABOVE")));
    // xwininfo lists the topmost child first.
    const qsizetype coverAt =
        tree.indexOf(QStringLiteral("0x") + QString::number(TopLevelOf(cover.winId()), 16));
    ASSERT_GE(coverAt, 0) << tree.toStdString();
    EXPECT_LT(popupAt, coverAt) << tree.toStdString();
    EXPECT_EQ(ActiveWindow(), cover.winId());
}

void MovePointer(QPoint global)
{
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(global.x()),
                                        QString::number(global.y())});
}

TEST_F(PopupOnTheDesktop, ThePointerDrivesTheButtonsAndTheHold)
{
    test::FakePlayer player;
    owner.player = &player;
    frmAlert6* popup = ShowTrack();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(WaitForRise(popup));
    const auto picture = [](AlertImage* image) {
        return image->Picture().cacheKey();
    };

    AlertImage* back = popup->imgBack[0];
    MovePointer(back->mapToGlobal(back->rect().center()));
    EXPECT_TRUE(test::WaitUntil([&] { return picture(back) == picture(popup->imgBack[2]); }, 2000));
    RunTool(QStringLiteral("xdotool"), {QStringLiteral("click"), QStringLiteral("1")});
    EXPECT_TRUE(test::WaitUntil([&] { return !player.calls.empty(); }, 2000));
    EXPECT_EQ(player.calls, std::vector<std::string>{"PreviousTrack"});
    EXPECT_EQ(owner.oAlert, popup->Id());

    // The bare window below the rows: normal pictures back and the hold starts over.
    const int holds = popup->Motion().HoldStarts();
    MovePointer(popup->mapToGlobal(QPoint(20, 100)));
    EXPECT_TRUE(test::WaitUntil([&] { return popup->Motion().HoldStarts() > holds; }, 2000));
    EXPECT_EQ(picture(back), picture(popup->imgBack[1]));
    MovePointer(QPoint(10, 10));
}

TEST_F(PopupOnTheDesktop, HasNoTaskbarEntry)
{
    frmAlert6* popup = ShowTrack();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(test::WaitUntil([&] { return ServerGeometry(popup->winId()).height() > 0; }, 3000));
    const QString state = Property(popup->winId(), "_NET_WM_STATE");
    const QString type = Property(popup->winId(), "_NET_WM_WINDOW_TYPE");
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")))
        << state.toStdString() << type.toStdString();
    EXPECT_FALSE(state.contains(QStringLiteral("_NET_WM_STATE_ABOVE"))) << state.toStdString();
    // Unmanaged by the window manager, so no taskbar or pager lists it.
    const QString info = RunTool(QStringLiteral("xwininfo"),
                                 {QStringLiteral("-id"), QString::number(popup->winId())});
    EXPECT_TRUE(info.contains(QStringLiteral("Override Redirect State: yes")))
        << info.toStdString();
    const QString clients = RunTool(QStringLiteral("xprop"),
                                    {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST")});
    EXPECT_FALSE(clients.contains(QStringLiteral("0x") + QString::number(popup->winId(), 16)))
        << clients.toStdString();
}

TEST_F(PopupOnTheDesktop, RisesFromTheBottomRightWithItsBottomEdgeFixed)
{
    frmAlert6* popup = ShowTrack();
    ASSERT_TRUE(popup);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int bottom = FullScreenClientHeight() + 26; // exclusive
    std::vector<QRect> samples;
    QElapsedTimer clock;
    clock.start();
    while (popup->Timer1.isActive() && clock.elapsed() < 5000) {
        test::WaitUntil([] { return false; }, 100);
        samples.push_back(ServerGeometry(popup->winId()));
    }
    ASSERT_FALSE(popup->Timer1.isActive());
    samples.push_back(ServerGeometry(popup->winId()));
    ASSERT_GE(samples.size(), 3u);
    for (size_t i = 0; i < samples.size(); ++i) {
        const QRect& s = samples[i];
        EXPECT_EQ(s.x(), screen.right() + 1 - 249) << i;
        EXPECT_EQ(s.width(), 254) << i;
        EXPECT_EQ(s.y() + s.height(), bottom) << i;
        if (i > 0) {
            EXPECT_LE(s.y(), samples[i - 1].y()) << i;
        }
    }
    EXPECT_LT(samples.front().height(), samples.back().height());
    EXPECT_EQ(samples.back().height(), 117);
}

TEST_F(PopupOnTheDesktop, RiseTakesAboutNineHundredMilliseconds)
{
    std::vector<qint64> rises;
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer clock;
        clock.start();
        frmAlert6* popup = ShowTrack();
        ASSERT_TRUE(popup);
        const qint64 rise = WaitForRise(popup, clock);
        ASSERT_GE(rise, 0);
        rises.push_back(rise);
        CloseAllPopups();
    }
    std::sort(rises.begin(), rises.end());
    const qint64 median = (rises[4] + rises[5]) / 2;
    std::cout << "popup rise (57 ticks of 16 ms): median " << median << " ms, range "
              << rises.front() << ".." << rises.back() << " ms" << std::endl;
    RecordProperty("rise_median_ms", static_cast<int>(median));
    EXPECT_GE(median, 57 * 15);
    EXPECT_LE(median, 3000); // generous: a loaded machine delays ticks
}

// The popup's pixels on the screen, as far as the screen reaches.
QImage OnScreen(frmAlert6* popup)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = popup->geometry().intersected(screen->geometry());
    return screen->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// The popup's content picture, cut to the part of the window on the screen.
QImage ContentAsShown(frmAlert6* popup)
{
    const QImage shown = OnScreen(popup);
    return popup->Content().toImage().convertToFormat(QImage::Format_RGB32).copy(shown.rect());
}

TEST_F(PopupOnTheDesktop, TheScreenShowsTheContentAndFollowsAnInPlaceUpdate)
{
    frmAlert6* popup = ShowTrack();
    ASSERT_TRUE(popup);
    ASSERT_TRUE(WaitForRise(popup));
    EXPECT_TRUE(test::WaitUntil([&] { return OnScreen(popup) == ContentAsShown(popup); }, 2000));
    const QImage before = OnScreen(popup);

    alerts.UpdateRecordedAlert(popup->Id(), u"Another Album", u"Another Band", u"Another Song");
    EXPECT_TRUE(test::WaitUntil([&] { return OnScreen(popup) == ContentAsShown(popup); }, 2000));
    EXPECT_NE(OnScreen(popup), before);
}

TEST_F(PopupOnTheDesktop, AWindowShownAgainRisesFromTheStartAndShowsOnlyItsNewContent)
{
    frmAlert6* first = ShowTrack();
    ASSERT_TRUE(first);
    QElapsedTimer clock;
    clock.start();
    ASSERT_GE(WaitForRise(first, clock), 0);
    const QImage track = OnScreen(first);
    first->Unload();
    EXPECT_TRUE(test::WaitUntil([&] { return !first->isVisible(); }, 2000));

    alerts.ShowRefreshAlert(u"", u"", u"", u"Radio One\r\n\r\nNews at nine");
    const std::vector<frmAlert6*> popups = LoadedPopups();
    ASSERT_EQ(popups.size(), 1u);
    frmAlert6* again = popups.front();
    ASSERT_EQ(again, first) << "the unloaded window was not shown again";
    // From the start height at the bottom right, as a new window would be.
    const QRect start = ServerGeometry(again->winId());
    EXPECT_EQ(start.height(), 6);
    EXPECT_EQ(start.y() + start.height(), FullScreenClientHeight() + 26);

    clock.restart();
    ASSERT_GE(WaitForRise(again, clock), 0);
    EXPECT_EQ(ServerGeometry(again->winId()).height(), 117);
    EXPECT_TRUE(test::WaitUntil([&] { return OnScreen(again) == ContentAsShown(again); }, 2000));
    EXPECT_NE(OnScreen(again), track);
    // Qt learnt of the second map: the window is exposed and its hold runs.
    EXPECT_TRUE(again->windowHandle()->isExposed());
    EXPECT_TRUE(again->Timer2.isActive());
    // Still off the taskbar and unmanaged.
    const QString state = Property(again->winId(), "_NET_WM_STATE");
    EXPECT_TRUE(state.contains(QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR")))
        << state.toStdString();
    const QString info = RunTool(QStringLiteral("xwininfo"),
                                 {QStringLiteral("-id"), QString::number(again->winId())});
    EXPECT_TRUE(info.contains(QStringLiteral("Override Redirect State: yes")));
}

// A backdrop for the screenshots, so the popup is seen against a desktop colour.
class Backdrop : public QWidget {
public:
    Backdrop() : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint)
    {
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(QGuiApplication::primaryScreen()->geometry());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(0x4f, 0x7d, 0xb3));
        gradient.setColorAt(1, QColor(0x23, 0x4d, 0x82));
        painter.fillRect(rect(), gradient);
    }
};

TEST_F(PopupOnTheDesktop, ScreenshotsOfATrackAndARadioPopup)
{
    Backdrop backdrop;
    backdrop.show();
    test::WaitUntil([] { return false; }, 300);
    const struct {
        const char* file;
        std::u16string_view artist, album, title, msg;
    } shots[] = {
        {"popup-track.png", u"Simon & Garfunkel", u"Bridge over Troubled Water", u"The Boxer", u""},
        {"popup-radio.png", u"", u"", u"The Example Band - Night Drive",
         u"Radio Example FM\r\n\r\nThe Example Band - Night Drive"},
    };
    for (const auto& shot : shots) {
        alerts.ShowRefreshAlert(shot.artist, shot.album, shot.title, shot.msg);
        const std::vector<frmAlert6*> popups = LoadedPopups();
        ASSERT_EQ(popups.size(), 1u);
        ASSERT_TRUE(WaitForRise(popups.front()));
        test::WaitUntil([] { return false; }, 200);
        QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = QRect(screen->geometry().right() + 1 - 300,
                                 FullScreenClientHeight() + 26 - 170, 300, 190)
                               .intersected(screen->geometry());
        const QPixmap pixmap =
            screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        const QString path = ArtifactsDir() + QLatin1Char('/') + QLatin1String(shot.file);
        EXPECT_TRUE(pixmap.save(path)) << path.toStdString();
        std::cout << "screenshot: " << path.toStdString() << std::endl;
        CloseAllPopups();
    }
}

} // namespace
