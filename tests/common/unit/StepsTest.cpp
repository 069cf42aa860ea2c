// Steps that fail on their own: the failure reaches the sink once and goes no further.

#include "common/Steps.h"

#include <functional>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>
#include <vector>

namespace tessaly {
namespace {

struct Told {
    std::string step, what;
    bool operator==(const Told&) const = default;
};

TEST(RunStep, AFailureIsToldAndSwallowed)
{
    const struct {
        const char* name;
        std::function<void()> body;
        bool completes;
        std::vector<Told> told;
    } cases[] = {
        {"completes", [] {}, true, {}},
        {"std exception",
         [] { throw std::runtime_error("hive locked"); },
         false,
         {{"write value", "hive locked"}}},
        {"out of memory",
         [] { throw std::bad_alloc(); },
         false,
         {{"write value", "std::bad_alloc"}}},
        {"anything else", [] { throw 42; }, false, {{"write value", "unknown error"}}},
    };
    for (const auto& c : cases) {
        std::vector<Told> told;
        const FailureSink sink = [&](std::string_view step, std::string_view what) {
            told.push_back({std::string(step), std::string(what)});
        };
        bool completed = !c.completes;
        EXPECT_NO_THROW(completed = RunStep(sink, "write value", c.body)) << c.name;
        EXPECT_EQ(completed, c.completes) << c.name;
        EXPECT_EQ(told, c.told) << c.name;
    }
}

TEST(RunStep, WithoutASinkAFailureIsSwallowedQuietly)
{
    EXPECT_FALSE(RunStep({}, "send command", [] { throw std::runtime_error("gone"); }));
    int runs = 0;
    EXPECT_TRUE(RunStep({}, "send command", [&] { ++runs; }));
    EXPECT_EQ(runs, 1);
}

} // namespace
} // namespace tessaly
