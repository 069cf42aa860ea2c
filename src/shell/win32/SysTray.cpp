#include "shell/win32/SysTray.h"

#include "shell/NotifyIconData.h"

#include <cstring>
#include <optional>
#include <windows.h>
// shellapi.h needs windows.h before it.
#include <shellapi.h>

namespace tessaly {

namespace {

// The record as added, with the real handles (on a 64-bit build they do not fit its 32-bit
// fields; window and icon handles are 32-bit values on every Windows all the same).
struct TrayRecord {
    NotifyIconDataA data;
    HWND window;
    HICON icon;
};

std::optional<TrayRecord>& Kept()
{
    static std::optional<TrayRecord> record;
    return record;
}

#ifndef _WIN64
static_assert(NOTIFYICONDATAA_V1_SIZE == kNotifyIconDataSize);
#endif

// The shell's own record filled from ours: on a 32-bit build byte for byte the same.
NOTIFYICONDATAA ShellRecord(const TrayRecord& record)
{
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = record.window;
    data.uID = record.data.uID;
    data.uFlags = record.data.uFlags;
    data.uCallbackMessage = record.data.uCallbackMessage;
    data.hIcon = record.icon;
    static_assert(sizeof(data.szTip) >= kNotifyIconTipSize);
    std::memcpy(data.szTip, record.data.szTip.data(), kNotifyIconTipSize);
    return data;
}

std::uint32_t Low32(const void* handle)
{
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

} // namespace

void AddTrayIcon(HWND hWnd, HICON icon, std::string_view tip, UINT callbackMessage)
{
    TrayRecord record{BuildNotifyIconData(Low32(hWnd), Low32(icon), tip, callbackMessage), hWnd,
                      icon};
    Kept() = record;
    NOTIFYICONDATAA data = ShellRecord(record);
    Shell_NotifyIconA(NIM_ADD, &data);
}

void RestoreTrayIcon()
{
    if (!Kept())
        return;
    NOTIFYICONDATAA data = ShellRecord(*Kept());
    Shell_NotifyIconA(NIM_ADD, &data);
}

void RemoveTrayIcon()
{
    if (!Kept())
        return;
    NOTIFYICONDATAA data = ShellRecord(*Kept());
    Kept().reset();
    Shell_NotifyIconA(NIM_DELETE, &data);
}

bool IsTrayIconPresent()
{
    return Kept().has_value();
}

} // namespace tessaly
