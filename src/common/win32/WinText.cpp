#include "common/win32/WinText.h"

namespace tessaly {

std::u16string ProgramFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (got == 0)
            return {};
        if (got < path.size()) {
            path.resize(got);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    return FromWide(slash == std::wstring::npos ? std::wstring_view(L".")
                                                : std::wstring_view(path).substr(0, slash));
}

} // namespace tessaly
