#pragma once

// The event loop's boundary: a handler that fails is reported in its subsystem's category and
// ends there; the program goes on. Every slot, timer and callback that can fail runs through here.

#include "common/Steps.h"

#include <exception>
#include <QLoggingCategory>
#include <utility>

namespace tessaly {

using LogCategory = const QLoggingCategory& (*)();

template <typename Handler>
bool Guarded(LogCategory category, const char* handler, Handler&& body) noexcept
{
    try {
        std::forward<Handler>(body)();
        return true;
    } catch (const std::exception& e) {
        qCWarning(category, "%s failed: %s", handler, e.what());
    } catch (...) {
        qCWarning(category, "%s failed with an unknown error", handler);
    }
    return false;
}

// A sink for steps that fail on their own (common/Steps.h): each failure is one warning.
inline FailureSink LogFailures(LogCategory category)
{
    return [category](std::string_view step, std::string_view what) {
        qCWarning(category, "%.*s failed: %.*s", static_cast<int>(step.size()), step.data(),
                  static_cast<int>(what.size()), what.data());
    };
}

} // namespace tessaly
