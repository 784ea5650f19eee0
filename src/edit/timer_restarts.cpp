#include "edit/timer_restarts.h"

namespace quill {

bool TimerRestarts::Start(int id, uint32_t period, uint32_t now) {
    State* t = Find(id);
    if (!t) return true;
    if (t->running && t->period == period && period > 0) {
        t->restarted = now;
        t->restartPending = true;
        return false;
    }
    *t = State{period, now, true, false, false};
    return true;
}

void TimerRestarts::Stop(int id) {
    if (State* t = Find(id)) *t = State{};
}

TimerRestarts::Tick TimerRestarts::OnTick(int id, uint32_t now) {
    Tick tick;
    State* t = Find(id);
    if (!t || !t->running) return tick;
    if (t->restartPending) {
        t->restartPending = false;
        const uint32_t elapsed = now - t->restarted;  // wraps correctly across the clock's rollover
        if (elapsed < t->period) {
            tick.deliver = false;
            tick.rearm = t->period - elapsed;
            t->shortened = true;
            return tick;
        }
    }
    if (t->shortened) {
        t->shortened = false;
        tick.rearm = t->period;
    }
    return tick;
}

}  // namespace quill
