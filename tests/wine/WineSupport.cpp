#include "WineSupport.h"

#include <algorithm>

namespace tessaly::test {

std::string WindowsPath(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return path;
    std::string windows = "Z:" + path;
    std::replace(windows.begin(), windows.end(), '/', '\\');
    return windows;
}

namespace {

std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

    std::string commandLine = QuoteArgument(WindowsPath(program));
    for (const std::string& argument : arguments)
        commandLine += " " + QuoteArgument(argument);

    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL created = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &info);
    CloseHandle(writeEnd);
    if (!created) {
        CloseHandle(readEnd);
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    reader_ = std::thread([this, readEnd] { readLoop(readEnd); });
}

ChildProcess::~ChildProcess()
{
    terminate();
    if (reader_.joinable())
        reader_.join();
    if (process_ != nullptr)
        CloseHandle(process_);
}

void ChildProcess::terminate()
{
    if (process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, 5000);
    }
}

void ChildProcess::readLoop(HANDLE pipe)
{
    std::string partial;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        partial.append(buffer, got);
        std::size_t end;
        while ((end = partial.find('\n')) != std::string::npos) {
            std::string line = partial.substr(0, end);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            partial.erase(0, end + 1);
            std::lock_guard lock(mutex_);
            lines_.push_back(std::move(line));
            changed_.notify_all();
        }
    }
    CloseHandle(pipe);
}

std::string ChildProcess::waitForLine(const std::string& prefix, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    std::string found;
    changed_.wait_for(lock, timeout, [&] {
        while (consumed_ < lines_.size()) {
            const std::string& line = lines_[consumed_++];
            if (line.rfind(prefix, 0) == 0) {
                found = line;
                return true;
            }
        }
        return false;
    });
    return found;
}

std::vector<std::string> ChildProcess::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        // done() may wait on another process, which sends no message here: look again soon.
        const DWORD slice = static_cast<DWORD>(std::min<long long>(left.count(), 20));
        MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void PumpMessagesFor(std::chrono::milliseconds duration)
{
    PumpMessagesUntil([] { return false; }, duration);
}

void SetRawValue(const std::string& key, const char* name, DWORD type, const std::string& bytes)
{
    HKEY handle = nullptr;
    if (RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &handle) != ERROR_SUCCESS)
        return;
    // RegSetValueExA adds a text's missing NUL when the byte after the data is one (as NT
    // does); a non-NUL byte there keeps the value exactly as given.
    const std::string buffer = bytes + 'X';
    RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(buffer.data()),
                   static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
}

RawValue QueryRawValue(const std::string& key, const char* name)
{
    RawValue value;
    HKEY handle = nullptr;
    value.status = RegOpenKeyA(HKEY_CURRENT_USER, key.c_str(), &handle);
    if (value.status != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    value.status = RegQueryValueExA(handle, name, nullptr, &value.type, nullptr, &size);
    if (value.status == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.status = RegQueryValueExA(handle, name, nullptr, &value.type,
                                        reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        value.bytes.resize(size);
    }
    RegCloseKey(handle);
    return value;
}

std::u16string QueryWideValue(const std::string& key, const char* name, DWORD* size)
{
    HKEY handle = nullptr;
    if (RegOpenKeyA(HKEY_CURRENT_USER, key.c_str(), &handle) != ERROR_SUCCESS)
        return {};
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    DWORD bytes = 0;
    std::u16string text;
    if (RegQueryValueExW(handle, wideName.c_str(), nullptr, nullptr, nullptr, &bytes) ==
        ERROR_SUCCESS) {
        text.resize((bytes + 1) / 2);
        RegQueryValueExW(handle, wideName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(text.data()), &bytes);
        text.resize(bytes / 2);
    }
    if (size != nullptr)
        *size = bytes;
    RegCloseKey(handle);
    return text;
}

std::string StoredText(const std::string& bytes)
{
    return bytes.empty() ? bytes : bytes + '\0';
}

void DeleteKeyTree(const std::string& key)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

} // namespace tessaly::test
