// The program between the real tools on a private bus: the demo player's tracks reach the
// Messenger stand-in's status line, radio titles reach the playlist, settings survive a restart.

#include "common/qt/QtText.h"
#include "support/ChildProcess.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"
#include "watcher/FormatStatus.h"

#include <gtest/gtest.h>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>

namespace tessaly::test {
namespace {

const QString kPlayerService = QStringLiteral("org.mpris.MediaPlayer2.tessaly_demo");
const QStringList kChildEnvironment{QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                                    QStringLiteral("LANG=C.UTF-8"),
                                    QStringLiteral("LC_ALL=C.UTF-8")};

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct EndToEnd : ::testing::Test {
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        connection = bus.connect(QStringLiteral("end-to-end"));
        ASSERT_TRUE(messenger.start(MESSENGER_STANDIN, {"--user", "e2e"}, kChildEnvironment));
        ASSERT_TRUE(
            messenger.waitForOutputLine([](const QString& l) { return l == "ready"; }, 10000));
    }

    QString settingsPath() const { return home.configHome() + "/Tessaly/Tessaly.ini"; }
    QString programFolder() const { return home.dataHome() + "/Tessaly"; }

    // Started once the start-up has written its settings back (a key the tests never preset).
    bool StartTessaly()
    {
        if (!tessaly.start(TESSALY_PROGRAM, {}, kChildEnvironment))
            return false;
        return WaitUntil([&] { return Contents(settingsPath()).contains("Minimized="); }, 10000);
    }

    bool StartPlayer(const QStringList& arguments)
    {
        if (!player.start(DEMO_PLAYER, arguments, kChildEnvironment))
            return false;
        return WaitUntil(
            [&] { return connection.interface()->isServiceRegistered(kPlayerService).value(); },
            10000);
    }

    QVariantMap Metadata()
    {
        QDBusInterface props(kPlayerService, "/org/mpris/MediaPlayer2",
                             "org.freedesktop.DBus.Properties", connection);
        const QDBusReply<QDBusVariant> reply =
            props.call("Get", "org.mpris.MediaPlayer2.Player", "Metadata");
        QVariantMap map;
        if (reply.isValid())
            reply.value().variant().value<QDBusArgument>() >> map;
        return map;
    }

    QString ExpectedStatus()
    {
        const QVariantMap m = Metadata();
        return ToQString(FormatStatus(
            u"%L: %A - %T", ToU16(m.value("xesam:artist").toStringList().join(", ")),
            ToU16(m.value("xesam:album").toString()), ToU16(m.value("xesam:title").toString())));
    }

    bool WaitForStatus(const QString& expected, int timeoutMs)
    {
        return messenger.waitForOutputLine(
            [&](const QString& l) { return l == "status: " + expected; }, timeoutMs);
    }

    PrivateBus bus;
    TempHome home;
    QDBusConnection connection{QString()};
    ChildProcess messenger{"messenger"};
    ChildProcess tessaly{"tessaly"};
    ChildProcess player{"player"};
};

TEST_F(EndToEnd, EachTrackReachesTheMessengerCleaned)
{
    ASSERT_TRUE(StartTessaly());
    ASSERT_TRUE(StartPlayer({}));
    const QString first = ExpectedStatus();
    ASSERT_FALSE(first.isEmpty());
    EXPECT_TRUE(WaitForStatus(first, 10000)) << messenger.outputLines().join('\n').toStdString();

    QDBusInterface mpris(kPlayerService, "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2.Player",
                         connection);
    mpris.call("Next");
    ASSERT_TRUE(WaitUntil([&] { return ExpectedStatus() != first; }, 5000));
    const QString second = ExpectedStatus();
    EXPECT_TRUE(WaitForStatus(second, 10000)) << messenger.outputLines().join('\n').toStdString();
    EXPECT_TRUE(tessaly.isRunning());
}

TEST_F(EndToEnd, RadioTitlesAreLoggedAndSettingsSurviveARestart)
{
    QDir().mkpath(home.configHome() + "/Tessaly");
    {
        QFile ini(settingsPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Settings]\nRadioPlayList=1\nBallons=0\nMainOpacity=55\nFormat=%T\n"
                  "PlaylistFile=radio.txt\n");
    }
    ASSERT_TRUE(StartTessaly());
    ASSERT_TRUE(StartPlayer({"--radio", "--interval", "400"}));
    const QString playlist = programFolder() + "/radio.txt";
    ASSERT_TRUE(WaitUntil([&] { return Contents(playlist).count('\n') >= 2; }, 15000))
        << Contents(playlist).toStdString();
    const QList<QByteArray> lines = Contents(playlist).split('\n');
    EXPECT_FALSE(lines[0].isEmpty());
    EXPECT_FALSE(QFile::exists(programFolder() + "/error.txt"));

    tessaly.terminate();
    ASSERT_TRUE(tessaly.waitForExit(5000));
    const QByteArray saved = Contents(settingsPath());
    EXPECT_TRUE(saved.contains("MainOpacity=55"));
    EXPECT_TRUE(saved.contains("RadioPlayList=1"));
    EXPECT_TRUE(saved.contains("Format=%T"));

    ChildProcess again("tessaly again");
    ASSERT_TRUE(again.start(TESSALY_PROGRAM, {}, kChildEnvironment));
    WaitUntil([] { return false; }, 1500);
    EXPECT_TRUE(again.isRunning());
    EXPECT_EQ(Contents(settingsPath()), saved);
    again.terminate();
}

} // namespace
} // namespace tessaly::test
