#include "watcher/win32/Win32FileAppend.h"

#include <algorithm>
#include <string>
#include <windows.h>

namespace tessaly {

namespace {

constexpr char16_t kNotRegularFile[] = u"not a regular file";

std::wstring Wide(std::u16string_view text)
{
    return std::wstring(text.begin(), text.end());
}

std::u16string Describe(DWORD error)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::u16string text;
    if (length && buffer) {
        text.assign(buffer, buffer + length);
        while (!text.empty() && (text.back() == u'\n' || text.back() == u'\r' ||
                                 text.back() == u' ' || text.back() == u'.'))
            text.pop_back();
    }
    if (buffer)
        LocalFree(buffer);
    if (text.empty()) {
        const std::string number = std::to_string(error);
        text = u"error " + std::u16string(number.begin(), number.end());
    }
    return text;
}

class File {
public:
    explicit File(HANDLE handle) : handle_(handle) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    ~File()
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CutBack(const std::wstring& name, LARGE_INTEGER size)
{
    File file(CreateFileW(name.c_str(), GENERIC_WRITE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.get() != INVALID_HANDLE_VALUE &&
           SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
}

} // namespace

bool Win32FileAppend::EnsureFolder(std::u16string_view folder)
{
    std::wstring path = Wide(folder);
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.empty())
        return !folder.empty(); // the root of the current drive
    if (IsFolder(path))
        return true;
    if (path.find(L'\0') != std::wstring::npos)
        return false;
    // Parents first; a drive ("C:") or a share's root needs no creating.
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0 && path[slash - 1] != L':' &&
        path[slash - 1] != L'\\' && path[slash - 1] != L'/')
        EnsureFolder(std::u16string_view(folder.data(), slash));
    return CreateDirectoryW(path.c_str(), nullptr) || IsFolder(path);
}

std::u16string Win32FileAppend::Append(std::u16string_view path, std::string_view bytes)
{
    const std::wstring name = Wide(path);
    // The system reads a name only up to a NUL, which would name another file.
    if (name.find(L'\0') != std::wstring::npos)
        return u"the file name holds a NUL character";
    if (IsFolder(name))
        return kNotRegularFile;
    // Append access without write access: every write lands at the end, also with another
    // writer at work.
    File file(CreateFileW(name.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE)
        return Describe(GetLastError());
    // A device (CON, NUL, COM1) or a pipe opens too, and a write to it may wait or go nowhere.
    if (GetFileType(file.get()) != FILE_TYPE_DISK)
        return kNotRegularFile;
    LARGE_INTEGER start{};
    const bool knowsStart = GetFileSizeEx(file.get(), &start) != 0;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - written, 1u << 30));
        DWORD done = 0;
        if (!WriteFile(file.get(), bytes.data() + written, chunk, &done, nullptr) || done == 0) {
            const DWORD error =
                done == 0 && GetLastError() == ERROR_SUCCESS ? ERROR_DISK_FULL : GetLastError();
            if (written == 0)
                return Describe(error);
            // A line is whole or absent: cut the partial one back off, through a handle that may
            // set the end.
            if (!knowsStart || !CutBack(name, start))
                return Describe(error) + u" (and the partial line stays)";
            return Describe(error);
        }
        written += done;
    }
    if (!FlushFileBuffers(file.get()))
        return Describe(GetLastError());
    return {};
}

void Win32FileAppend::Warn(std::u16string_view message)
{
    if (warn_)
        warn_(message);
}

} // namespace tessaly
