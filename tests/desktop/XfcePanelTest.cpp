// The real xfce4-panel (its systray plugin hosts StatusNotifierItems) as the tray host, started
// after Tessaly and restarted under it: the icon registers with it each time, and the menu the
// panel reads over dbusmenu is Tessaly's.

#include "Fakes.h"
#include "shell/qt/SysTray.h"
#include "shell/tray/X11Helpers.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

namespace x11 = tessaly::test::x11;

namespace tessaly::test {
namespace {

constexpr int kWaitMs = 20000;

// One panel along the top with the systray plugin only.
constexpr char kPanelConfig[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="size" type="uint" value="30"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray"/>
  </property>
</channel>
)";

class XfcePanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!x11::OnX11())
            GTEST_SKIP() << "needs an X display";
        if (QStandardPaths::findExecutable(QStringLiteral("xfce4-panel")).isEmpty())
            GTEST_SKIP() << "xfce4-panel is not installed";
        ASSERT_TRUE(bus.isRunning());
        const QString dir = home.path() + QStringLiteral("/xdg/xfce4/panel");
        ASSERT_TRUE(QDir().mkpath(dir));
        QFile config(dir + QStringLiteral("/default.xml"));
        ASSERT_TRUE(config.open(QIODevice::WriteOnly));
        config.write(kPanelConfig);
        config.close();
        env.set("XDG_CONFIG_DIRS", (home.path() + QStringLiteral("/xdg:/etc/xdg")).toUtf8());
        // The panel's first start takes the default configuration without asking.
        env.set("XFCE_PANEL_MIGRATE_DEFAULT", "1");
        window = &rig.Load();
        ASSERT_EQ(CurrentTrayHost(), TrayHost::None);
    }
    void TearDown() override
    {
        rig.window.reset();
        StopPanel();
    }

    void StartPanel()
    {
        panel.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        panel.start(QStringLiteral("xfce4-panel"), {QStringLiteral("--disable-wm-check")});
    }
    void StopPanel()
    {
        if (panel.state() == QProcess::NotRunning)
            return;
        x11::Run(QStringLiteral("xfce4-panel"), {QStringLiteral("--quit")});
        if (!panel.waitForFinished(5000)) {
            panel.kill();
            panel.waitForFinished();
        }
    }

    QString Busctl(QStringList arguments)
    {
        arguments.prepend(QStringLiteral("--"));
        arguments.prepend(QStringLiteral("--address=") + bus.address());
        return x11::Run(QStringLiteral("busctl"), arguments).value_or(QString());
    }

    // The items the panel's watcher knows, as busctl prints them.
    QString RegisteredItems()
    {
        return Busctl({QStringLiteral("get-property"),
                       QStringLiteral("org.kde.StatusNotifierWatcher"),
                       QStringLiteral("/StatusNotifierWatcher"),
                       QStringLiteral("org.kde.StatusNotifierWatcher"),
                       QStringLiteral("RegisteredStatusNotifierItems")});
    }
    bool Registered()
    {
        return x11::WaitUntil(
            [&] { return RegisteredItems().contains(QStringLiteral("/StatusNotifierItem")); },
            kWaitMs);
    }

    TempHome home;
    ScopedEnv env;
    PrivateBus bus;
    QProcess panel;
    MainWindowRig rig;
    frmMain* window = nullptr;
};

TEST_F(XfcePanelTest, APanelStartedLaterAndRestartedHostsTheIconWithItsMenu)
{
    StartPanel();
    ASSERT_TRUE(Registered()) << "the icon did not reach the panel started after it";
    EXPECT_EQ(CurrentTrayHost(), TrayHost::StatusNotifier);

    // The panel reads the menu where the item says it is.
    const QString item = RegisteredItems().section(u'"', 1, 1).section(u'/', 0, 0);
    const QString layout = Busctl({QStringLiteral("call"), item, QStringLiteral("/MenuBar"),
                                   QStringLiteral("com.canonical.dbusmenu"),
                                   QStringLiteral("GetLayout"), QStringLiteral("iias"),
                                   QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("0")});
    for (const char* label :
         {"_Configure", "_About", "_Help", "_Donate", "Tessaly _Online", "E_xit"})
        EXPECT_TRUE(layout.contains(QLatin1String(label))) << label;

    StopPanel();
    x11::WaitUntil([] { return false; }, 1000);
    StartPanel();
    EXPECT_TRUE(Registered()) << "the icon did not come back to the restarted panel";
    EXPECT_TRUE(IsTrayIconPresent());
}

} // namespace
} // namespace tessaly::test
