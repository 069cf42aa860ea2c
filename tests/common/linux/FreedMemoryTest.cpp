// Freed heap pages go back to the system, so that a burst of popups does not stay resident.

#include "common/linux/FreedMemory.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tessaly {
namespace {

// Resident heap and other private pages of this process, in KiB.
long ResidentAnonKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("RssAnon:", 0) == 0)
            return std::stol(line.substr(8));
    return -1;
}

#if defined(__SANITIZE_ADDRESS__)
constexpr const char* kSkip = "the sanitizer's allocator keeps pages of its own";
#elif !defined(__GLIBC__)
constexpr const char* kSkip = "only glibc keeps freed pages";
#else
constexpr const char* kSkip = nullptr;
#endif

TEST(FreedMemory, PagesFreedBelowALiveAllocationGoBack)
{
    if (kSkip)
        GTEST_SKIP() << kSkip;
    // 32 MiB in blocks small enough for the heap, not for a mapping of their own, each touched;
    // then one small block above them, so that freeing them cannot shrink the heap from its top.
    constexpr std::size_t kBlock = 16 * 1024;
    std::vector<char*> blocks;
    for (int i = 0; i < 2048; ++i) {
        auto* block = static_cast<char*>(std::malloc(kBlock));
        ASSERT_TRUE(block);
        for (std::size_t at = 0; at < kBlock; at += 4096)
            block[at] = 1;
        blocks.push_back(block);
    }
    void* pin = std::malloc(64);
    for (char* block : blocks)
        std::free(block);
    const long before = ResidentAnonKiB();
    ReturnFreedMemory();
    const long after = ResidentAnonKiB();
    std::free(pin);
    ASSERT_GT(before, 0);
    EXPECT_LT(after, before - 16 * 1024)
        << "before " << before << " KiB, after " << after << " KiB";
}

} // namespace
} // namespace tessaly
