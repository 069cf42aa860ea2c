#include "shell/NotifyIconData.h"

#include <algorithm>

namespace tessaly {

NotifyIconDataA BuildNotifyIconData(std::uint32_t hWnd, std::uint32_t hIcon, std::string_view tip,
                                    std::uint32_t callbackMessage)
{
    NotifyIconDataA data;
    data.cbSize = static_cast<std::uint32_t>(kNotifyIconDataSize);
    data.hWnd = hWnd;
    data.uID = kTrayIconId;
    data.uFlags = kNIF_MESSAGE | kNIF_ICON | kNIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = hIcon;

    const std::size_t length = std::min(tip.size(), kNotifyIconTipSize - 1);
    data.szTip.fill(' ');
    std::copy_n(tip.begin(), length, data.szTip.begin());
    data.szTip[length] = '\0';
    return data;
}

std::array<std::uint8_t, kNotifyIconDataSize> SerializeNotifyIconData(const NotifyIconDataA& data)
{
    std::array<std::uint8_t, kNotifyIconDataSize> bytes{};
    auto out = bytes.begin();
    for (const std::uint32_t field :
         {data.cbSize, data.hWnd, data.uID, data.uFlags, data.uCallbackMessage, data.hIcon}) {
        for (int shift = 0; shift < 32; shift += 8)
            *out++ = static_cast<std::uint8_t>((field >> shift) & 0xFFu);
    }
    std::transform(data.szTip.begin(), data.szTip.end(), out,
                   [](char c) { return static_cast<std::uint8_t>(c); });
    return bytes;
}

std::string_view NotifyIconTip(const NotifyIconDataA& data)
{
    const auto end = std::find(data.szTip.begin(), data.szTip.end(), '\0');
    return {data.szTip.data(), static_cast<std::size_t>(end - data.szTip.begin())};
}

} // namespace tessaly
