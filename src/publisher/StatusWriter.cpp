#include "publisher/StatusWriter.h"

#include <utility>

namespace tessaly {

StatusWriter::StatusWriter(Factory makePublisher, FailureSink errors, StatusRetry retry)
    : errors_(std::move(errors)), retry_(retry),
      thread_([this, make = std::move(makePublisher)] { run(make); })
{}

StatusWriter::~StatusWriter()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        waiting_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

void StatusWriter::SetYahooStatus(const std::u16string& statusText)
{
    {
        const std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        // A status that is still waiting has not been shown yet and never will be: this one is
        // newer.
        waiting_ = statusText;
    }
    wake_.notify_one();
}

bool StatusWriter::WaitUntilIdle(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, timeout, [this] { return !waiting_ && !busy_; });
}

void StatusWriter::run(const Factory& makePublisher)
{
    std::unique_ptr<StatusPublisher> publisher;
    RunStep(errors_, "create status publisher", [&] {
        if (makePublisher)
            publisher = makePublisher();
    });

    std::unique_lock lock(mutex_);
    std::optional<std::u16string> retry; // a status that was not stored, due again
    int retries = 0;
    for (;;) {
        if (retry)
            wake_.wait_for(lock, retry_.delay, [this] { return stopping_ || waiting_; });
        else
            wake_.wait(lock, [this] { return stopping_ || waiting_; });
        if (stopping_)
            break;
        std::u16string text;
        if (waiting_) {
            // A newer status replaces the one that was not stored.
            text = std::move(*waiting_);
            waiting_.reset();
            retries = 0;
        } else {
            text = std::move(*retry);
            ++retries;
        }
        retry.reset();
        busy_ = true;
        lock.unlock();
        bool unstored = false;
        if (publisher)
            RunStep(errors_, "publish status", [&] {
                publisher->SetYahooStatus(text);
                unstored = publisher->LastStatusUnstored();
            });
        if (unstored && retries < retry_.attempts) {
            retry = text;
            if (retries == 0 && errors_)
                errors_("store status", "not stored; it is tried again shortly");
        } else if (unstored && errors_) {
            errors_("store status", "still not stored; given up until the next status");
        }
        lock.lock();
        busy_ = false;
        if (!waiting_)
            idle_.notify_all();
    }
    idle_.notify_all();
    lock.unlock();
    RunStep(errors_, "close status publisher", [&] { publisher.reset(); });
}

} // namespace tessaly
