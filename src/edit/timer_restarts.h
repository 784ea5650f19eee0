// Restarting a running timer without asking the system each time. Moving the caret restarts the
// blink timer, so every key would otherwise cost a round trip to the window manager (tens of
// microseconds under some systems). Instead a restart of a timer that is already running with the
// same period only records the time; when the system's tick comes too early for the latest
// restart, it is swallowed and the timer re-armed for the rest of the period, and the first tick
// after that puts the period back. The ticks the view sees are the same as with real restarts, to
// the resolution of the system's clock.
#pragma once

#include <cstdint>

namespace quill {

class TimerRestarts {
public:
    static constexpr int kTimers = 4;  // timer ids 0..3; others pass straight through

    // A timer is (re)started with `period` ms at `now`: whether the system timer must be set.
    bool Start(int id, uint32_t period, uint32_t now);
    // The timer was stopped.
    void Stop(int id);

    struct Tick {
        bool deliver = true;  // pass the tick on to the view
        uint32_t rearm = 0;   // when not 0, set the system timer to this many ms
    };
    // A tick of the system timer arrived at `now`.
    Tick OnTick(int id, uint32_t now);

private:
    struct State {
        uint32_t period = 0;
        uint32_t restarted = 0;
        bool running = false;
        bool restartPending = false;  // restarted since the system timer was last set
        bool shortened = false;       // the system timer runs with less than the period
    };
    State* Find(int id) { return id >= 0 && id < kTimers ? &timers_[id] : nullptr; }
    State timers_[kTimers];
};

}  // namespace quill
