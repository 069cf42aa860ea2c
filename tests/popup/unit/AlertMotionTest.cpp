#include "popup/AlertMotion.h"

#include <gtest/gtest.h>

using tessaly::AlertMotion;

namespace {

constexpr int kTop = 12000;
constexpr int kFull = 1750;

AlertMotion RisenMotion()
{
    AlertMotion motion(kTop, AlertMotion::kStartHeight, kFull);
    while (motion.Timer1Enabled())
        motion.SlideInTick();
    return motion;
}

TEST(AlertMotion, RisesIn56GrowingTicksThenHandsOverToTheHold)
{
    AlertMotion motion(kTop, AlertMotion::kStartHeight, kFull);
    const int bottom = motion.Bottom();
    ASSERT_TRUE(motion.Timer1Enabled());
    ASSERT_FALSE(motion.Timer2Enabled());
    for (int tick = 1; tick <= 56; ++tick) {
        const int before = motion.Height();
        motion.SlideInTick();
        EXPECT_EQ(motion.Height() - before, tick < 56 ? 30 : 10) << "tick " << tick;
        EXPECT_EQ(motion.Bottom(), bottom) << "tick " << tick;
        EXPECT_TRUE(motion.Timer1Enabled());
        EXPECT_FALSE(motion.Timer2Enabled());
    }
    EXPECT_EQ(motion.Height(), kFull);
    motion.SlideInTick(); // the hand-over tick
    EXPECT_EQ(motion.Height(), kFull);
    EXPECT_FALSE(motion.Timer1Enabled());
    EXPECT_TRUE(motion.Timer2Enabled());
    EXPECT_FALSE(motion.Timer3Enabled());
    EXPECT_EQ(motion.HoldStarts(), 1);
}

TEST(AlertMotion, SinksIn55ShrinkingTicksAndUnloadsOnTheNext)
{
    AlertMotion motion = RisenMotion();
    const int bottom = motion.Bottom();
    motion.HoldTick();
    EXPECT_FALSE(motion.Timer2Enabled());
    ASSERT_TRUE(motion.Timer3Enabled());
    for (int tick = 1; tick <= 55; ++tick) {
        EXPECT_FALSE(motion.SlideOutTick()) << "tick " << tick;
        EXPECT_EQ(motion.Height(), kFull - 30 * tick);
        EXPECT_EQ(motion.Bottom(), bottom);
    }
    EXPECT_EQ(motion.Height(), 100);
    EXPECT_TRUE(motion.SlideOutTick());
    EXPECT_TRUE(motion.Unloaded());
    EXPECT_FALSE(motion.Timer3Enabled());
    EXPECT_FALSE(motion.SlideOutTick()); // nothing ticks once unloaded
}

TEST(AlertMotion, HoldRestartDuringTheSlideInStartsTimer2EarlyAndAgainAtFullHeight)
{
    AlertMotion motion(kTop, AlertMotion::kStartHeight, kFull);
    for (int i = 0; i < 10; ++i)
        motion.SlideInTick();
    motion.RestartHold();
    EXPECT_TRUE(motion.Timer1Enabled());
    EXPECT_TRUE(motion.Timer2Enabled());
    EXPECT_EQ(motion.HoldStarts(), 1);
    while (motion.Timer1Enabled())
        motion.SlideInTick();
    EXPECT_EQ(motion.Height(), kFull);
    EXPECT_EQ(motion.HoldStarts(), 2); // the full five seconds count from full height
}

TEST(AlertMotion, HoldRestartWhileHoldingStartsTheHoldOver)
{
    AlertMotion motion = RisenMotion();
    motion.RestartHold();
    EXPECT_TRUE(motion.Timer2Enabled());
    EXPECT_FALSE(motion.Timer3Enabled());
    EXPECT_EQ(motion.HoldStarts(), 2);
}

TEST(AlertMotion, HoldRestartDuringTheSlideOutDoesNotStopIt)
{
    AlertMotion motion = RisenMotion();
    motion.HoldTick();
    motion.SlideOutTick();
    motion.RestartHold();
    EXPECT_TRUE(motion.Timer2Enabled());
    EXPECT_TRUE(motion.Timer3Enabled());
    int ticks = 1;
    do
        ++ticks;
    while (!motion.SlideOutTick());
    EXPECT_EQ(ticks, 56); // 55 shrinking and the closing one, as without the restart
    EXPECT_FALSE(motion.Timer2Enabled());
}

TEST(AlertMotion, UnloadDuringTheSlideInStopsEverything)
{
    AlertMotion motion(kTop, AlertMotion::kStartHeight, kFull);
    motion.SlideInTick();
    motion.Unload();
    EXPECT_FALSE(motion.Timer1Enabled() || motion.Timer2Enabled() || motion.Timer3Enabled());
    const int height = motion.Height();
    motion.SlideInTick();
    motion.RestartHold();
    EXPECT_EQ(motion.Height(), height);
    EXPECT_FALSE(motion.Timer2Enabled());
}

} // namespace
