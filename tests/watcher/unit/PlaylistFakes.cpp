#include "PlaylistFakes.h"

#include "support/core/CoreTestText.h"

namespace tessaly::test {

bool MemoryFiles::EnsureFolder(std::u16string_view folder)
{
    if (log)
        log->push_back("ensure " + U8(folder));
    return !folderFails;
}

std::u16string MemoryFiles::Append(std::u16string_view path, std::string_view bytes)
{
    if (log)
        log->push_back("append " + U8(path) + " " + std::string(bytes));
    if (onAppend)
        onAppend();
    if (const auto failure = failures.find(std::u16string(path)); failure != failures.end())
        return failure->second;
    files[std::u16string(path)] += bytes;
    return {};
}

void MemoryFiles::Warn(std::u16string_view message)
{
    if (log)
        log->push_back("warn " + U8(message));
    warnings.emplace_back(message);
}

} // namespace tessaly::test
