#include "publisher/StatusWriter.h"

#include "FakePorts.h"
#include "publisher/FanOutPublisher.h"
#include "publisher/Yahoo.h"
#include "support/core/FakeCodePages.h"

#include <chrono>
#include <condition_variable>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tessaly::test {
namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

// A publisher whose calls wait at a gate, as a Messenger that is slow to answer does; it gives up
// waiting after its own time limit, as the real publishers do.
class Gate {
public:
    explicit Gate(std::chrono::milliseconds limit = 5s) : limit_(limit) {}

    void close()
    {
        const std::lock_guard lock(mutex_);
        open_ = false;
    }
    void open()
    {
        {
            const std::lock_guard lock(mutex_);
            open_ = true;
        }
        changed_.notify_all();
    }

    void pass(const std::u16string& text)
    {
        std::unique_lock lock(mutex_);
        entered_.push_back(text);
        threads_.push_back(std::this_thread::get_id());
        maxInside_ = std::max(maxInside_, ++inside_);
        changed_.notify_all();
        changed_.wait_for(lock, limit_, [this] { return open_; });
        --inside_;
        published_.push_back(text);
        changed_.notify_all();
    }
    void destroyedOn(std::thread::id thread)
    {
        const std::lock_guard lock(mutex_);
        destroyedOn_ = thread;
    }

    bool waitEntered(std::size_t count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 5s, [&] { return entered_.size() >= count; });
    }
    std::vector<std::u16string> published()
    {
        const std::lock_guard lock(mutex_);
        return published_;
    }
    std::vector<std::thread::id> threads()
    {
        const std::lock_guard lock(mutex_);
        return threads_;
    }
    int maxInside()
    {
        const std::lock_guard lock(mutex_);
        return maxInside_;
    }
    std::thread::id destroyedOn()
    {
        const std::lock_guard lock(mutex_);
        return destroyedOn_;
    }

private:
    const std::chrono::milliseconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool open_ = true;
    int inside_ = 0;
    int maxInside_ = 0;
    std::vector<std::u16string> entered_;
    std::vector<std::u16string> published_;
    std::vector<std::thread::id> threads_;
    std::thread::id destroyedOn_;
};

class GatedPublisher final : public StatusPublisher {
public:
    explicit GatedPublisher(Gate& gate) : gate_(gate) {}
    ~GatedPublisher() override { gate_.destroyedOn(std::this_thread::get_id()); }
    void SetYahooStatus(const std::u16string& statusText) override { gate_.pass(statusText); }

private:
    Gate& gate_;
};

class ThrowingPublisher final : public StatusPublisher {
public:
    void SetYahooStatus(const std::u16string&) override { throw std::runtime_error("broken"); }
};

struct Failures {
    std::mutex mutex;
    std::vector<std::string> steps;
    FailureSink sink()
    {
        return [this](std::string_view step, std::string_view what) {
            const std::lock_guard lock(mutex);
            steps.push_back(std::string(step) + ": " + std::string(what));
        };
    }
};

StatusWriter::Factory Gated(Gate& gate)
{
    return [&gate] {
        return std::make_unique<GatedPublisher>(gate);
    };
}

std::u16string Numbered(int n)
{
    return u"status " + std::u16string(std::size_t(n) + 1, u'#');
}

TEST(StatusWriter, PublishesInRefreshOrderOneCallAtATimeOnItsOwnThread)
{
    Gate gate;
    {
        StatusWriter writer(Gated(gate));
        for (int i = 0; i < 200; ++i)
            writer.SetYahooStatus(Numbered(i));
        ASSERT_TRUE(writer.WaitUntilIdle(5s));
    }
    const std::vector<std::u16string> published = gate.published();
    ASSERT_FALSE(published.empty());
    EXPECT_EQ(published.back(), Numbered(199)) << "the newest status always goes out";
    for (std::size_t i = 1; i < published.size(); ++i)
        EXPECT_LT(published[i - 1].size(), published[i].size()) << "never an older one after it";
    EXPECT_EQ(gate.maxInside(), 1);
    for (const std::thread::id thread : gate.threads())
        EXPECT_EQ(thread, gate.threads().front());
    EXPECT_NE(gate.threads().front(), std::this_thread::get_id());
    EXPECT_EQ(gate.destroyedOn(), gate.threads().front()) << "made, used and destroyed there";
}

TEST(StatusWriter, RefreshesReturnAtOnceAndOnlyTheNewestWaitingStatusIsPublished)
{
    Gate gate;
    StatusWriter writer(Gated(gate));
    gate.close();
    writer.SetYahooStatus(u"A");
    ASSERT_TRUE(gate.waitEntered(1));

    const auto start = Clock::now();
    for (const char16_t* text : {u"B", u"C", u"D"})
        writer.SetYahooStatus(text);
    EXPECT_LT(Clock::now() - start, 1s) << "the refreshes did not wait for the busy publisher";

    gate.open();
    ASSERT_TRUE(writer.WaitUntilIdle(5s));
    writer.SetYahooStatus(u"E");
    ASSERT_TRUE(writer.WaitUntilIdle(5s));
    EXPECT_THAT(gate.published(), ElementsAre(u"A", u"D", u"E"));
}

TEST(StatusWriter, ShutdownFinishesTheCallInFlightAndDropsTheWaitingStatus)
{
    Gate gate;
    auto writer = std::make_unique<StatusWriter>(Gated(gate));
    gate.close();
    writer->SetYahooStatus(u"in flight");
    ASSERT_TRUE(gate.waitEntered(1));
    writer->SetYahooStatus(u"waiting");

    std::thread opener([&] {
        std::this_thread::sleep_for(100ms);
        gate.open();
    });
    writer.reset();
    opener.join();
    EXPECT_THAT(gate.published(), ElementsAre(u"in flight"));
    EXPECT_NE(gate.destroyedOn(), std::thread::id());
}

TEST(StatusWriter, HungPublisherHoldsShutdownNoLongerThanItsOwnLimit)
{
    Gate gate(2s);
    auto writer = std::make_unique<StatusWriter>(Gated(gate));
    gate.close();
    writer->SetYahooStatus(u"never answered");
    ASSERT_TRUE(gate.waitEntered(1));
    writer->SetYahooStatus(u"stale");

    const auto start = Clock::now();
    writer.reset();
    EXPECT_LT(Clock::now() - start, 4s) << "2 s limit, with room for a loaded machine";
    EXPECT_THAT(gate.published(), ElementsAre(u"never answered"));
}

TEST(StatusWriter, FailuresAreReportedAndLaterStatusesStillGoOut)
{
    Failures failures;
    {
        StatusWriter broken([]() -> std::unique_ptr<StatusPublisher> { throw std::bad_alloc(); },
                            failures.sink());
        broken.SetYahooStatus(u"nowhere to go");
        EXPECT_TRUE(broken.WaitUntilIdle(5s));
    }
    {
        StatusWriter throwing([] { return std::make_unique<ThrowingPublisher>(); },
                              failures.sink());
        throwing.SetYahooStatus(u"first");
        ASSERT_TRUE(throwing.WaitUntilIdle(5s));
        throwing.SetYahooStatus(u"second");
        ASSERT_TRUE(throwing.WaitUntilIdle(5s));
    }
    EXPECT_THAT(failures.steps, ElementsAre("create status publisher: std::bad_alloc",
                                            "publish status: broken", "publish status: broken"));
}

// The Messenger stand-in's calls behind the writer: each status is one whole sequence, in order,
// however fast the refreshes come.
TEST(StatusWriter, EachStandInCallSequenceIsWholeAndInOrder)
{
    CallLog log;
    MemoryRegistry registry{log};
    RecordingWindows windows{log};
    Utf8CodePage utf8;
    registry.put("Software\\Yahoo\\Pager", "Yahoo! user id", kRegSz, "alice");
    {
        StatusWriter writer([&] { return std::make_unique<Yahoo>(registry, windows, utf8); });
        for (int i = 0; i < 50; ++i)
            writer.SetYahooStatus(Numbered(i));
        ASSERT_TRUE(writer.WaitUntilIdle(5s));
    }
    const std::vector<std::string> sequence = {
        "open Software\\Yahoo\\Pager",
        "probe Yahoo! user id",
        "read Yahoo! user id",
        "close",
        "create Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs",
        "set 1 type 1 size *",
        "close",
        "find YahooBuddyMain",
        "send messenger 273 376 1 2000ms",
        "send messenger 273 388 1 2000ms"};
    ASSERT_FALSE(log.empty());
    ASSERT_EQ(log.size() % sequence.size(), 0u) << ::testing::PrintToString(log);
    std::size_t lastSize = 0;
    for (std::size_t i = 0; i < log.size(); ++i) {
        const std::string& want = sequence[i % sequence.size()];
        if (want.ends_with('*')) {
            ASSERT_TRUE(log[i].starts_with(want.substr(0, want.size() - 1))) << log[i];
            const std::size_t size = std::stoul(log[i].substr(want.size() - 1));
            EXPECT_GT(size, lastSize) << "statuses written in refresh order";
            lastSize = size;
        } else {
            ASSERT_EQ(log[i], want) << "call " << i;
        }
    }
    const auto* value = registry.find("Software\\Yahoo\\Pager\\profiles\\alice\\Custom Msgs", "1");
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->bytes, "status " + std::string(50, '#'));
}

// A registry that refuses the first `failures` writes, as one locked by another program does.
class LockedThenFree final : public StatusPublisher {
public:
    struct Record {
        std::mutex mutex;
        std::vector<std::u16string> calls;
        std::vector<Clock::time_point> at;
    };
    LockedThenFree(Record& record, int failures) : record_(record), failures_(failures) {}
    void SetYahooStatus(const std::u16string& text) override
    {
        const std::lock_guard lock(record_.mutex);
        record_.calls.push_back(text);
        record_.at.push_back(Clock::now());
        unstored_ = failures_-- > 0;
    }
    bool LastStatusUnstored() const override { return unstored_; }

private:
    Record& record_;
    int failures_;
    bool unstored_ = false;
};

std::vector<std::u16string> CallsOf(LockedThenFree::Record& record)
{
    const std::lock_guard lock(record.mutex);
    return record.calls;
}

bool WaitForCalls(LockedThenFree::Record& record, std::size_t count)
{
    const auto deadline = Clock::now() + 10s;
    while (CallsOf(record).size() < count && Clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return CallsOf(record).size() >= count;
}

TEST(StatusWriter, AStatusThatWasNotStoredIsTriedAgainUntilItIsOrGivenUp)
{
    struct Case {
        int failures;
        std::size_t calls;
        std::vector<std::string> told;
    };
    const Case cases[] = {
        {0, 1, {}},
        {2, 3, {"store status: not stored; it is tried again shortly"}},
        {5,
         4,
         {"store status: not stored; it is tried again shortly",
          "store status: still not stored; given up until the next status"}},
    };
    for (const Case& c : cases) {
        LockedThenFree::Record record;
        Failures failures;
        {
            StatusWriter writer(
                [&] { return std::make_unique<LockedThenFree>(record, c.failures); },
                failures.sink(), StatusRetry{50ms, 3});
            writer.SetYahooStatus(u"Locked Song");
            ASSERT_TRUE(WaitForCalls(record, c.calls)) << c.failures;
            std::this_thread::sleep_for(200ms); // no call beyond the last attempt
        }
        EXPECT_EQ(CallsOf(record), std::vector<std::u16string>(c.calls, u"Locked Song"))
            << c.failures;
        for (std::size_t i = 1; i < record.at.size(); ++i)
            EXPECT_GE(record.at[i] - record.at[i - 1], 50ms) << c.failures;
        EXPECT_EQ(failures.steps, c.told) << c.failures;
    }
}

TEST(StatusWriter, ANewerStatusReplacesTheOneWaitingToBeTriedAgain)
{
    LockedThenFree::Record record;
    StatusWriter writer([&] { return std::make_unique<LockedThenFree>(record, 1); }, {},
                        StatusRetry{1s, 3});
    writer.SetYahooStatus(u"Locked Song");
    ASSERT_TRUE(WaitForCalls(record, 1));
    writer.SetYahooStatus(u"Next Song");
    ASSERT_TRUE(WaitForCalls(record, 2));
    std::this_thread::sleep_for(1500ms);
    EXPECT_THAT(CallsOf(record), ElementsAre(u"Locked Song", u"Next Song"));
}

TEST(StatusWriter, ShutdownDoesNotWaitForAStatusDueAgain)
{
    LockedThenFree::Record record;
    auto writer =
        std::make_unique<StatusWriter>([&] { return std::make_unique<LockedThenFree>(record, 10); },
                                       FailureSink{}, StatusRetry{10s, 3});
    writer->SetYahooStatus(u"Locked Song");
    ASSERT_TRUE(WaitForCalls(record, 1));
    const auto start = Clock::now();
    writer.reset();
    EXPECT_LT(Clock::now() - start, 5s);
    EXPECT_EQ(CallsOf(record).size(), 1u);
}

TEST(Yahoo, AFailedWriteOfTheCustomMessageIsAStatusNotStored)
{
    for (const RegStatus answer : {kErrorSuccess, kErrorLockViolation}) {
        CallLog log;
        MemoryRegistry registry(log);
        RecordingWindows windows(log);
        const Utf8CodePage ansi;
        Yahoo yahoo(registry, windows, ansi);
        registry.failWrites = answer;
        yahoo.SetYahooStatus(u"x");
        EXPECT_EQ(yahoo.LastStatusUnstored(), answer != kErrorSuccess) << answer;
        std::vector<std::unique_ptr<StatusPublisher>> targets;
        LockedThenFree::Record other;
        targets.push_back(std::make_unique<LockedThenFree>(other, 0));
        targets.push_back(std::make_unique<Yahoo>(registry, windows, ansi));
        FanOutPublisher fanOut(std::move(targets));
        fanOut.SetYahooStatus(u"y");
        EXPECT_EQ(fanOut.LastStatusUnstored(), answer != kErrorSuccess) << answer;
    }
}

TEST(FanOutPublisher, EveryTargetGetsEachStatusInOrderWhateverTheOthersDo)
{
    Gate first;
    Gate last;
    Failures failures;
    std::vector<std::unique_ptr<StatusPublisher>> targets;
    targets.push_back(std::make_unique<GatedPublisher>(first));
    targets.push_back(std::make_unique<ThrowingPublisher>());
    targets.push_back(nullptr);
    targets.push_back(std::make_unique<GatedPublisher>(last));
    FanOutPublisher fanOut(std::move(targets), failures.sink());

    fanOut.SetYahooStatus(u"one");
    fanOut.SetYahooStatus(u"");
    EXPECT_THAT(first.published(), ElementsAre(u"one", u""));
    EXPECT_THAT(last.published(), ElementsAre(u"one", u""));
    EXPECT_THAT(failures.steps,
                ElementsAre("publish to a messenger: broken", "publish to a messenger: broken"));
}

} // namespace
} // namespace tessaly::test
