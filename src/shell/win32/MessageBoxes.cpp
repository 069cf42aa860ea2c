#include "shell/win32/MessageBoxes.h"

#include "publisher/win32/Win32CodePage.h"
#include "shell/MainWindowView.h"

#include <windows.h>

namespace tessaly {

void ShowMissingPlayerBox()
{
    const Win32CodePage ansi;
    MessageBoxA(nullptr, ansi.FromUnicode(kMissingPlayerText).c_str(),
                ansi.FromUnicode(kMissingPlayerTitle).c_str(), MB_OK | MB_ICONSTOP);
}

bool Win32QuitQuestion::AskShutdown()
{
    const Win32CodePage ansi;
    return MessageBoxA(nullptr, ansi.FromUnicode(kQuitQuestionText).c_str(),
                       ansi.FromUnicode(kQuitQuestionTitle).c_str(),
                       MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

} // namespace tessaly
