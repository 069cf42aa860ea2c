#pragma once

// The message loop's boundary on Windows: a window procedure, timer or callback that fails is
// reported to the debugger output and ends there; the program goes on.

#include "common/Steps.h"

#include <exception>
#include <string>
#include <string_view>
#include <utility>

namespace tessaly {

// One line "tessaly.<area>: <text>" to the debugger output (DebugView, Wine's +debugstr).
void LogWarning(std::string_view area, std::string_view text);

template <typename Handler>
bool Guarded(std::string_view area, std::string_view handler, Handler&& body) noexcept
{
    try {
        std::forward<Handler>(body)();
        return true;
    } catch (const std::exception& e) {
        LogWarning(area, std::string(handler) + " failed: " + e.what());
    } catch (...) {
        LogWarning(area, std::string(handler) + " failed with an unknown error");
    }
    return false;
}

// A sink for steps that fail on their own (common/Steps.h): each failure is one warning.
inline FailureSink LogFailures(std::string_view area)
{
    return [area = std::string(area)](std::string_view step, std::string_view what) {
        LogWarning(area, std::string(step) + " failed: " + std::string(what));
    };
}

} // namespace tessaly
