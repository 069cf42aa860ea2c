#pragma once

// The popup's rise, hold and sink as a state machine stepped by timer ticks, so that the motion is
// exact and testable without a display or real timers. All lengths are twips.

namespace tessaly {

class AlertMotion {
public:
    static constexpr int kStartHeight = 90;
    static constexpr int kStep = 30;
    // At this height or below the slide-out unloads the window.
    static constexpr int kUnloadHeight = 120;

    // A window whose top edge is at top, height high, growing to fullHeight.
    AlertMotion(int top, int height, int fullHeight);

    int Top() const { return top_; }
    int Height() const { return height_; }
    int Bottom() const { return top_ + height_; }

    bool Timer1Enabled() const { return timer1_; }
    bool Timer2Enabled() const { return timer2_; }
    bool Timer3Enabled() const { return timer3_; }
    // Counts every enabling of Timer2; each one starts the five seconds of the hold again.
    int HoldStarts() const { return holdStarts_; }
    bool Unloaded() const { return unloaded_; }

    // Timer1: grow upward by one step, or hand over to the hold at full height.
    void SlideInTick();
    // Timer2: the hold is over; the slide-out begins.
    void HoldTick();
    // Timer3: shrink by one step with the bottom edge fixed. True when the window must unload.
    bool SlideOutTick();
    // Timer2 off and on again: the hold starts over (and starts early during the slide-in).
    void RestartHold();
    // The window is gone: every timer stops.
    void Unload();

private:
    void EnableTimer2();

    int top_;
    int height_;
    int fullHeight_;
    bool timer1_ = true; // enabled in the window's design
    bool timer2_ = false;
    bool timer3_ = false;
    int holdStarts_ = 0;
    bool unloaded_ = false;
};

} // namespace tessaly
