// A stand-in GUI program that carries tessaly.exe's resources, so the resources and the
// installer are checked without the real program. With --dpi-awareness it prints
// "dpi-aware <0|1>": what the system made of the manifest.

#include <string>
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    if (std::string(commandLine).find("--dpi-awareness") != std::string::npos) {
        const std::string line =
            std::string("dpi-aware ") + (IsProcessDPIAware() ? "1" : "0") + "\n";
        DWORD written = 0;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()),
                  &written, nullptr);
    }
    return 0;
}
