// A stand-in GUI program that carries tessaly.exe's resources, so the resources and the
// installer are checked without the real program. It ends at once.

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
