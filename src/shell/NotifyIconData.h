#pragma once

// The notification-area record of the 32-bit Windows shell in its 88-byte ANSI form
// (NOTIFYICONDATAA as of Shell32 4.x), built by plain C++ so that the Win32 build can hand it to
// Shell_NotifyIconA unchanged and the Linux build can keep it for inspection.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tessaly {

inline constexpr std::uint32_t kNIM_ADD = 0;
inline constexpr std::uint32_t kNIM_MODIFY = 1;
inline constexpr std::uint32_t kNIM_DELETE = 2;

inline constexpr std::uint32_t kNIF_MESSAGE = 1;
inline constexpr std::uint32_t kNIF_ICON = 2;
inline constexpr std::uint32_t kNIF_TIP = 4;

inline constexpr std::uint32_t kTrayIconId = 1;
inline constexpr std::size_t kNotifyIconDataSize = 88;
inline constexpr std::size_t kNotifyIconTipSize = 64;

struct NotifyIconDataA {
    std::uint32_t cbSize = 0;
    std::uint32_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uint32_t hIcon = 0;
    std::array<char, kNotifyIconTipSize> szTip{};
};

static_assert(sizeof(NotifyIconDataA) == kNotifyIconDataSize);
static_assert(offsetof(NotifyIconDataA, szTip) == 24);

// Fills the record for one icon (id 1) that sends `callbackMessage` to `hWnd`. The tip is the
// given bytes, one NUL, then blanks up to 64 bytes. A tip of 64 bytes or more keeps its first 63
// so that the terminator is never lost (the shell would otherwise read past the field).
NotifyIconDataA BuildNotifyIconData(std::uint32_t hWnd, std::uint32_t hIcon, std::string_view tip,
                                    std::uint32_t callbackMessage);

// The record as the shell reads it: little-endian 32-bit fields followed by the tip bytes.
std::array<std::uint8_t, kNotifyIconDataSize> SerializeNotifyIconData(const NotifyIconDataA& data);

// The tip text up to its terminator.
std::string_view NotifyIconTip(const NotifyIconDataA& data);

} // namespace tessaly
