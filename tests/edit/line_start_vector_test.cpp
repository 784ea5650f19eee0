// The gap vector behind the line index, against a plain std::vector under random inserts, erases and
// range additions at positions that wander (so the gap moves both ways and the block grows).
#include "edit/line_start_vector.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace quill {
namespace {

TEST(LineStartVector, RandomOperationsMatchAPlainVector) {
    std::mt19937 rng(7);
    LineStartVector gapped;
    std::vector<int64_t> plain;
    gapped.Assign({0, 5});
    plain = {0, 5};
    auto pick = [&](int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(rng); };
    int64_t cursor = 1;
    for (int step = 0; step < 20000; ++step) {
        const auto size = static_cast<int64_t>(plain.size());
        // Mostly near the last place, sometimes anywhere: the way edits move through a document.
        cursor = pick(0, 3) ? std::clamp<int64_t>(cursor + pick(-3, 3), 0, size) : pick(0, size);
        const int op = static_cast<int>(pick(0, 2));
        if (op == 0 || size < 4) {
            std::vector<int64_t> values(static_cast<size_t>(pick(1, step % 500 == 0 ? 600 : 3)));
            for (int64_t& v : values)
                v = pick(-1000, 1000);
            gapped.Insert(cursor, values.data(), static_cast<int64_t>(values.size()));
            plain.insert(plain.begin() + cursor, values.begin(), values.end());
        } else if (op == 1) {
            const int64_t first = std::min(cursor, size - 1);
            const int64_t count = pick(1, std::min<int64_t>(size - first, 4));
            gapped.Erase(first, count);
            plain.erase(plain.begin() + first, plain.begin() + first + count);
        } else {
            const int64_t first = pick(0, size - 1), last = pick(first, size - 1), delta = pick(-9, 9);
            gapped.Add(first, last, delta);
            for (int64_t i = first; i <= last; ++i)
                plain[static_cast<size_t>(i)] += delta;
        }
        ASSERT_EQ(gapped.Size(), static_cast<int64_t>(plain.size())) << "step " << step;
        if (step % 50 == 0 || plain.size() < 64) {
            for (size_t i = 0; i < plain.size(); ++i)
                ASSERT_EQ(gapped[static_cast<int64_t>(i)], plain[i]) << step;
        }
    }
    gapped.Assign({1, 2, 3});
    EXPECT_EQ(gapped.Size(), 3);
    EXPECT_EQ(gapped[2], 3);
}

}  // namespace
}  // namespace quill
