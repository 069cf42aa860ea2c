#pragma once

// The status writer's own thread. A refresh hands it the status and returns at once; the thread
// publishes the statuses one at a time in the order they came, each call complete before the
// next begins, and when refreshes come faster than the publisher answers only the newest waiting
// status goes out: the ones in between are stale before they could be shown. Standard C++ only.

#include "common/Steps.h"
#include "publisher/StatusPublisher.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace tessaly {

// A status the publisher could not store (a locked registry) is published again after `delay`, up
// to `attempts` more times, unless a newer status comes first.
struct StatusRetry {
    std::chrono::milliseconds delay{2000};
    int attempts = 3;
};

class StatusWriter final : public StatusPublisher {
public:
    // Called on the writer's thread, so that the publisher and whatever it holds (bus
    // connections, database handles) are made, used and destroyed on that thread alone.
    using Factory = std::function<std::unique_ptr<StatusPublisher>()>;

    explicit StatusWriter(Factory makePublisher, FailureSink errors = {}, StatusRetry retry = {});
    // A status still waiting is dropped; the call in flight ends within its publisher's own time
    // limits and is waited for, then the publisher is destroyed on its thread.
    ~StatusWriter() override;
    StatusWriter(const StatusWriter&) = delete;
    StatusWriter& operator=(const StatusWriter&) = delete;

    // Never waits for the publisher.
    void SetYahooStatus(const std::u16string& statusText) override;

    // Waits until nothing is waiting or being published; false when the time ran out first.
    bool WaitUntilIdle(std::chrono::milliseconds timeout);

private:
    void run(const Factory& makePublisher);

    FailureSink errors_;
    StatusRetry retry_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<std::u16string> waiting_;
    bool busy_ = false;
    bool stopping_ = false;
    std::thread thread_; // last: started once everything above exists
};

} // namespace tessaly
