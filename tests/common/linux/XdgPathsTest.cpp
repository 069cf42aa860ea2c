// The user's folders by the XDG base-directory rule, and the creation of the program folder.

#include "common/linux/XdgPaths.h"

#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace tessaly {
namespace {

using test::ScopedEnv;

// Unset stands for a variable that is not in the environment at all.
constexpr const char* kUnset = nullptr;

void Put(ScopedEnv& env, const char* name, const char* value)
{
    if (value == kUnset)
        env.unset(name);
    else
        env.set(name, value);
}

TEST(XdgPaths, TheVariableWhenAbsoluteElseTheDefaultUnderHome)
{
    const struct {
        const char* home;
        const char* value;
        const char* expected; // the data folder; the config folder follows the same rule
        const char* expectedConfig;
    } cases[] = {
        {"/home/ann", "/xdg/data", "/xdg/data", "/xdg/data"},
        {"/home/ann", kUnset, "/home/ann/.local/share", "/home/ann/.config"},
        {"/home/ann", "", "/home/ann/.local/share", "/home/ann/.config"},
        {"/home/ann", "relative/data", "/home/ann/.local/share", "/home/ann/.config"},
        {"/home/ann", "./data", "/home/ann/.local/share", "/home/ann/.config"},
        {"/home/ann", "~/data", "/home/ann/.local/share", "/home/ann/.config"},
        {"/home/ann", "/xdg/data///", "/xdg/data", "/xdg/data"},
        {"/home/ann//", kUnset, "/home/ann/.local/share", "/home/ann/.config"},
        {"/", kUnset, "/.local/share", "/.config"},
        {"/home/ann", "/", "/", "/"},
    };
    for (const auto& c : cases) {
        ScopedEnv env;
        env.set("HOME", c.home);
        Put(env, "XDG_DATA_HOME", c.value);
        Put(env, "XDG_CONFIG_HOME", c.value);
        const std::string shown =
            std::string("HOME=") + c.home + " value=" + (c.value ? c.value : "(unset)");
        EXPECT_EQ(XdgDataHome(), c.expected) << shown;
        EXPECT_EQ(XdgConfigHome(), c.expectedConfig) << shown;
    }
}

TEST(XdgPaths, ReadAtEachCall)
{
    ScopedEnv env;
    env.set("XDG_DATA_HOME", "/first");
    EXPECT_EQ(XdgDataHome(), "/first");
    env.set("XDG_DATA_HOME", "/second");
    EXPECT_EQ(XdgDataHome(), "/second");
}

TEST(XdgPaths, WithoutHomeThePasswdEntryGivesTheHomeFolder)
{
    ScopedEnv env;
    env.unset("HOME");
    env.unset("XDG_DATA_HOME");
    const std::string data = XdgDataHome();
    ASSERT_FALSE(data.empty());
    EXPECT_EQ(data.front(), '/');
    EXPECT_TRUE(data.ends_with("/.local/share")) << data;
}

TEST(ProgramFolder, IsTessalyInTheDataFolder)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/xdg-data", "/tmp/xdg-data/Tessaly"},
        {"/tmp/xdg-data/", "/tmp/xdg-data/Tessaly"},
        {"relative/path", "/tmp/home/.local/share/Tessaly"},
        {"", "/tmp/home/.local/share/Tessaly"},
        {"/", "/Tessaly"},
    };
    for (const auto& [value, expected] : cases) {
        ScopedEnv env;
        env.set("HOME", "/tmp/home");
        env.set("XDG_DATA_HOME", value);
        EXPECT_EQ(ProgramFolder(), expected) << value;
    }
}

class EnsureFolderTest : public ::testing::Test {
protected:
    std::string path(const char* relative) const
    {
        return (temp.path() + QLatin1Char('/') + QLatin1String(relative)).toStdString();
    }
    static bool isFolder(const std::string& p)
    {
        struct stat info {};
        return ::stat(p.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    void makeFile(const char* relative) const
    {
        QFile file(QString::fromStdString(path(relative)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir temp;
};

TEST_F(EnsureFolderTest, CreatesTheFolderAndItsParents)
{
    const std::string folder = path("data/deep/er/Tessaly");
    EXPECT_TRUE(EnsureFolder(folder));
    EXPECT_TRUE(isFolder(folder));
    EXPECT_TRUE(EnsureFolder(folder)) << "an existing folder is fine";
    EXPECT_TRUE(EnsureFolder(path("data/trailing/")));
    EXPECT_TRUE(isFolder(path("data/trailing")));
}

TEST_F(EnsureFolderTest, AFileInTheWayMeansNoFolder)
{
    makeFile("file");
    EXPECT_FALSE(EnsureFolder(path("file")));
    EXPECT_FALSE(EnsureFolder(path("file/Tessaly")));
    EXPECT_FALSE(EnsureFolder(path("file/a/b")));
    EXPECT_FALSE(EnsureFolder(""));
    EXPECT_FALSE(EnsureFolder(std::string("ok\0no", 5)));
}

} // namespace
} // namespace tessaly
