#pragma once

// Publishes a status text as the Messenger's custom status. Standard C++ only.

#include <string>

namespace tessaly {

class StatusPublisher {
public:
    virtual ~StatusPublisher() = default;
    // Never fails outwards and never blocks for longer than the window-message time limits.
    virtual void SetYahooStatus(const std::u16string& statusText) = 0;
};

} // namespace tessaly
