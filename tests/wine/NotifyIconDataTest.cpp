// The tray record built by plain C++ is the shell's own NOTIFYICONDATAA in its 88-byte form:
// same layout, and the shell takes it.

#include "shell/NotifyIconData.h"

#include "WineSupport.h"

#include <cstddef>
#include <cstring>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <string>
#include <vector>

namespace tessaly {
namespace {

TEST(NotifyIconDataTest, LayoutIsTheShellsFirstVersion)
{
    EXPECT_EQ(NOTIFYICONDATAA_V1_SIZE, kNotifyIconDataSize);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, cbSize), 0u);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, hWnd), 4u);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, uID), 8u);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, uFlags), 12u);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, uCallbackMessage), 16u);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, hIcon), 20u);
    EXPECT_EQ(offsetof(NOTIFYICONDATAA, szTip), 24u);
    EXPECT_EQ(kNIF_MESSAGE | kNIF_ICON | kNIF_TIP,
              static_cast<std::uint32_t>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(kNIM_ADD, static_cast<std::uint32_t>(NIM_ADD));
    EXPECT_EQ(kNIM_DELETE, static_cast<std::uint32_t>(NIM_DELETE));
}

class NotifyIconTrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TessalyTrayTest";
        RegisterClassA(&windowClass);
        window_ = CreateWindowExA(0, "TessalyTrayTest", "Tessaly", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                  100, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(window_, nullptr);
        icon_ = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
        ASSERT_NE(icon_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }

    // The record as Shell_NotifyIconA receives it: the serialised bytes in the real struct.
    NOTIFYICONDATAA shellRecord() const
    {
        const NotifyIconDataA data = BuildNotifyIconData(
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window_)),
            static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(icon_)), "Tessaly",
            WM_MOUSEMOVE);
        const auto bytes = SerializeNotifyIconData(data);
        NOTIFYICONDATAA record{};
        std::memcpy(&record, bytes.data(), bytes.size());
        return record;
    }

    HWND window_ = nullptr;
    HICON icon_ = nullptr;
};

TEST_F(NotifyIconTrayTest, SerialisedRecordReadsAsTheShellsStruct)
{
    const NOTIFYICONDATAA record = shellRecord();
    EXPECT_EQ(record.cbSize, 88u);
    EXPECT_EQ(record.hWnd, window_);
    EXPECT_EQ(record.uID, 1u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(record.uCallbackMessage, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(record.hIcon, icon_);
    EXPECT_STREQ(record.szTip, "Tessaly");
    for (std::size_t i = 8; i < 64; ++i)
        EXPECT_EQ(record.szTip[i], ' ') << "tip byte " << i;
}

// Wine's null display driver has no notification area; a window of the tray's class stands in
// for it and keeps what the shell hands over.
struct TrayCopy {
    ULONG_PTR command;
    std::u16string payload;
};
std::vector<TrayCopy> gTrayCopies;

LRESULT CALLBACK TrayProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COPYDATA) {
        const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        gTrayCopies.push_back(
            {copy->dwData,
             std::u16string(static_cast<const char16_t*>(copy->lpData), copy->cbData / 2)});
        return TRUE;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(NotifyIconTrayTest, ShellTakesTheRecordAndHandsItToTheTray)
{
    WNDCLASSA trayClass{};
    trayClass.lpfnWndProc = TrayProc;
    trayClass.hInstance = GetModuleHandleA(nullptr);
    trayClass.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&trayClass);
    HWND tray = CreateWindowExA(0, "Shell_TrayWnd", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                trayClass.hInstance, nullptr);
    ASSERT_NE(tray, nullptr);

    NOTIFYICONDATAA record = shellRecord();
    EXPECT_TRUE(Shell_NotifyIconA(NIM_ADD, &record));
    EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &record));
    DestroyWindow(tray);

    ASSERT_EQ(gTrayCopies.size(), 2u);
    EXPECT_EQ(gTrayCopies[0].command, static_cast<ULONG_PTR>(NIM_ADD));
    EXPECT_EQ(gTrayCopies[1].command, static_cast<ULONG_PTR>(NIM_DELETE));
    // The shell read the tip from its place in the 88-byte record, up to the NUL.
    const std::u16string tip = u"Tessaly";
    const std::size_t at = gTrayCopies[0].payload.find(tip);
    ASSERT_NE(at, std::u16string::npos);
    EXPECT_EQ(gTrayCopies[0].payload[at + tip.size()], u'\0');
}

} // namespace
} // namespace tessaly
