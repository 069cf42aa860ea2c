#include "common/qt/QtText.h"
#include "shell/qt/QSettingsStore.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QtGlobal>
#include <vector>

namespace {

using tessaly::OpenSettingsStore;
using tessaly::ToQString;
using tessaly::ToU16;
using tessaly::test::ScopedEnv;
using tessaly::test::TempHome;

QString ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void WriteFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

TEST(SettingsStore, WritesTheIniUnderXdgConfigHomeAtOnce)
{
    TempHome home;
    auto store = OpenSettingsStore();
    store->write(u"Opacity", u"55");
    // On disk before write returns: read the file itself, not through QSettings' cache.
    const QString ini = ReadFile(home.configHome() + QStringLiteral("/Tessaly/Tessaly.ini"));
    EXPECT_TRUE(ini.contains(QStringLiteral("[Settings]"))) << ini.toStdString();
    EXPECT_TRUE(ini.contains(QStringLiteral("Opacity=55"))) << ini.toStdString();
}

TEST(SettingsStore, FallsBackToHomeDotConfig)
{
    TempHome home;
    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", QByteArray());
    OpenSettingsStore()->write(u"Minimized", u"1");
    const QString ini = ReadFile(home.path() + QStringLiteral("/.config/Tessaly/Tessaly.ini"));
    EXPECT_TRUE(ini.contains(QStringLiteral("Minimized=1"))) << ini.toStdString();
}

TEST(SettingsStore, LocationIsTakenWhenOpened)
{
    TempHome first;
    OpenSettingsStore()->write(u"Format", u"first");
    TempHome second;
    auto store = OpenSettingsStore();
    EXPECT_EQ(store->read(u"Format", u"none"), u"none");
    store->write(u"Format", u"second");
    EXPECT_TRUE(ReadFile(first.configHome() + QStringLiteral("/Tessaly/Tessaly.ini"))
                    .contains(QStringLiteral("first")));
}

TEST(SettingsStore, TextsRoundTripExactly)
{
    TempHome home;
    const std::vector<QString> texts = {
        QStringLiteral("%L: %A - %T"),
        QStringLiteral("a, b"),
        QStringLiteral("  padded  "),
        QStringLiteral("x;y=z\"q\\"),
        QString(),
        QStringLiteral("Ünïcødé ♫"),
        QStringLiteral("@Variant(x)"),
        QStringLiteral("0"),
    };
    for (const QString& text : texts) {
        OpenSettingsStore()->write(u"Format", ToU16(text));
        // A fresh store reads what the previous one wrote.
        EXPECT_EQ(ToQString(OpenSettingsStore()->read(u"Format", u"default")), text);
    }
}

TEST(SettingsStore, HandEditedListReadsAsOneText)
{
    TempHome home;
    const QString dir = home.configHome() + QStringLiteral("/Tessaly");
    ASSERT_TRUE(QDir().mkpath(dir));
    WriteFile(dir + QStringLiteral("/Tessaly.ini"), "[Settings]\nFormat=%A, %T\n");
    EXPECT_EQ(OpenSettingsStore()->read(u"Format", u""), u"%A, %T");
}

TEST(SettingsStore, AWriteOfTheStoredValueLeavesTheFileAlone)
{
    TempHome home;
    const QString dir = home.configHome() + QStringLiteral("/Tessaly");
    ASSERT_TRUE(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/Tessaly.ini");
    // Laid out by hand: a rewrite by the store would change its spacing.
    const QByteArray handMade = "[Settings]\nOpacity = 55\nFormat = %A, %T\n";
    WriteFile(path, handMade);
    auto store = OpenSettingsStore();
    store->write(u"Opacity", u"55");
    EXPECT_EQ(ReadFile(path), QString::fromLatin1(handMade));
    // The hand-made list is one text to the program: written back, it is stored as one.
    store->write(u"Format", u"%A, %T");
    EXPECT_TRUE(ReadFile(path).contains(QStringLiteral("Format=\"%A, %T\"")))
        << ReadFile(path).toStdString();
    store->write(u"Opacity", u"56");
    EXPECT_EQ(ToQString(OpenSettingsStore()->read(u"Opacity", u"")), QStringLiteral("56"));
}

QStringList gWarnings;

void CollectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && context.category &&
        QByteArray(context.category) == QByteArrayLiteral("tessaly.shell"))
        gWarnings << message;
}

TEST(SettingsStore, WriteFailureIsReportedNotThrown)
{
    TempHome home;
    // A plain file where the folder should be: the write cannot succeed, even as root.
    WriteFile(home.configHome() + QStringLiteral("/Tessaly"), "not a folder");
    gWarnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(CollectWarnings);
    EXPECT_NO_THROW(OpenSettingsStore()->write(u"Opacity", u"1"));
    qInstallMessageHandler(previous);
    ASSERT_EQ(gWarnings.size(), 1);
    EXPECT_TRUE(gWarnings.front().contains(QStringLiteral("Opacity")));
}

} // namespace
