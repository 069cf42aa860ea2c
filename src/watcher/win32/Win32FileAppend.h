#pragma once

// Appending to the radio playlist on Windows: a name that is not a file on disk (a device such
// as CON, a pipe, a folder) is refused at once instead of blocking the window.

#include "watcher/RadioPlaylist.h"

#include <functional>

namespace tessaly {

class Win32FileAppend final : public FileAppend {
public:
    using WarnSink = std::function<void(std::u16string_view)>;
    explicit Win32FileAppend(WarnSink warn) : warn_(std::move(warn)) {}

    bool EnsureFolder(std::u16string_view folder) override;
    std::u16string Append(std::u16string_view path, std::string_view bytes) override;
    void Warn(std::u16string_view message) override;

private:
    WarnSink warn_;
};

} // namespace tessaly
