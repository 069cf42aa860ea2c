#pragma once

// The main window on Windows: the configuration window, owner of the tray icon. A view only:
// standard controls at their twips positions, their notifications forwarded to the main
// window's rules, their results shown.

#include "shell/MainWindowController.h"
#include "shell/MainWindowView.h"

#include <array>
#include <functional>
#include <windows.h>

namespace tessaly {

// The rules' services plus what only the Win32 window needs.
struct frmMainServices {
    MainWindowServices core;
    // The module holding the icon resource (ID 1).
    HINSTANCE instance = nullptr;
    // mnuAbout: shows the About box.
    std::function<void()> showAbout;
};

inline constexpr wchar_t kMainWindowClass[] = L"TessalyMain";

class frmMain final : private MainWindowView {
public:
    // Creates the window and its controls, hidden.
    explicit frmMain(frmMainServices services);
    ~frmMain() override;
    frmMain(const frmMain&) = delete;
    frmMain& operator=(const frmMain&) = delete;

    // The start-up; false when the player cannot be created (the window is then unloaded).
    bool Form_Load();
    HWND hWnd() const { return window_; }
    MainWindowController& Controller() { return controller_; }

    // Controls under their names (null once the window has unloaded).
    enum Control : int {
        Frame1,
        Frame2,
        Frame3,
        Frame4,
        lblArtist,
        txtArtist,
        lblAlbum,
        txtAlbum,
        lblTitle,
        txtTitle,
        lblFormatString,
        txtFormatString,
        txtInstructions,
        Label3,
        txtNowPlaying,
        chkShowBallons,
        chkStartMinimized,
        Label2,
        txtOpacity,
        VSOpacity,
        VSMainOpacity,
        lblMainOpacity,
        txtMainOpacity,
        chkPlaylist,
        lblFileName,
        txtPlaylist,
        kControlCount
    };
    HWND Item(Control control) const { return controls_[control]; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnSpin(HWND bar, int request);
    HBRUSH OnColour(HDC dc, HWND control, bool editable);
    void RunMenuCommand(UINT command);
    void QueryUnload();
    void Guard(const char* handler, const std::function<void()>& body);

    HWND CheckHandle(CheckBox box) const;
    HWND SpinHandle(SpinControl spin) const;
    HWND TextHandle(TextBox box) const;

    // MainWindowView
    int CheckValue(CheckBox box) const override;
    int SpinValue(SpinControl spin) const override;
    std::u16string Text(TextBox box) const override;
    void SetCheckValue(CheckBox box, int value) override;
    void SetSpinValue(SpinControl spin, int value) override;
    void SetText(TextBox box, std::u16string_view text) override;
    void SetWindowOpacity(std::int16_t alpha) override;
    void ShowMissingPlayerBox() override;
    void AddTrayIcon(std::u16string_view tip, int callbackMessage) override;
    WindowState State() const override;
    void HideMinimized() override;
    void ShowNormal() override;
    void ShowAsItIs() override;
    void PopupTrayMenu() override;
    void Exit() override;
    void Unload() override;

    frmMainServices services_;
    HWND window_ = nullptr;
    std::array<HWND, kControlCount> controls_{};
    std::array<int, 2> spinValues_{80, 80};
    HFONT font_ = nullptr;
    HFONT boldFont_ = nullptr;
    HICON icon_ = nullptr;
    HICON smallIcon_ = nullptr;
    HMENU mnuPopup_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT trayCallback_ = WM_MOUSEMOVE;
    // Set while the window itself changes a text: the rules already run the handler.
    int settingText_ = 0;
    // Minimised and hidden while never shown: the window itself is left alone so that its
    // first showing is a plain one.
    bool hiddenMinimized_ = false;
    MainWindowController controller_;
};

} // namespace tessaly
