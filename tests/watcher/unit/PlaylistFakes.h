#pragma once

// The file system the radio playlist writes through, in memory.

#include "support/core/FakeCodePages.h"
#include "watcher/RadioPlaylist.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tessaly::test {

class MemoryFiles final : public FileAppend {
public:
    bool EnsureFolder(std::u16string_view folder) override;
    std::u16string Append(std::u16string_view path, std::string_view bytes) override;
    void Warn(std::u16string_view message) override;

    // Path to contents.
    std::map<std::u16string, std::string> files;
    std::vector<std::u16string> warnings;
    // Every call, in order, for tests that follow a whole refresh.
    std::vector<std::string>* log = nullptr;
    bool folderFails = false;
    // Path to the description Append answers for it.
    std::map<std::u16string, std::u16string> failures;
    // Runs at each Append before anything else; may throw.
    std::function<void()> onAppend;
};

} // namespace tessaly::test
