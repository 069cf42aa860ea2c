// The real program in the tray of a real desktop (Xvfb, openbox, trayer), driven the way a person
// drives it: clicks on the icon, the menu's access keys, the window manager's minimise and close.

#include "shell/tray/X11Helpers.h"
#include "support/ChildProcess.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QRect>
#include <QRegularExpression>

namespace x11 = tessaly::test::x11;
using tessaly::test::ChildProcess;

namespace {

constexpr int kStartMs = 15000;

QList<WId> Ids(const QString& text)
{
    QList<WId> ids;
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts))
        ids.append(line.trimmed().toULongLong());
    return ids;
}

QRect GeometryOf(WId window)
{
    const QString out = x11::Run(QStringLiteral("xdotool"),
                                 {QStringLiteral("getwindowgeometry"), QString::number(window)})
                            .value_or(QString());
    static const QRegularExpression pattern(
        QStringLiteral("Position: (-?\\d+),(-?\\d+).*Geometry: (\\d+)x(\\d+)"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto match = pattern.match(out);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
            match.captured(4).toInt()};
}

QString NameOf(WId window)
{
    return x11::Run(QStringLiteral("xprop"), {QStringLiteral("-id"), QString::number(window),
                                              QStringLiteral("_NET_WM_NAME")})
        .value_or(QString())
        .section(u'"', 1, 1);
}

class ProgramX11Test : public ::testing::Test {
protected:
    void SetUp() override { Start(false); }

    // Starts the demo player and the program; a minimised start shows only the icon.
    void Start(bool minimized)
    {
        if (!x11::OnX11())
            GTEST_SKIP() << "needs an X display";
        ASSERT_TRUE(bus.isRunning());
        ASSERT_TRUE(player.start(QStringLiteral(DEMO_PLAYER), {QStringLiteral("--stopped")}));
        QDBusConnection connection = bus.connect(QStringLiteral("program-x11"));
        ASSERT_TRUE(x11::WaitUntil(
            [&] {
                const QStringList names = connection.interface()->registeredServiceNames().value();
                return std::any_of(names.begin(), names.end(), [](const QString& name) {
                    return name.startsWith(QLatin1String("org.mpris.MediaPlayer2."));
                });
            },
            kStartMs))
            << "the demo player did not appear on the bus";
        if (minimized) {
            QDir().mkpath(home.configHome() + QStringLiteral("/Tessaly"));
            QFile ini(home.configHome() + QStringLiteral("/Tessaly/Tessaly.ini"));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write("[Settings]\nMinimized=1\n");
        }
        ASSERT_TRUE(tessaly.start(QStringLiteral(TESSALY_PROGRAM), {},
                                  {QStringLiteral("QT_QPA_PLATFORM=xcb")}));
        ASSERT_TRUE(x11::WaitUntil([this] { return IconGeometry().isValid(); }, kStartMs))
            << "no tray icon";
        if (minimized) {
            x11::WaitUntil([] { return false; }, 500);
            ASSERT_EQ(MainWindow(), 0u) << "a minimised start showed the window";
        } else {
            ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() != 0; }, kStartMs))
                << "the main window did not show";
        }
        x11::WaitUntil([] { return false; }, 300); // the tray maps the icon a moment later
    }

    // Visible windows of the program that the window manager does not manage: the tray icon
    // (small) and pop-up menus.
    QList<QRect> UnmanagedWindows()
    {
        const QList<WId> clients = x11::ClientList();
        QList<QRect> found;
        const auto ids = x11::Run(QStringLiteral("xdotool"),
                                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                   QStringLiteral("--pid"), QString::number(tessaly.pid())});
        for (const WId id : Ids(ids.value_or(QString()))) {
            if (clients.contains(id))
                continue;
            const QRect geometry = GeometryOf(id);
            if (geometry.width() > 1 && geometry.height() > 1)
                found.append(geometry);
        }
        return found;
    }

    QRect IconGeometry()
    {
        for (const QRect& geometry : UnmanagedWindows())
            if (geometry.width() <= 48 && geometry.height() <= 48)
                return geometry;
        return {};
    }

    bool MenuOpen()
    {
        const QList<QRect> windows = UnmanagedWindows();
        return std::any_of(windows.begin(), windows.end(),
                           [](const QRect& geometry) { return geometry.height() > 100; });
    }

    // The managed window titled `title` that belongs to the program, or 0.
    WId ClientNamed(const QString& title)
    {
        for (const WId id : x11::ClientList())
            if (NameOf(id) == title)
                return id;
        return 0;
    }
    WId MainWindow() { return ClientNamed(QStringLiteral("Tessaly")); }

    // The icon's place once the tray has stopped moving it: trayer resizes and the window
    // manager re-places it whenever an icon comes or goes.
    QRect SettledIconGeometry()
    {
        QRect last = IconGeometry();
        for (int i = 0; i < 20; ++i) {
            x11::WaitUntil([] { return false; }, 250);
            const QRect now = IconGeometry();
            if (now == last && now.isValid())
                return now;
            last = now;
        }
        return last;
    }

    bool OpenMenu()
    {
        for (int attempt = 0; attempt < 3; ++attempt) {
            const QRect icon = SettledIconGeometry();
            if (icon.isValid() && x11::ClickAt(icon.center(), 3) &&
                x11::WaitUntil([this] { return MenuOpen(); }, 3000))
                return true;
        }
        return false;
    }

    bool Key(const QString& keys, WId window = 0)
    {
        QStringList arguments;
        if (window)
            arguments << QStringLiteral("windowactivate") << QStringLiteral("--sync")
                      << QString::number(window);
        arguments << QStringLiteral("key") << QStringLiteral("--clearmodifiers") << keys;
        return x11::Run(QStringLiteral("xdotool"), arguments).has_value();
    }

    // The main window is on the screen in the normal state.
    void ExpectShownNormal()
    {
        const WId window = MainWindow();
        ASSERT_NE(window, 0u);
        EXPECT_TRUE(x11::WaitUntil([window] { return x11::IsViewable(window); }))
            << "the window is listed but not mapped";
        const QStringList state = x11::NetWmState(window);
        EXPECT_FALSE(state.contains(QStringLiteral("_NET_WM_STATE_HIDDEN")))
            << state.join(u' ').toStdString();
        EXPECT_FALSE(state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")));
    }

    tessaly::test::TempHome home;
    tessaly::test::PrivateBus bus;
    ChildProcess player{QStringLiteral("tessaly-demo-player")};
    ChildProcess tessaly{QStringLiteral("tessaly")};
};

} // namespace

TEST_F(ProgramX11Test, MinimiseHidesInTheTrayAndConfigureBringsTheWindowBackNormal)
{
    const WId main = MainWindow();
    ASSERT_TRUE(x11::Run(QStringLiteral("xdotool"),
                         {QStringLiteral("windowminimize"), QString::number(main)}));
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() == 0; }))
        << "the minimised window stayed in the client list";
    EXPECT_TRUE(IconGeometry().isValid()) << "the icon went with the window";

    ASSERT_TRUE(OpenMenu()) << "right-click on the icon opened no menu";
    x11::WaitUntil([] { return false; }, 300);
    x11::SaveScreenshot(QStringLiteral("program-tray-menu"));
    ASSERT_TRUE(Key(QStringLiteral("c"))); // "&Configure"
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() != 0; }))
        << "Configure did not bring the window back";
    const WId back = MainWindow();
    EXPECT_TRUE(x11::IsViewable(back));
    const QStringList state = x11::NetWmState(back);
    EXPECT_FALSE(state.contains(QStringLiteral("_NET_WM_STATE_HIDDEN")))
        << state.join(u' ').toStdString();
    EXPECT_FALSE(state.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")));
    EXPECT_TRUE(tessaly.isRunning());
}

TEST_F(ProgramX11Test, DoubleClickOnTheIconShowsTheHiddenWindow)
{
    ASSERT_TRUE(x11::Run(QStringLiteral("xdotool"),
                         {QStringLiteral("windowminimize"), QString::number(MainWindow())}));
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() == 0; }));
    // A single click does nothing on this tray.
    ASSERT_TRUE(x11::ClickAt(SettledIconGeometry().center(), 1));
    x11::WaitUntil([] { return false; }, 500);
    EXPECT_EQ(MainWindow(), 0u);
    ASSERT_TRUE(x11::ClickAt(SettledIconGeometry().center(), 1, 2));
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() != 0; }))
        << "the double-click did not show the window";
    EXPECT_FALSE(x11::NetWmState(MainWindow()).contains(QStringLiteral("_NET_WM_STATE_HIDDEN")));
}

TEST_F(ProgramX11Test, CloseBoxLeavesNoIconAndAnOpenAboutBoxEndsTheProcessLast)
{
    ASSERT_TRUE(OpenMenu());
    ASSERT_TRUE(Key(QStringLiteral("a"))); // "&About"
    WId about = 0;
    ASSERT_TRUE(x11::WaitUntil([&] {
        return (about = ClientNamed(QStringLiteral("About Tessaly"))) != 0;
    })) << "no About box";
    x11::WaitUntil([] { return false; }, 300);
    x11::SaveScreenshot(QStringLiteral("program-about-box"),
                        GeometryOf(about).adjusted(-30, -40, 30, 30));

    ASSERT_TRUE(Key(QStringLiteral("alt+F4"), MainWindow())); // the window manager's close
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() == 0; })) << "the window did not close";
    EXPECT_TRUE(x11::WaitUntil([this] { return !IconGeometry().isValid(); }))
        << "the close box left the icon behind";
    x11::WaitUntil([] { return false; }, 500);
    EXPECT_TRUE(tessaly.isRunning()) << "the open About box should keep the program running";

    ASSERT_TRUE(Key(QStringLiteral("Return"), about));
    ASSERT_TRUE(tessaly.waitForExit(10000)) << "the program outlived its last window";
    EXPECT_EQ(tessaly.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tessaly.exitCode(), 0);
}

TEST_F(ProgramX11Test, ExitRemovesTheIconAndEndsTheProcess)
{
    ASSERT_TRUE(OpenMenu());
    ASSERT_TRUE(Key(QStringLiteral("x"))); // "E&xit"
    ASSERT_TRUE(tessaly.waitForExit(10000)) << "Exit did not end the program";
    EXPECT_EQ(tessaly.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tessaly.exitCode(), 0);
    EXPECT_EQ(MainWindow(), 0u);
}

class MinimizedStartX11Test : public ProgramX11Test {
protected:
    void SetUp() override { Start(true); }
};

// After a minimised start the window was never mapped; the first restore must map it.
TEST_F(MinimizedStartX11Test, FirstDoubleClickShowsTheWindowNormal)
{
    ASSERT_TRUE(x11::ClickAt(SettledIconGeometry().center(), 1, 2));
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() != 0; }, 8000))
        << "the first double-click did not show the window";
    ExpectShownNormal();
}

TEST_F(MinimizedStartX11Test, FirstConfigureShowsTheWindowNormal)
{
    ASSERT_TRUE(OpenMenu()) << "right-click on the icon opened no menu";
    ASSERT_TRUE(Key(QStringLiteral("c"))); // "&Configure"
    ASSERT_TRUE(x11::WaitUntil([this] { return MainWindow() != 0; }, 8000))
        << "the first Configure did not show the window";
    ExpectShownNormal();
}
