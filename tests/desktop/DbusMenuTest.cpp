// A StatusNotifierItem host at the protocol level: a stand-in watcher process on a private bus,
// and the host's side spoken with busctl as a real host speaks it. The main window's menu must
// reach the host over dbusmenu with its nine items, and the host's calls must act as the clicks
// they stand for. Each test is its own process (Qt decides on D-Bus trays once per process).

#include "Fakes.h"
#include "shell/qt/SysTray.h"
#include "shell/tray/X11Helpers.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QObject>
#include <QProcess>

namespace x11 = tessaly::test::x11;

namespace tessaly::test {
namespace {

constexpr int kWaitMs = 10000;

struct MenuItem {
    int id = 0;
    QString type, label;
    bool enabled = true, visible = true;
};

class StatusNotifierHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!x11::OnX11())
            GTEST_SKIP() << "Qt's StatusNotifierItem support is in its desktop platform theme";
        ASSERT_TRUE(bus.isRunning());
        watcher.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        watcher.start(QStringLiteral(SNI_WATCHER), {});
        ASSERT_TRUE(x11::WaitUntil([&] { return ReadWatcher().contains(QStringLiteral("ready")); },
                                   kWaitMs))
            << "the stand-in watcher did not start";
        rig.Put("Minimized", "1");
        window = &rig.Load();
        ASSERT_EQ(CurrentTrayHost(), TrayHost::StatusNotifier);
        ASSERT_TRUE(x11::WaitUntil(
            [&] {
                for (const QString& line : ReadWatcher())
                    if (line.startsWith(QStringLiteral("item ")))
                        item = line.mid(5);
                return !item.isEmpty();
            },
            kWaitMs))
            << "the icon did not register with the watcher";
    }
    void TearDown() override
    {
        // The icon leaves while the watcher still answers.
        rig.window.reset();
        watcher.kill();
        watcher.waitForFinished();
    }

    QStringList ReadWatcher()
    {
        return QString::fromUtf8(watcher.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }

    // busctl on the private bus; its JSON answer, or an empty object.
    QJsonObject Busctl(QStringList arguments)
    {
        arguments.prepend(QStringLiteral("--")); // "-1" is an argument, not an option
        arguments.prepend(QStringLiteral("--json=short"));
        arguments.prepend(QStringLiteral("--address=") + bus.address());
        QProcess process;
        process.start(QStringLiteral("busctl"), arguments);
        x11::WaitUntil([&] { return process.state() == QProcess::NotRunning; }, kWaitMs);
        const QString out = QString::fromUtf8(process.readAllStandardOutput());
        return QJsonDocument::fromJson(out.toUtf8()).object();
    }

    QString MenuPath()
    {
        return Busctl({QStringLiteral("get-property"), item, QStringLiteral("/StatusNotifierItem"),
                       QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Menu")})
            .value(QStringLiteral("data"))
            .toString();
    }

    // The top level of the exported menu, as a host reads it before drawing.
    QList<MenuItem> Layout()
    {
        const QJsonObject reply = Busctl(
            {QStringLiteral("call"), item, MenuPath(), QStringLiteral("com.canonical.dbusmenu"),
             QStringLiteral("GetLayout"), QStringLiteral("iias"), QStringLiteral("0"),
             QStringLiteral("-1"), QStringLiteral("0")});
        const QJsonArray root = reply.value(QStringLiteral("data")).toArray().at(1).toArray();
        QList<MenuItem> items;
        for (const QJsonValue& child : root.at(2).toArray()) {
            const QJsonArray node = child.toObject().value(QStringLiteral("data")).toArray();
            const QJsonObject properties = node.at(1).toObject();
            const auto property = [&](const char* name) {
                return properties.value(QLatin1String(name))
                    .toObject()
                    .value(QStringLiteral("data"));
            };
            MenuItem entry;
            entry.id = node.at(0).toInt();
            entry.type = property("type").toString();
            entry.label = property("label").toString();
            entry.enabled = property("enabled").toBool(true);
            entry.visible = property("visible").toBool(true);
            items.append(entry);
        }
        return items;
    }

    int IdOf(const QString& label)
    {
        for (const MenuItem& entry : Layout())
            if (entry.label == label)
                return entry.id;
        return -1;
    }

    bool Click(const QString& label)
    {
        const int id = IdOf(label);
        if (id < 0)
            return false;
        Busctl({QStringLiteral("call"), item, MenuPath(), QStringLiteral("com.canonical.dbusmenu"),
                QStringLiteral("Event"), QStringLiteral("isvu"), QString::number(id),
                QStringLiteral("clicked"), QStringLiteral("s"), QString(), QStringLiteral("0")});
        return true;
    }

    void CallItem(const char* method, QStringList arguments)
    {
        QStringList all{QStringLiteral("call"), item, QStringLiteral("/StatusNotifierItem"),
                        QStringLiteral("org.kde.StatusNotifierItem"), QLatin1String(method)};
        all += arguments;
        Busctl(all);
    }

    bool FrmAboutShown()
    {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("frmAbout") && top->isVisible())
                return true;
        return false;
    }

    PrivateBus bus;
    QProcess watcher;
    MainWindowRig rig;
    frmMain* window = nullptr;
    QString item;
};

TEST_F(StatusNotifierHostTest, TheMenuIsExportedWithItsNineItems)
{
    const QString path = MenuPath();
    EXPECT_FALSE(path.isEmpty());
    EXPECT_NE(path, QStringLiteral("/NO_DBUSMENU"));

    const QList<MenuItem> items = Layout();
    // Access keys in dbusmenu are written with "_".
    const char* const labels[] = {"_Configure", nullptr,           "_About", "_Help", nullptr,
                                  "_Donate",    "Tessaly _Online", nullptr,  "E_xit"};
    ASSERT_EQ(items.size(), 9);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i);
        if (!labels[i]) {
            EXPECT_EQ(items[i].type, QStringLiteral("separator"));
            continue;
        }
        EXPECT_EQ(items[i].label, QLatin1String(labels[i]));
        EXPECT_NE(items[i].type, QStringLiteral("separator"));
        EXPECT_TRUE(items[i].enabled);
        EXPECT_TRUE(items[i].visible);
    }
}

TEST_F(StatusNotifierHostTest, ClickedItemsRunTheirCommands)
{
    ASSERT_FALSE(window->isVisible());
    ASSERT_TRUE(Click(QStringLiteral("_Configure")));
    EXPECT_TRUE(x11::WaitUntil([&] { return window->isVisible(); }, kWaitMs))
        << "Configure did not show the window";
    EXPECT_FALSE(window->isMinimized());

    ASSERT_TRUE(Click(QStringLiteral("_About")));
    EXPECT_TRUE(x11::WaitUntil([&] { return FrmAboutShown(); }, kWaitMs)) << "no About box";

    ASSERT_TRUE(Click(QStringLiteral("E_xit")));
    EXPECT_TRUE(x11::WaitUntil([&] { return !window->isVisible(); }, kWaitMs))
        << "Exit did not close the window";
    EXPECT_FALSE(IsTrayIconPresent());
}

TEST_F(StatusNotifierHostTest, ContextMenuOpensTheMenuWhereTheHostSays)
{
    CallItem("ContextMenu", {QStringLiteral("ii"), QStringLiteral("300"), QStringLiteral("200")});
    ASSERT_TRUE(x11::WaitUntil([&] { return window->mnuPopup->isVisible(); }, kWaitMs))
        << "ContextMenu opened no menu";
    EXPECT_EQ(window->mnuPopup->geometry().topLeft(), QPoint(300, 200));
    window->mnuPopup->close();

    // Elsewhere on the screen too: the place comes from the host, not from the pointer.
    CallItem("ContextMenu", {QStringLiteral("ii"), QStringLiteral("520"), QStringLiteral("140")});
    ASSERT_TRUE(x11::WaitUntil([&] { return window->mnuPopup->isVisible(); }, kWaitMs));
    EXPECT_EQ(window->mnuPopup->geometry().topLeft(), QPoint(520, 140));
    window->mnuPopup->close();
}

TEST_F(StatusNotifierHostTest, ActivateShowsTheWindowAndNothingElseActs)
{
    CallItem("SecondaryActivate",
             {QStringLiteral("ii"), QStringLiteral("10"), QStringLiteral("10")});
    CallItem("Scroll", {QStringLiteral("is"), QStringLiteral("120"), QStringLiteral("vertical")});
    x11::WaitUntil([] { return false; }, 500);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->mnuPopup->isVisible());
    EXPECT_TRUE(IsTrayIconPresent());

    CallItem("Activate", {QStringLiteral("ii"), QStringLiteral("10"), QStringLiteral("10")});
    EXPECT_TRUE(x11::WaitUntil([&] { return window->isVisible(); }, kWaitMs))
        << "Activate did not count as the double-click";
    EXPECT_FALSE(window->isMinimized());
}

} // namespace
} // namespace tessaly::test
