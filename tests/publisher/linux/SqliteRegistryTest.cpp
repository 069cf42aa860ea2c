#include "publisher/linux/SqliteRegistry.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QTemporaryDir>

namespace tessaly::test {
namespace {

class SqliteRegistryTest : public ::testing::Test {
protected:
    RegKey create(const char* path)
    {
        RegKey key = 0;
        EXPECT_EQ(registry.RegCreateKeyA(kHkeyCurrentUser, path, &key), kErrorSuccess) << path;
        return key;
    }
    void set(RegKey key, const char* name, std::uint32_t type, const std::string& bytes)
    {
        EXPECT_EQ(registry.RegSetValueExA(key, name, 0, type,
                                          reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                          std::uint32_t(bytes.size())),
                  kErrorSuccess);
    }

    QTemporaryDir dir;
    SqliteRegistry registry{dir.path() + QStringLiteral("/sub/HKEY_CURRENT_USER.sqlite3")};
};

TEST_F(SqliteRegistryTest, CreatesIntermediateKeysAndOpensThemCaseInsensitively)
{
    const RegKey key = create("Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs");
    registry.RegCloseKey(key);
    RegKey opened = 0;
    EXPECT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "SOFTWARE\\yahoo", &opened), kErrorSuccess);
    RegKey child = 0;
    EXPECT_EQ(registry.RegOpenKeyA(opened, "pager\\PROFILES\\Alice\\custom msgs", &child),
              kErrorSuccess);
    EXPECT_NE(child, 0u);
    registry.RegCloseKey(child);
    registry.RegCloseKey(opened);
    std::vector<std::string> names;
    RegKey yahoo = 0;
    registry.RegOpenKeyA(kHkeyCurrentUser, "software\\yahoo\\pager", &yahoo);
    ASSERT_EQ(registry.ListSubKeys(yahoo, &names), kErrorSuccess);
    EXPECT_EQ(names, std::vector<std::string>{"profiles"}) << "keeps the name as first created";
    registry.RegCloseKey(yahoo);
}

TEST_F(SqliteRegistryTest, EmptyPathComponentIsAKeyOfItsOwn)
{
    const RegKey empty = create("profiles\\\\Custom Msgs");
    set(empty, "1", kRegSz, "a");
    registry.RegCloseKey(empty);
    RegKey key = 0;
    EXPECT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "profiles\\Custom Msgs", &key),
              kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "profiles\\\\custom msgs", &key),
              kErrorSuccess);
    registry.RegCloseKey(key);
}

TEST_F(SqliteRegistryTest, StoresBytesAsGivenAndAnswersSizeProbeAndShortBuffer)
{
    const RegKey key = create("K");
    set(key, "Text", kRegSz, std::string("ab\0", 3));
    set(key, "", kRegBinary, "");

    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(registry.RegQueryValueExA(key, "TEXT", nullptr, &type, nullptr, &size),
              kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 3u) << "no terminator added or removed";

    std::uint8_t small[2] = {};
    size = sizeof small;
    EXPECT_EQ(registry.RegQueryValueExA(key, "text", nullptr, &type, small, &size), kErrorMoreData);
    EXPECT_EQ(size, 3u);

    std::uint8_t buffer[8] = {};
    size = sizeof buffer;
    EXPECT_EQ(registry.RegQueryValueExA(key, "text", nullptr, &type, buffer, &size), kErrorSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), std::string("ab\0", 3));

    type = 99;
    EXPECT_EQ(registry.RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &size),
              kErrorSuccess)
        << "null name is the default value";
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(size, 0u);

    set(key, "text", kRegDword, std::string("\1\0\0\0", 4));
    std::vector<SqliteRegistry::Value> values;
    ASSERT_EQ(registry.ListValues(key, &values), kErrorSuccess);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[1].name, "Text") << "an overwrite keeps the name's spelling";
    EXPECT_EQ(values[1].type, kRegDword);
    registry.RegCloseKey(key);
}

TEST_F(SqliteRegistryTest, AnswersWin32CodesForBadHandlesAndMissingThings)
{
    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(registry.RegQueryValueExA(0, "x", nullptr, &type, nullptr, &size),
              kErrorInvalidHandle);
    EXPECT_EQ(type, 0u);
    EXPECT_EQ(registry.RegQueryValueExA(kHkeyCurrentUser, "x", nullptr, &type, nullptr, &size),
              kErrorFileNotFound);
    EXPECT_EQ(registry.RegSetValueExA(0, "1", 0, kRegSz, nullptr, 0), kErrorInvalidHandle);
    EXPECT_EQ(registry.RegCloseKey(0), kErrorInvalidHandle);
    EXPECT_EQ(registry.RegCloseKey(12345), kErrorInvalidHandle);
    RegKey key = 77;
    EXPECT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "nope", &key), kErrorFileNotFound);
    EXPECT_EQ(key, 0u);
    EXPECT_EQ(registry.RegOpenKeyA(0x80000002u, "Software", &key), kErrorInvalidHandle);
}

TEST_F(SqliteRegistryTest, DeletesValuesAndWholeTrees)
{
    const RegKey key = create("A\\B\\C");
    set(key, "v", kRegSz, "x");
    EXPECT_EQ(registry.RegDeleteValueA(key, "V"), kErrorSuccess);
    EXPECT_EQ(registry.RegDeleteValueA(key, "v"), kErrorFileNotFound);
    set(key, "v", kRegSz, "x");
    registry.RegCloseKey(key);
    EXPECT_EQ(registry.RegDeleteTreeA(kHkeyCurrentUser, "a\\b"), kErrorSuccess);
    RegKey gone = 0;
    EXPECT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "A\\B\\C", &gone), kErrorFileNotFound);
    EXPECT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "A", &gone), kErrorSuccess);
    registry.RegCloseKey(gone);
    EXPECT_EQ(registry.RegDeleteTreeA(kHkeyCurrentUser, ""), kErrorInvalidParameter);
}

TEST_F(SqliteRegistryTest, SecondRegistryOnTheSameFileSeesTheWrites)
{
    const RegKey key = create("Shared");
    set(key, "v", kRegSz, "first");
    SqliteRegistry other(registry.hivePath());
    RegKey otherKey = 0;
    ASSERT_EQ(other.RegOpenKeyA(kHkeyCurrentUser, "shared", &otherKey), kErrorSuccess);
    set(key, "v", kRegSz, "second");
    std::uint8_t buffer[16];
    std::uint32_t size = sizeof buffer, type = 0;
    ASSERT_EQ(other.RegQueryValueExA(otherKey, "v", nullptr, &type, buffer, &size), kErrorSuccess);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), size), "second");
    other.RegCloseKey(otherKey);
    registry.RegCloseKey(key);
}

// A key path opened once is remembered: it must not outlive the key when another program, or
// this registry itself, deletes the key and makes it again under a new id.
TEST_F(SqliteRegistryTest, KeysDeletedAndMadeAgainAreFoundAgainWhoeverDidIt)
{
    SqliteRegistry other(registry.hivePath());
    const auto value = [](SqliteRegistry& from, const char* path) {
        RegKey key = 0;
        if (from.RegOpenKeyA(kHkeyCurrentUser, path, &key) != kErrorSuccess)
            return std::string("(no key)");
        std::uint8_t buffer[64];
        std::uint32_t size = sizeof buffer, type = 0;
        const RegStatus status = from.RegQueryValueExA(key, "v", nullptr, &type, buffer, &size);
        from.RegCloseKey(key);
        return status == kErrorSuccess ? std::string(reinterpret_cast<char*>(buffer), size)
                                       : std::string("(no value)");
    };
    struct Step {
        SqliteRegistry* deleter;
        const char* deleted;
        const char* written;
    };
    for (const Step& step : {Step{&other, "Profiles", "after the other program"},
                             Step{&registry, "profiles\\alice", "after this registry"},
                             Step{&other, "PROFILES\\Alice\\Custom Msgs", "once more"}}) {
        RegKey key = create("Profiles\\alice\\Custom Msgs");
        set(key, "v", kRegSz, "before");
        registry.RegCloseKey(key);
        ASSERT_EQ(value(other, "profiles\\ALICE\\custom msgs"), "before");

        ASSERT_EQ(step.deleter->RegDeleteTreeA(kHkeyCurrentUser, step.deleted), kErrorSuccess);
        // Another key takes the ids that were freed, made by the same side.
        RegKey filler = 0;
        ASSERT_EQ(step.deleter->RegCreateKeyA(kHkeyCurrentUser, "Filler\\A\\B\\C", &filler),
                  kErrorSuccess);
        step.deleter->RegCloseKey(filler);
        EXPECT_EQ(value(registry, "Profiles\\alice\\Custom Msgs"), "(no key)") << step.written;

        key = create("Profiles\\alice\\Custom Msgs");
        set(key, "v", kRegSz, step.written);
        registry.RegCloseKey(key);
        EXPECT_EQ(value(other, "Profiles\\alice\\Custom Msgs"), step.written);
        EXPECT_EQ(value(other, "Filler\\A\\B\\C"), "(no value)") << "nothing written elsewhere";
        ASSERT_EQ(other.RegDeleteTreeA(kHkeyCurrentUser, "Filler"), kErrorSuccess);
    }
}

TEST_F(SqliteRegistryTest, HiveRemovedBetweenCallsIsStartedAfresh)
{
    RegKey key = create("Gone");
    set(key, "v", kRegSz, "old");
    registry.RegCloseKey(key);
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(registry.hivePath() + QLatin1String(suffix));

    key = create("Fresh");
    set(key, "v", kRegSz, "new");
    registry.RegCloseKey(key);
    SqliteRegistry other(registry.hivePath());
    RegKey found = 0;
    EXPECT_EQ(other.RegOpenKeyA(kHkeyCurrentUser, "Fresh", &found), kErrorSuccess)
        << "written to the file now at the path, not to the removed one";
    other.RegCloseKey(found);
    EXPECT_EQ(other.RegOpenKeyA(kHkeyCurrentUser, "Gone", &found), kErrorFileNotFound);
}

} // namespace
} // namespace tessaly::test
