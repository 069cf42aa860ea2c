#pragma once

// Helpers for the tests that run under Wine: child processes with their output read line by
// line, a message pump, and raw access to the registry.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>
#include <windows.h>

namespace tessaly::test {

using namespace std::chrono_literals;

// A Unix path ("/work/x.exe") as Wine's drive Z: sees it; other paths unchanged.
std::string WindowsPath(const std::string& path);

// A program started with its stdout on a pipe. Ended (terminated) on destruction.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    bool started() const { return process_ != nullptr; }
    // Waits for the next line that starts with prefix, skipping others; the line, or empty on
    // timeout.
    std::string waitForLine(const std::string& prefix, std::chrono::milliseconds timeout);
    // Every line read so far.
    std::vector<std::string> lines() const;
    void terminate();

private:
    void readLoop(HANDLE pipe);

    HANDLE process_ = nullptr;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    std::size_t consumed_ = 0;
};

// Dispatches window messages (COM's incoming calls among them) until done() or the timeout.
bool PumpMessagesUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void PumpMessagesFor(std::chrono::milliseconds duration);

struct RawValue {
    LONG status = ERROR_FILE_NOT_FOUND;
    DWORD type = 0;
    std::string bytes;
};

// Straight Win32 calls, to check what our backends stored and to store what they should read.
// Stores exactly the bytes given.
void SetRawValue(const std::string& key, const char* name, DWORD type, const std::string& bytes);
RawValue QueryRawValue(const std::string& key, const char* name);
// The value as UTF-16 through the "W" call, and its byte size there.
std::u16string QueryWideValue(const std::string& key, const char* name, DWORD* size = nullptr);
void DeleteKeyTree(const std::string& key);

// What RegSetValueExA stores for a text passed without its NUL from a NUL-terminated buffer:
// the system adds the NUL (as NT does), except to an empty text.
std::string StoredText(const std::string& bytes);

} // namespace tessaly::test
