#pragma once

// One status, every messenger: publishes each status to its targets in their order, so that the
// refresh does not know how many there are. Standard C++ only.

#include "common/Steps.h"
#include "publisher/StatusPublisher.h"

#include <memory>
#include <vector>

namespace tessaly {

class FanOutPublisher final : public StatusPublisher {
public:
    explicit FanOutPublisher(std::vector<std::unique_ptr<StatusPublisher>> targets,
                             FailureSink errors = {});

    // Each target gets the status whatever the ones before it did (a throw included).
    void SetYahooStatus(const std::u16string& statusText) override;
    // Any target's status was not stored: the call is made again on all of them, which each
    // takes as an update of the status it already shows.
    bool LastStatusUnstored() const override;

private:
    std::vector<std::unique_ptr<StatusPublisher>> targets_;
    FailureSink errors_;
};

} // namespace tessaly
