// Tray hosts that start after Tessaly, or restart under it (the race at login, a panel that
// crashes): the icon must appear there and come back. A stand-in StatusNotifierWatcher process on
// a private bus, and trayer as a real XEmbed tray on the X display.

#include "Fakes.h"
#include "shell/qt/SysTray.h"
#include "shell/tray/X11Helpers.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <QSystemTrayIcon>

namespace x11 = tessaly::test::x11;

namespace tessaly::test {
namespace {

constexpr int kWaitMs = 15000;

class LateHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!x11::OnX11())
            GTEST_SKIP() << "needs an X display";
        ASSERT_TRUE(bus.isRunning());
        ASSERT_FALSE(x11::Run(QStringLiteral("xprop"), {QStringLiteral("-root")})
                         .value_or(QString())
                         .contains(QStringLiteral("_NET_SYSTEM_TRAY")))
            << "a tray already runs on this display";
        window = &rig.Load();
        ASSERT_TRUE(IsTrayIconPresent());
        ASSERT_EQ(CurrentTrayHost(), TrayHost::None);
    }
    void TearDown() override
    {
        rig.window.reset();
        for (QProcess* process : {&watcher, &tray}) {
            process->kill();
            process->waitForFinished();
        }
    }

    // Starts the stand-in watcher; the bus name of the item that registers with it, if one does.
    QString StartWatcherAndWaitForItem()
    {
        watcher.start(QStringLiteral(SNI_WATCHER), {});
        QString item;
        x11::WaitUntil(
            [&] {
                const QString out = QString::fromUtf8(watcher.readAllStandardOutput());
                for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
                    if (line.startsWith(QStringLiteral("item ")))
                        item = line.mid(5);
                return !item.isEmpty();
            },
            kWaitMs);
        return item;
    }

    void StartTray()
    {
        tray.start(QStringLiteral("trayer"),
                   {QStringLiteral("--edge"), QStringLiteral("bottom"), QStringLiteral("--align"),
                    QStringLiteral("right"), QStringLiteral("--widthtype"),
                    QStringLiteral("request"), QStringLiteral("--height"), QStringLiteral("24")});
    }

    bool IconDocked()
    {
        return x11::WaitUntil(
            [] {
                return TrayIcon() && TrayIcon()->geometry().isValid() &&
                       !TrayIcon()->geometry().isEmpty();
            },
            kWaitMs);
    }

    PrivateBus bus;
    QProcess watcher;
    QProcess tray;
    MainWindowRig rig;
    frmMain* window = nullptr;
};

TEST_F(LateHostTest, AStatusNotifierHostThatStartsLaterGetsTheIconAndGetsItBackAfterARestart)
{
    x11::WaitUntil([] { return false; }, 500);
    const QString first = StartWatcherAndWaitForItem();
    ASSERT_FALSE(first.isEmpty()) << "the icon did not register with a watcher that came later";
    EXPECT_EQ(CurrentTrayHost(), TrayHost::StatusNotifier);

    watcher.kill();
    watcher.waitForFinished();
    x11::WaitUntil([] { return false; }, 500);
    EXPECT_EQ(StartWatcherAndWaitForItem(), first)
        << "the icon did not register again with the restarted watcher";
    EXPECT_TRUE(IsTrayIconPresent());
}

TEST_F(LateHostTest, AnXEmbedTrayThatStartsLaterGetsTheIconAndGetsItBackAfterARestart)
{
    x11::WaitUntil([] { return false; }, 500);
    StartTray();
    ASSERT_TRUE(IconDocked()) << "the icon did not dock in a tray that came later";
    EXPECT_EQ(CurrentTrayHost(), TrayHost::XEmbed);

    tray.kill();
    tray.waitForFinished();
    x11::WaitUntil([] { return false; }, 500);
    StartTray();
    x11::WaitUntil([] { return false; }, 1000);
    EXPECT_TRUE(IconDocked()) << "the icon did not come back to the restarted tray";
    EXPECT_TRUE(IsTrayIconPresent());
}

} // namespace
} // namespace tessaly::test
