// The popups as desktop notifications (a Wayland session without XWayland): what reaches an
// org.freedesktop.Notifications server on a private bus, how each refresh replaces the last
// notification, and how the server's buttons drive the player.

#include "popup/qt/NotificationAlerts.h"
#include "shell/tray/X11Helpers.h"
#include "shell/unit/ShellFakes.h"
#include "support/PrivateBus.h"

#include <gtest/gtest.h>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <vector>

namespace x11 = tessaly::test::x11;

namespace tessaly::test {
namespace {

struct Notification {
    QString app;
    uint replaces = 0;
    QString summary, body;
    QStringList actions;
};

class Server : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    explicit Server(bool withActions) : withActions_(withActions) {}
    std::vector<Notification> received;

public Q_SLOTS:
    QStringList GetCapabilities()
    {
        QStringList capabilities{QStringLiteral("body")};
        if (withActions_)
            capabilities << QStringLiteral("actions");
        return capabilities;
    }
    uint Notify(const QString& app, uint replaces, const QString&, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap&, int)
    {
        received.push_back({app, replaces, summary, body, actions});
        return replaces ? replaces : ++lastId_;
    }
    QString GetServerInformation(QString& vendor, QString& version, QString& spec)
    {
        vendor = version = spec = QString();
        return QStringLiteral("stand-in");
    }

private:
    bool withActions_;
    uint lastId_ = 40;
};

struct RecordingPlayer : FakePlayer {
    using FakePlayer::FakePlayer;
    PlayerResult PreviousTrack() override { return Note("back"); }
    PlayerResult NextTrack() override { return Note("forward"); }
    PlayerResult PlayPause() override { return Note("pause"); }
    PlayerResult Note(const char* call)
    {
        calls.push_back(call);
        return PlayerResult::Ok;
    }
    std::vector<std::string> calls;
};

struct Owner : AlertOwner {
    explicit Owner(Player* p) : player(p) {}
    Player* AlertPlayer() override { return player; }
    void RecordAlertChange(PopupId alert) override { recorded.push_back(alert); }
    Player* player;
    std::vector<PopupId> recorded;
};

class NotificationsTest : public ::testing::Test {
protected:
    void StartServer(bool withActions)
    {
        ASSERT_TRUE(bus.isRunning());
        server = std::make_unique<Server>(withActions);
        serverBus = bus.connect(QStringLiteral("server"));
        ASSERT_TRUE(serverBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"),
                                             server.get(), QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(serverBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
    }
    NotificationAlerts& Alerts()
    {
        if (!alerts)
            alerts =
                std::make_unique<NotificationAlerts>(owner, bus.connect(QStringLiteral("app")));
        // Let the capabilities arrive.
        x11::WaitUntil([] { return false; }, 300);
        return *alerts;
    }
    bool Received(std::size_t count)
    {
        return x11::WaitUntil([&] { return server->received.size() >= count; }, 10000);
    }
    void Invoke(uint id, const char* action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << QString::fromLatin1(action);
        serverBus.send(signal);
    }

    PrivateBus bus;
    QDBusConnection serverBus{QString()};
    std::unique_ptr<Server> server;
    FakePlayer::State playerState;
    RecordingPlayer player{playerState};
    Owner owner{&player};
    std::unique_ptr<NotificationAlerts> alerts;
};

TEST_F(NotificationsTest, EachRefreshReplacesTheLastNotificationWithTheTextsAndButtons)
{
    StartServer(true);
    Alerts().ShowRefreshAlert(u"Rock & Roll", u"<Live>", u"Song", u"");
    ASSERT_TRUE(Received(1));
    const Notification& track = server->received[0];
    EXPECT_EQ(track.app, QStringLiteral("Tessaly"));
    EXPECT_EQ(track.replaces, 0u);
    EXPECT_EQ(track.summary, QStringLiteral("iTunes Playing..."));
    // Servers may read the body as markup: the texts arrive escaped.
    EXPECT_EQ(track.body, QStringLiteral("Rock &amp; Roll\n&lt;Live&gt;\nSong"));
    EXPECT_EQ(track.actions, QStringList({QStringLiteral("back"), QStringLiteral("Back"),
                                          QStringLiteral("pause"), QStringLiteral("Pause"),
                                          QStringLiteral("forward"), QStringLiteral("Forward")}));

    x11::WaitUntil([] { return false; }, 200);
    Alerts().ShowRefreshAlert(u"", u"", u"", u"Radio Paradise - Now playing");
    ASSERT_TRUE(Received(2));
    EXPECT_EQ(server->received[1].replaces, 41u) << "the second notification stacked";
    EXPECT_EQ(server->received[1].summary, QStringLiteral("iTunes Radio..."));
    EXPECT_EQ(server->received[1].body, QStringLiteral("Radio Paradise - Now playing"));
}

TEST_F(NotificationsTest, ButtonsDriveThePlayerAndBackOrForwardUpdatesThatNotification)
{
    StartServer(true);
    Alerts().ShowRefreshAlert(u"Artist", u"Album", u"One", u"");
    ASSERT_TRUE(Received(1));
    x11::WaitUntil([] { return false; }, 200);

    Invoke(41, "pause");
    ASSERT_TRUE(x11::WaitUntil([&] { return player.calls.size() == 1; }));
    EXPECT_EQ(player.calls[0], "pause");
    EXPECT_TRUE(owner.recorded.empty());

    Invoke(41, "forward");
    ASSERT_TRUE(x11::WaitUntil([&] { return player.calls.size() == 2; }));
    EXPECT_EQ(player.calls[1], "forward");
    ASSERT_EQ(owner.recorded, std::vector<PopupId>{41});
    // The refresh that follows writes the new rows into the same notification.
    alerts->UpdateRecordedAlert(41, u"Album", u"Artist", u"Two");
    ASSERT_TRUE(Received(2));
    EXPECT_EQ(server->received[1].replaces, 41u);
    EXPECT_EQ(server->received[1].body, QStringLiteral("Artist\nAlbum\nTwo"));

    Invoke(41, "back");
    ASSERT_TRUE(x11::WaitUntil([&] { return player.calls.size() == 3; }));
    EXPECT_EQ(player.calls[2], "back");

    // Another program's notification is not Tessaly's.
    Invoke(7, "forward");
    x11::WaitUntil([] { return false; }, 300);
    EXPECT_EQ(player.calls.size(), 3u);
}

TEST_F(NotificationsTest, NoButtonsWhereTheServerHasNoActionsAndNothingWithoutAServer)
{
    StartServer(false);
    Alerts().ShowRefreshAlert(u"Artist", u"Album", u"Title", u"");
    ASSERT_TRUE(Received(1));
    EXPECT_TRUE(server->received[0].actions.isEmpty());

    ASSERT_TRUE(serverBus.unregisterService(QStringLiteral("org.freedesktop.Notifications")));
    x11::WaitUntil([] { return false; }, 200);
    alerts->ShowRefreshAlert(u"Artist", u"Album", u"Next", u"");
    alerts->ShowRefreshAlert(u"Artist", u"Album", u"After", u"");
    x11::WaitUntil([] { return false; }, 300);
    EXPECT_EQ(server->received.size(), 1u);
}

} // namespace
} // namespace tessaly::test

#include "NotificationsTest.moc"
