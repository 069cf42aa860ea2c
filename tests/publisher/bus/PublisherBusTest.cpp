// The status writer against real processes on a private session bus: the Messenger stand-in
// and tessaly-reg share the hive and the window class with it.

#include "publisher/linux/DBusWindowMessages.h"
#include "publisher/linux/LinuxStatusPublisher.h"
#include "publisher/linux/LocaleCodePage.h"
#include "publisher/linux/SqliteRegistry.h"
#include "publisher/RegistryText.h"
#include "publisher/Yahoo.h"
#include "support/ChildProcess.h"
#include "support/PrivateBus.h"
#include "support/TestEnvironment.h"
#include "support/WarningLog.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <sqlite3.h>

namespace tessaly::test {
namespace {

constexpr char kAliceMessages[] = "HKCU\\Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs";

struct RegRun {
    int code;
    QString out;
    QString err;
};

class PublisherBusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bus.isRunning());
        connection = std::make_unique<QDBusConnection>(bus.connect(QStringLiteral("publisher")));
        ASSERT_TRUE(connection->isConnected());
        publisher = CreateLinuxStatusPublisher(*connection);
    }

    // Starts a stand-in and waits until it owns the window class (or queues for it).
    void startStandIn(ChildProcess& standIn, const QStringList& arguments,
                      const QString& announcement = QStringLiteral("ready"))
    {
        ASSERT_TRUE(standIn.start(QStringLiteral(MESSENGER_STANDIN), arguments));
        ASSERT_TRUE(
            standIn.waitForOutputLine([&](const QString& l) { return l == announcement; }, 5000))
            << standIn.errorLines().join('\n').toStdString();
    }

    static bool waitForStatus(ChildProcess& standIn, const QString& status, int timeoutMs = 3000)
    {
        return standIn.waitForOutputLine(
            [&](const QString& line) { return line == QStringLiteral("status: ") + status; },
            timeoutMs);
    }

    static int statusLines(const ChildProcess& standIn)
    {
        int count = 0;
        for (const QString& line : standIn.outputLines())
            count += line.startsWith(QStringLiteral("status: "));
        return count;
    }

    static RegRun reg(const QStringList& arguments)
    {
        QProcess process;
        process.start(QStringLiteral(TESSALY_REG), arguments);
        process.waitForFinished(10000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    static std::u16string storedMessage(const std::u16string& userId)
    {
        SqliteRegistry registry;
        LocaleCodePage ansi;
        return RegistryText(registry, ansi)
            .GetRegString(kHkeyCurrentUser, yahoo::CustomMessagesKey(userId), u"1");
    }

    qint64 publishTimed(const std::u16string& text)
    {
        return ElapsedMs([&] { publisher->SetYahooStatus(text); });
    }

    TempHome home;
    PrivateBus bus;
    std::unique_ptr<QDBusConnection> connection;
    std::unique_ptr<StatusPublisher> publisher;
};

TEST_F(PublisherBusTest, StandInTakesUpEveryPublishedStatusAndTessalyRegReadsIt)
{
    ChildProcess standIn(QStringLiteral("standin"));
    startStandIn(standIn, {QStringLiteral("--user"), QStringLiteral("alice")});

    const QString text = QStringLiteral("Bj\u00F6rk: J\u00F3ga \u266B \U0001F3B5");
    publisher->SetYahooStatus(text.toStdU16String());
    EXPECT_TRUE(waitForStatus(standIn, text)) << standIn.outputLines().join('\n').toStdString();

    const RegRun query = reg({QStringLiteral("query"), QString::fromLatin1(kAliceMessages),
                              QStringLiteral("/v"), QStringLiteral("1")});
    EXPECT_EQ(query.code, 0) << query.err.toStdString();
    EXPECT_TRUE(query.out.contains(QStringLiteral("    1    REG_SZ    ") + text + '\n'))
        << query.out.toStdString();

    publisher->SetYahooStatus(text.toStdU16String());
    publisher->SetYahooStatus(u"");
    EXPECT_TRUE(waitForStatus(standIn, QString()));
    EXPECT_EQ(statusLines(standIn), 3) << "the same text is taken up again";
}

TEST_F(PublisherBusTest, MessengerAbsentStillWritesTheValueQuietly)
{
    ASSERT_EQ(reg({QStringLiteral("add"), QStringLiteral("HKCU\\Software\\Yahoo\\Pager"),
                   QStringLiteral("/v"), QStringLiteral("Yahoo! user id"), QStringLiteral("/d"),
                   QStringLiteral("bob")})
                  .code,
              0);
    WarningLog warnings;
    EXPECT_LT(publishTimed(u"nobody listens"), 1000);
    EXPECT_EQ(storedMessage(u"bob"), u"nobody listens");
    EXPECT_TRUE(warnings.lines().isEmpty()) << warnings.lines().join('\n').toStdString();
}

TEST_F(PublisherBusTest, HangingMessengerCostsOneTimeLimitForBothCommands)
{
    ChildProcess standIn(QStringLiteral("standin"));
    startStandIn(standIn,
                 {QStringLiteral("--user"), QStringLiteral("alice"), QStringLiteral("--hang")});
    for (const char16_t* text : {u"still written", u"written again"}) {
        const qint64 elapsed = publishTimed(text);
        EXPECT_GE(elapsed, 1900) << "the commands wait for their time limit";
        EXPECT_LT(elapsed, 3000) << "both are in flight together";
        EXPECT_EQ(storedMessage(u"alice"), text);
    }
    EXPECT_EQ(statusLines(standIn), 0);
}

TEST_F(PublisherBusTest, MessengerThatQuitsAndComesBackGetsTheNextStatus)
{
    {
        ChildProcess standIn(QStringLiteral("first"));
        startStandIn(standIn, {QStringLiteral("--user"), QStringLiteral("alice")});
        publisher->SetYahooStatus(u"to the first");
        ASSERT_TRUE(waitForStatus(standIn, QStringLiteral("to the first")));
        standIn.terminate();
        ASSERT_TRUE(standIn.waitForExit(3000));
    }
    WarningLog warnings;
    EXPECT_LT(publishTimed(u"while away"), 1000) << "a gone Messenger is not waited for";
    EXPECT_EQ(storedMessage(u"alice"), u"while away");

    ChildProcess again(QStringLiteral("again"));
    startStandIn(again, {QStringLiteral("--user"), QStringLiteral("alice")});
    publisher->SetYahooStatus(u"to the one back");
    EXPECT_TRUE(waitForStatus(again, QStringLiteral("to the one back")));
    EXPECT_EQ(statusLines(again), 1);
    EXPECT_TRUE(warnings.lines().isEmpty()) << warnings.lines().join('\n').toStdString();
}

// The window found before a restart names an owner that has left the bus: whatever this side
// has heard of the change by then, the commands go to the window's new owner, once each.
TEST_F(PublisherBusTest, CommandsForAWindowWhoseOwnerRestartedReachTheNewOwner)
{
    DBusWindowMessages windows(*connection);
    ChildProcess first(QStringLiteral("first"));
    startStandIn(first, {QStringLiteral("--user"), QStringLiteral("alice")});
    const WindowHandle before = windows.FindWindowA(yahoo::kMainWindowClass, nullptr);
    ASSERT_FALSE(before.isNull());
    first.terminate();
    ASSERT_TRUE(first.waitForExit(3000));
    ChildProcess second(QStringLiteral("second"));
    startStandIn(second, {QStringLiteral("--user"), QStringLiteral("alice")});

    publisher->SetYahooStatus(u"for the new owner"); // stores the text the commands load
    ASSERT_TRUE(waitForStatus(second, QStringLiteral("for the new owner")));
    const WindowMessage commands[] = {
        {kWmCommand, yahoo::kLoadCustomMessageCommand, yahoo::kCommandLParam},
        {kWmCommand, yahoo::kUseCustomMessageCommand, yahoo::kCommandLParam}};
    windows.SendMessagesTimeoutA(before, commands, yahoo::kSendTimeLimit);
    EXPECT_TRUE(WaitUntil([&] { return statusLines(second) == 2; }, 3000));
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(statusLines(second), 2) << second.outputLines().join('\n').toStdString();

    const WindowHandle now = windows.FindWindowA(yahoo::kMainWindowClass, nullptr);
    EXPECT_FALSE(now.isNull());
    EXPECT_NE(now, before);
}

TEST_F(PublisherBusTest, OnlyTheOwnerOfTheWindowClassReceives)
{
    ChildProcess first(QStringLiteral("first"));
    ChildProcess second(QStringLiteral("second"));
    startStandIn(first, {QStringLiteral("--user"), QStringLiteral("alice")});
    startStandIn(second, {QStringLiteral("--user"), QStringLiteral("alice")},
                 QStringLiteral("queued"));

    publisher->SetYahooStatus(u"to the owner");
    EXPECT_TRUE(waitForStatus(first, QStringLiteral("to the owner")));
    WaitUntil([] { return false; }, 300);
    EXPECT_EQ(statusLines(second), 0);

    first.terminate();
    ASSERT_TRUE(first.waitForExit(3000));
    ASSERT_TRUE(second.waitForOutputLine([](const QString& l) { return l == "ready"; }, 3000));
    publisher->SetYahooStatus(u"to the next owner");
    EXPECT_TRUE(waitForStatus(second, QStringLiteral("to the next owner")));
}

TEST_F(PublisherBusTest, LockedHiveFailsTheWriteQuietlyAndStillSendsTheCommands)
{
    ChildProcess standIn(QStringLiteral("standin"));
    startStandIn(standIn, {QStringLiteral("--user"), QStringLiteral("alice")});
    publisher->SetYahooStatus(u"before");
    ASSERT_TRUE(waitForStatus(standIn, QStringLiteral("before")));

    sqlite3* lock = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(HivePath()).constData(), &lock), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(lock, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        WarningLog warnings;
        const qint64 elapsed = publishTimed(u"while locked");
        EXPECT_LT(elapsed, 4000);
        EXPECT_GE(elapsed, 1900) << "the write waits for the busy timeout first";
        EXPECT_TRUE(WaitUntil([&] { return statusLines(standIn) == 2; }, 3000))
            << "the commands went out";
        EXPECT_EQ(standIn.outputLines().last(), QStringLiteral("status: before"))
            << "the Messenger took up the text it still finds";
        EXPECT_TRUE(warnings.lines().join('\n').contains(QStringLiteral("value write failed")))
            << warnings.lines().join('\n').toStdString();
    }
    sqlite3_exec(lock, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(lock);

    publisher->SetYahooStatus(u"after");
    EXPECT_TRUE(waitForStatus(standIn, QStringLiteral("after")));
}

class CorruptHiveTest : public PublisherBusTest {
protected:
    void SetUp() override
    {
        PublisherBusTest::SetUp();
        QDir().mkpath(QFileInfo(HivePath()).absolutePath());
        QFile file(HivePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'x').prepend("this is not a database\n"));
    }

    static QStringList corruptFiles()
    {
        return QFileInfo(HivePath()).dir().entryList({QStringLiteral("*.corrupt-*")}, QDir::Files);
    }
};

TEST_F(CorruptHiveTest, WriterMovesItAsideWarnsOnceAndPublishes)
{
    ChildProcess standIn(QStringLiteral("standin"));
    {
        WarningLog warnings;
        publisher->SetYahooStatus(u"fresh start");
        EXPECT_EQ(warnings.lines().size(), 1) << warnings.lines().join('\n').toStdString();
        EXPECT_TRUE(warnings.lines().value(0).contains(QStringLiteral("not a database")));
    }
    ASSERT_EQ(corruptFiles().size(), 1);
    QFile aside(QFileInfo(HivePath()).dir().filePath(corruptFiles().first()));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_TRUE(aside.readAll().startsWith("this is not a database")) << "nothing is lost";
    EXPECT_EQ(storedMessage(u""), u"fresh start");

    startStandIn(standIn, {QStringLiteral("--user"), QStringLiteral("alice")});
    publisher->SetYahooStatus(u"on the fresh hive");
    EXPECT_TRUE(waitForStatus(standIn, QStringLiteral("on the fresh hive")));
    EXPECT_EQ(corruptFiles().size(), 1);
}

TEST_F(CorruptHiveTest, TessalyRegSaysSoInOneLineAndGoesOn)
{
    const RegRun query = reg({QStringLiteral("query"), QStringLiteral("HKCU")});
    EXPECT_EQ(query.code, 0);
    const QStringList errors = query.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errors.size(), 1) << query.err.toStdString();
    EXPECT_TRUE(errors.first().contains(QStringLiteral("not a database")));
    EXPECT_EQ(query.out, QStringLiteral("\nHKEY_CURRENT_USER\n\n"));
    EXPECT_EQ(corruptFiles().size(), 1);
}

} // namespace
} // namespace tessaly::test
