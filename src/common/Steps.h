#pragma once

// Steps that may fail on their own without stopping the ones after them (a player call during
// start-up, one call of the status writer): the failure goes to a sink that the front-end logs.

#include <exception>
#include <functional>
#include <string_view>
#include <utility>

namespace tessaly {

using FailureSink = std::function<void(std::string_view step, std::string_view what)>;

// Runs step; true when it completed. A failure is told to sink (when set) and swallowed.
template <typename Step>
bool RunStep(const FailureSink& sink, std::string_view name, Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (const std::exception& e) {
        if (sink)
            sink(name, e.what());
    } catch (...) {
        if (sink)
            sink(name, "unknown error");
    }
    return false;
}

} // namespace tessaly
