#include "popup/AlertMotion.h"

#include <algorithm>

namespace tessaly {

AlertMotion::AlertMotion(int top, int height, int fullHeight)
    : top_(top), height_(height), fullHeight_(fullHeight)
{}

void AlertMotion::SlideInTick()
{
    if (unloaded_ || !timer1_)
        return;
    if (height_ < fullHeight_) {
        const int grown = std::min(height_ + kStep, fullHeight_);
        top_ -= grown - height_;
        height_ = grown;
        return;
    }
    EnableTimer2();
    timer1_ = false;
}

void AlertMotion::HoldTick()
{
    if (unloaded_ || !timer2_)
        return;
    timer2_ = false;
    timer3_ = true;
}

bool AlertMotion::SlideOutTick()
{
    if (unloaded_ || !timer3_)
        return false;
    if (height_ <= kUnloadHeight) {
        Unload();
        return true;
    }
    height_ -= kStep;
    top_ += kStep;
    return false;
}

void AlertMotion::RestartHold()
{
    if (unloaded_)
        return;
    timer2_ = false;
    EnableTimer2();
}

void AlertMotion::Unload()
{
    unloaded_ = true;
    timer1_ = timer2_ = timer3_ = false;
}

void AlertMotion::EnableTimer2()
{
    // Enabling at the hand-over restarts a hold that pointer movement began during the slide-in,
    // so the popup always stays the full five seconds once it has fully risen.
    timer2_ = true;
    ++holdStarts_;
}

} // namespace tessaly
