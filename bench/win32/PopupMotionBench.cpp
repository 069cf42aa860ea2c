// How long a Win32 popup takes to rise, hold and sink on the system's real timers: several
// popups one after another, each timed from its show to full height, from full height to the
// first shrink, and from there to the window's end. Prints the figures; judges nothing.
//   tessaly-bench-win32-popup [runs]

#include "common/Settings.h"
#include "popup/win32/Win32Alerts.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>
#include <windows.h>

namespace {

using Clock = std::chrono::steady_clock;

class NoPlayerOwner : public tessaly::AlertOwner {
public:
    tessaly::Player* AlertPlayer() override { return nullptr; }
    void RecordAlertChange(tessaly::PopupId) override {}
};

// Dispatches messages until done() holds; false after the timeout.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (!done()) {
        if (Clock::now() > deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

HWND NewestPopup()
{
    return FindWindowW(L"Tessaly.frmAlert6", nullptr);
}

int Height(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return r.bottom - r.top;
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

void Report(const char* what, std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    std::printf("%-32s median %.3f s  (min %.3f, max %.3f, %zu runs)\n", what,
                values[values.size() / 2], values.front(), values.back(), values.size());
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    tessaly::MemorySettingsStore settings;
    NoPlayerOwner owner;
    auto alerts = tessaly::CreateWin32Alerts(settings, owner, GetModuleHandleW(nullptr));
    constexpr int kFullHeight = 117;

    std::vector<double> rise, hold, sink, growTicks;
    for (int run = 0; run < runs; ++run) {
        alerts->ShowRefreshAlert(u"Artist", u"Album", u"Title", u"");
        HWND popup = NewestPopup();
        if (!popup) {
            std::puts("no popup window");
            return 1;
        }
        const auto shown = Clock::now();
        int heights = 0, last = Height(popup);
        if (!PumpUntil(
                [&] {
                    const int h = Height(popup);
                    heights += h != last;
                    last = h;
                    return h >= kFullHeight;
                },
                std::chrono::seconds(10))) {
            std::puts("the popup did not rise");
            return 1;
        }
        const auto risen = Clock::now();
        PumpUntil([&] { return Height(popup) < kFullHeight; }, std::chrono::seconds(10));
        const auto sinking = Clock::now();
        PumpUntil([&] { return !IsWindow(popup); }, std::chrono::seconds(10));
        const auto gone = Clock::now();
        rise.push_back(Seconds(risen - shown));
        hold.push_back(Seconds(sinking - risen));
        sink.push_back(Seconds(gone - sinking));
        growTicks.push_back(heights);
    }
    Report("rise (show to full height)", rise);
    Report("hold (full height to sinking)", hold);
    Report("sink (sinking to destroyed)", sink);
    std::vector<double> tick;
    for (std::size_t i = 0; i < rise.size(); ++i)
        tick.push_back(rise[i] / 56 * 1000);
    std::sort(tick.begin(), tick.end());
    std::printf("%-32s median %.1f ms per tick (56 growing ticks; %g height changes seen)\n",
                "timer tick", tick[tick.size() / 2], growTicks.front());
    return 0;
}
