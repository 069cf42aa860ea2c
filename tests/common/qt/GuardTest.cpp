// The event loop's boundary: a failing handler is logged in its subsystem's category and goes no
// further.

#include "common/qt/Guard.h"

#include "common/qt/Logging.h"

#include <functional>
#include <gtest/gtest.h>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace tessaly {
namespace {

struct Logged {
    QtMsgType type;
    QString category;
    QString message;
};

std::vector<Logged> gLogged;

void Collect(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    gLogged.push_back({type, QString::fromLatin1(context.category), message});
}

class GuardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLogged.clear();
        previous_ = qInstallMessageHandler(Collect);
    }
    void TearDown() override { qInstallMessageHandler(previous_); }

private:
    QtMessageHandler previous_ = nullptr;
};

TEST_F(GuardTest, AHandlerThatSucceedsRunsOnceAndLogsNothing)
{
    int runs = 0;
    EXPECT_TRUE(Guarded(lcWatcher, "OnPlayerPlayEvent", [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(gLogged.empty());
}

TEST_F(GuardTest, AFailureIsOneWarningInTheGivenCategoryNamingTheHandler)
{
    const struct {
        LogCategory category;
        const char* categoryName;
        std::function<void()> body;
        const char* expected;
    } cases[] = {
        {lcPublisher, "tessaly.publisher", [] { throw std::runtime_error("hive locked"); },
         "SetYahooStatus failed: hive locked"},
        {lcWatcher, "tessaly.watcher", [] { throw std::bad_alloc(); },
         "SetYahooStatus failed: std::bad_alloc"},
        {lcShell, "tessaly.shell", [] { throw 42; }, "SetYahooStatus failed with an unknown error"},
    };
    for (const auto& c : cases) {
        gLogged.clear();
        EXPECT_FALSE(Guarded(c.category, "SetYahooStatus", c.body));
        ASSERT_EQ(gLogged.size(), 1u) << c.expected;
        EXPECT_EQ(gLogged[0].type, QtWarningMsg);
        EXPECT_EQ(gLogged[0].category, QLatin1String(c.categoryName));
        EXPECT_EQ(gLogged[0].message, QLatin1String(c.expected));
    }
}

TEST_F(GuardTest, FailedStepsAreOneWarningEachInTheirCategory)
{
    const FailureSink sink = LogFailures(lcPublisher);
    EXPECT_FALSE(RunStep(sink, "find window", [] { throw std::runtime_error("no bus"); }));
    sink("send command", "timed out");
    ASSERT_EQ(gLogged.size(), 2u);
    EXPECT_EQ(gLogged[0].category, QLatin1String("tessaly.publisher"));
    EXPECT_EQ(gLogged[0].message, QLatin1String("find window failed: no bus"));
    EXPECT_EQ(gLogged[1].message, QLatin1String("send command failed: timed out"));
}

TEST_F(GuardTest, EveryCategoryWarnsByDefaultAndKeepsDebugQuiet)
{
    for (const LogCategory category : {lcShell, lcWatcher, lcPublisher, lcPopup, lcAbout}) {
        EXPECT_TRUE(category().isWarningEnabled()) << category().categoryName();
        EXPECT_FALSE(category().isDebugEnabled()) << category().categoryName();
    }
}

} // namespace
} // namespace tessaly
