#pragma once

// Publishes a status text as the Messenger's custom status. Standard C++ only.

#include <string>

namespace tessaly {

class StatusPublisher {
public:
    virtual ~StatusPublisher() = default;
    // Never fails outwards and never blocks for longer than the window-message time limits.
    virtual void SetYahooStatus(const std::u16string& statusText) = 0;
    // Whether the last status could not be stored (a registry locked by another program, say),
    // so that the same call is worth making again later.
    virtual bool LastStatusUnstored() const { return false; }
};

} // namespace tessaly
