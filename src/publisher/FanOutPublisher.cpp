#include "publisher/FanOutPublisher.h"

#include <utility>

namespace tessaly {

FanOutPublisher::FanOutPublisher(std::vector<std::unique_ptr<StatusPublisher>> targets,
                                 FailureSink errors)
    : targets_(std::move(targets)), errors_(std::move(errors))
{}

void FanOutPublisher::SetYahooStatus(const std::u16string& statusText)
{
    for (const std::unique_ptr<StatusPublisher>& target : targets_) {
        if (target)
            RunStep(errors_, "publish to a messenger", [&] { target->SetYahooStatus(statusText); });
    }
}

bool FanOutPublisher::LastStatusUnstored() const
{
    for (const std::unique_ptr<StatusPublisher>& target : targets_) {
        if (target && target->LastStatusUnstored())
            return true;
    }
    return false;
}

} // namespace tessaly
