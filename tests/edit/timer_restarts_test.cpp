// Lazy timer restarts against real ones: a simulated system timer (fires every `interval` ms from
// when it was last set) driven through TimerRestarts must hand the view the same ticks, at the
// same times, as a timer that is really restarted on every request.
#include "edit/timer_restarts.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quill {
namespace {

// A periodic system timer in whole milliseconds.
struct SystemTimer {
    bool running = false;
    uint32_t interval = 0, next = 0;
    int sets = 0;
    void Set(uint32_t now, uint32_t ms) {
        running = true;
        interval = ms;
        next = now + ms;
        ++sets;
    }
};

// Runs `restarts` (times at which the caret moved) from time `start` up to `end` and returns the
// times of the ticks delivered to the view; `sets` receives the number of system timer calls.
std::vector<uint32_t> Lazy(uint32_t start, uint32_t period, const std::vector<uint32_t>& restarts,
                           uint32_t end, int* sets) {
    TimerRestarts lazy;
    SystemTimer system;
    std::vector<uint32_t> delivered;
    size_t r = 0;
    if (lazy.Start(1, period, start)) system.Set(start, period);
    for (uint32_t now = start; now != end; ++now) {
        while (r < restarts.size() && restarts[r] == now) {
            if (lazy.Start(1, period, now)) system.Set(now, period);
            ++r;
        }
        if (system.running && system.next == now) {
            system.next = now + system.interval;
            const TimerRestarts::Tick tick = lazy.OnTick(1, now);
            if (tick.rearm) system.Set(now, tick.rearm);
            if (tick.deliver) delivered.push_back(now);
        }
    }
    *sets = system.sets;
    return delivered;
}

std::vector<uint32_t> Real(uint32_t start, uint32_t period, const std::vector<uint32_t>& restarts,
                           uint32_t end) {
    std::vector<uint32_t> delivered;
    uint32_t next = start + period;
    size_t r = 0;
    for (uint32_t now = start; now != end; ++now) {
        while (r < restarts.size() && restarts[r] == now) {
            next = now + period;
            ++r;
        }
        if (next == now) {
            delivered.push_back(now);
            next = now + period;
        }
    }
    return delivered;
}

TEST(TimerRestarts, TypingBurstsTickExactlyAsRealRestarts) {
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        const uint32_t period = 100 + rng() % 500;
        // Start near the clock's rollover in some rounds.
        const uint32_t start = round % 3 == 0 ? 0xFFFFF000u + rng() % 0x800 : rng() % 100000;
        // Keys 20-40 ms apart, with pauses longer than a period: often in the first rounds, rarely
        // (steady typing) in the others.
        const uint32_t pauseOdds = round < 150 ? 4 : 25;
        std::vector<uint32_t> restarts;
        uint32_t t = start;
        for (int k = 0; k < 100; ++k) {
            t += rng() % pauseOdds == 0 ? period + rng() % (3 * period) : 20 + rng() % 21;
            restarts.push_back(t);
        }
        const uint32_t end = t + 3 * period;
        int sets = 0;
        const std::vector<uint32_t> lazy = Lazy(start, period, restarts, end, &sets);
        ASSERT_EQ(lazy, Real(start, period, restarts, end)) << "round " << round;
        // The point of it: in steady typing far fewer system calls than restarts.
        if (pauseOdds > 4 && period >= 400) {
            EXPECT_LT(sets, static_cast<int>(restarts.size()) / 3) << "round " << round;
        }
    }
}

TEST(TimerRestarts, RestartsOnEveryMillisecondStillTickAPeriodAfterTheLast) {
    std::vector<uint32_t> restarts;
    for (uint32_t t = 1; t <= 2000; ++t)
        restarts.push_back(t);
    int sets = 0;
    const std::vector<uint32_t> lazy = Lazy(0, 530, restarts, 4000, &sets);
    EXPECT_EQ(lazy, Real(0, 530, restarts, 4000));
    ASSERT_FALSE(lazy.empty());
    EXPECT_EQ(lazy.front(), 2530u);
    EXPECT_LE(sets, 10);
}

TEST(TimerRestarts, StopForgetsAndAnotherPeriodSetsTheSystemTimer) {
    TimerRestarts t;
    EXPECT_TRUE(t.Start(1, 500, 0));
    EXPECT_FALSE(t.Start(1, 500, 10));
    EXPECT_TRUE(t.Start(1, 250, 20));  // a new period must reach the system
    EXPECT_FALSE(t.Start(1, 250, 30));
    t.Stop(1);
    EXPECT_TRUE(t.Start(1, 250, 40));  // stopped: the system timer is gone
    // A tick of a timer never started here, or of an id out of range, is passed on untouched.
    const TimerRestarts::Tick other = t.OnTick(2, 100);
    EXPECT_TRUE(other.deliver);
    EXPECT_EQ(other.rearm, 0u);
    EXPECT_TRUE(t.Start(9, 100, 0));
    EXPECT_TRUE(t.Start(9, 100, 1));
    EXPECT_TRUE(t.OnTick(9, 100).deliver);
    // A tick exactly one period after the latest restart is delivered.
    TimerRestarts u;
    u.Start(1, 100, 0);
    u.Start(1, 100, 30);
    EXPECT_FALSE(u.OnTick(1, 100).deliver);
    EXPECT_TRUE(u.OnTick(1, 130).deliver);
    // A zero period is never treated as running.
    EXPECT_TRUE(t.Start(3, 0, 0));
    EXPECT_TRUE(t.Start(3, 0, 1));
}

}  // namespace
}  // namespace quill
