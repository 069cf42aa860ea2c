// The settings store warns about what went wrong, once, and never about a write that worked.

#include "shell/qt/QSettingsStore.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>

namespace {

using tessaly::OpenSettingsStore;
using tessaly::test::TempHome;

QStringList gWarnings;

void Collect(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        gWarnings << message;
}

class StoreWarnings : public ::testing::Test {
protected:
    void SetUp() override
    {
        gWarnings.clear();
        previous_ = qInstallMessageHandler(Collect);
        QDir().mkpath(iniPath().section('/', 0, -2));
    }
    void TearDown() override { qInstallMessageHandler(previous_); }

    QString iniPath() const { return home.configHome() + QStringLiteral("/Tessaly/Tessaly.ini"); }
    qsizetype count(const QString& text) const { return gWarnings.filter(text).size(); }

    TempHome home;
    QtMessageHandler previous_ = nullptr;
};

TEST_F(StoreWarnings, ParseErrorIsToldOnceAndWritesThatWorkAreNotFailures)
{
    QFile ini(iniPath());
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Settings]\nOpacity=40\n\"broken\nFormat=\"unterminated\n[half\n");
    ini.close();

    auto store = OpenSettingsStore();
    EXPECT_EQ(store->read(u"Opacity", u"0"), u"40");
    store->write(u"Opacity", u"55");
    store->write(u"Minimized", u"1");
    store->write(u"Opacity", u"60");
    EXPECT_EQ(count(QStringLiteral("cannot be read")), 1) << qPrintable(gWarnings.join('|'));
    EXPECT_EQ(count(QStringLiteral("could not save")), 0) << qPrintable(gWarnings.join('|'));

    QSettings check(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(check.value(QStringLiteral("Settings/Opacity")).toString(), QStringLiteral("60"));
    EXPECT_EQ(check.value(QStringLiteral("Settings/Minimized")).toString(), QStringLiteral("1"));
}

TEST_F(StoreWarnings, EveryWriteThatFailsIsReported)
{
    // A folder where the file should be: no write can succeed, whoever runs the test.
    ASSERT_TRUE(QDir().mkpath(iniPath()));
    auto store = OpenSettingsStore();
    store->write(u"Opacity", u"55");
    store->write(u"Opacity", u"56");
    EXPECT_EQ(count(QStringLiteral("could not save")), 2) << qPrintable(gWarnings.join('|'));
}

} // namespace
