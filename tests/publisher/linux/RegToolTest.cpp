#include "RegTool.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <sstream>

namespace tessaly::test {
namespace {

class RegToolTest : public ::testing::Test {
protected:
    struct Result {
        int code;
        std::string out;
        std::string err;
    };
    Result run(std::vector<std::string> args, const std::string& input = "")
    {
        std::ostringstream out, err;
        std::istringstream in(input);
        const int code = RunRegTool(args, registry, out, err, in);
        return {code, out.str(), err.str()};
    }

    QTemporaryDir dir;
    SqliteRegistry registry{dir.path() + QStringLiteral("/HKEY_CURRENT_USER.sqlite3")};
};

TEST_F(RegToolTest, AddedValuesQueryInRegExeLayout)
{
    const char* key = "HKCU\\Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs";
    EXPECT_EQ(run({"add", key, "/v", "1", "/d", "Album: Artist - Title"}).code, 0);
    EXPECT_EQ(run({"ADD", key, "/v", "n", "/t", "reg_dword", "/d", "0x1F"}).code, 0);
    EXPECT_EQ(run({"add", key, "/v", "b", "/t", "REG_BINARY", "/d", "00aB"}).code, 0);
    EXPECT_EQ(run({"add", key, "/v", "m", "/t", "REG_MULTI_SZ", "/d", "x\\0y"}).code, 0);
    EXPECT_EQ(run({"add", key, "/ve", "/t", "REG_EXPAND_SZ", "/d", "%HOME%"}).code, 0);

    const Result all = run({"query", "hkey_current_user\\software\\yahoo\\pager\\profiles\\alice\\"
                                     "custom msgs"});
    EXPECT_EQ(all.code, 0);
    EXPECT_EQ(all.out, "\nHKEY_CURRENT_USER\\software\\yahoo\\pager\\profiles\\alice\\custom msgs\n"
                       "    (Default)    REG_EXPAND_SZ    %HOME%\n"
                       "    1    REG_SZ    Album: Artist - Title\n"
                       "    b    REG_BINARY    00AB\n"
                       "    m    REG_MULTI_SZ    x\\0y\n"
                       "    n    REG_DWORD    0x1f\n\n");
    const Result one = run({"query", key, "/v", "1"});
    EXPECT_EQ(one.out, "\nHKEY_CURRENT_USER\\Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs\n"
                       "    1    REG_SZ    Album: Artist - Title\n\n");
    const Result parent = run({"query", "HKCU\\Software\\Yahoo\\Pager\\profiles"});
    EXPECT_EQ(parent.out, "\nHKEY_CURRENT_USER\\Software\\Yahoo\\Pager\\profiles\n\n"
                          "HKEY_CURRENT_USER\\Software\\Yahoo\\Pager\\profiles\\alice\n");
}

TEST_F(RegToolTest, BadInputFailsWithASpecificMessage)
{
    run({"add", "HKCU\\K", "/v", "x", "/d", "1"});
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"query", "HKCU\\Missing"}, "unable to find"},
        {{"query", "HKCU\\K", "/v", "nope"}, "unable to find"},
        {{"query", "HKLM\\Software"}, "Only HKEY_CURRENT_USER"},
        {{"query", "Software\\K"}, "Invalid key name"},
        {{"add", "HKCU\\K", "/v", "d", "/t", "REG_DWORD", "/d", "4294967296"}, "REG_DWORD"},
        {{"add", "HKCU\\K", "/v", "d", "/t", "REG_DWORD", "/d", "12ab"}, "REG_DWORD"},
        {{"add", "HKCU\\K", "/v", "b", "/t", "REG_BINARY", "/d", "abc"}, "REG_BINARY"},
        {{"add", "HKCU\\K", "/v", "b", "/t", "REG_QWORD", "/d", "1"}, "Invalid type"},
        {{"add", "HKCU\\K", "/v"}, "/v needs a value"},
        {{"add", "HKCU\\K", "/d", "1"}, "need /v"},
        {{"query", "HKCU\\K", "/f"}, "unexpected \"/f\""},
        {{"remove", "HKCU\\K"}, "Invalid operation"},
        {{"query"}, "Invalid syntax"},
        {{"delete", "HKCU"}, "root key"},
        {{"delete", "HKCU\\K", "/v", "nope", "/f"}, "unable to find"},
    };
    for (const auto& [args, message] : cases) {
        const Result result = run(args);
        EXPECT_EQ(result.code, 1) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    // Nothing of the failed adds was written.
    EXPECT_EQ(run({"query", "HKCU\\K"}).out, "\nHKEY_CURRENT_USER\\K\n    x    REG_SZ    1\n\n");
}

TEST_F(RegToolTest, OverwriteAndDeleteAskUnlessForced)
{
    run({"add", "HKCU\\K\\Sub", "/v", "x", "/d", "old"});
    EXPECT_EQ(run({"add", "HKCU\\K\\Sub", "/v", "x", "/d", "new"}, "no\n").code, 1);
    EXPECT_NE(run({"query", "HKCU\\K\\Sub"}).out.find("old"), std::string::npos);
    EXPECT_EQ(run({"add", "HKCU\\K\\Sub", "/v", "X", "/d", "new"}, "yes\n").code, 0);
    EXPECT_NE(run({"query", "HKCU\\K\\Sub"}).out.find("    x    REG_SZ    new"), std::string::npos);
    EXPECT_EQ(run({"delete", "HKCU\\K"}, "").code, 1) << "no answer is no";
    EXPECT_EQ(run({"delete", "HKCU\\K\\Sub", "/v", "x", "/f"}).code, 0);
    EXPECT_EQ(run({"delete", "HKCU\\K", "/f"}).code, 0);
    EXPECT_EQ(run({"query", "HKCU\\K\\Sub"}).code, 1);
}

TEST_F(RegToolTest, TextIsStoredWithItsTerminatorLikeRegExe)
{
    run({"add", "HKCU\\K", "/v", "t", "/d", "abc"});
    RegKey key = 0;
    ASSERT_EQ(registry.RegOpenKeyA(kHkeyCurrentUser, "K", &key), kErrorSuccess);
    std::uint32_t type = 0, size = 0;
    registry.RegQueryValueExA(key, "t", nullptr, &type, nullptr, &size);
    registry.RegCloseKey(key);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);
}

} // namespace
} // namespace tessaly::test
