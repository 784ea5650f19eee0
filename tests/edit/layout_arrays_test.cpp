// The per-unit arrays against a plain vector: random insertions and removals near either end, in
// the middle and across reallocations must leave the same values, with relative arrays shifting
// every value after the edit.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "edit/layout_arrays.h"

namespace quill {
namespace {

template <typename T, bool Relative>
void ExpectSame(const UnitArray<T, Relative>& a, const std::vector<T>& model) {
    ASSERT_EQ(a.size(), model.size());
    ASSERT_TRUE(a == model);
    for (size_t i = 0; i < model.size(); ++i)
        ASSERT_EQ(a[i], model[i]) << "index " << i;
    // Iterators read the same values and support the searches layouts do on them.
    ASSERT_EQ(static_cast<size_t>(a.end() - a.begin()), model.size());
    if (!model.empty()) {
        ASSERT_EQ(a.front(), model.front());
        ASSERT_EQ(a.back(), model.back());
    }
}

// Picks an edit position biased towards the ends and the middle, where the array changes strategy.
size_t Position(std::mt19937& rng, size_t size) {
    switch (rng() % 5) {
        case 0:
            return std::min<size_t>(size, rng() % 3);
        case 1:
            return size - std::min<size_t>(size, rng() % 3);
        case 2:
            return std::min(size, size / 2 + rng() % 3 - 1);
        default:
            return rng() % (size + 1);
    }
}

template <typename T, bool Relative>
void RandomEditsMatchAVector(unsigned seed) {
    std::mt19937 rng(seed);
    UnitArray<T, Relative> a;
    std::vector<T> model;
    a.resize(5);
    model.resize(5);
    for (size_t i = 0; i < 5; ++i) {
        a.Set(i, static_cast<T>(i * 3));
        model[i] = static_cast<T>(i * 3);
    }
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(testing::Message() << "step " << step);
        const T shift = Relative ? static_cast<T>(rng() % 7) : T{};
        const unsigned kind = rng() % 6;
        if (kind == 5 && !model.empty()) {
            // Replaced by as many values (moving nothing) or by one more or less.
            const size_t from = Position(rng, model.size() - 1);
            const size_t to = std::min(model.size(), from + rng() % 3);
            const size_t count = rng() % 2 ? to - from : rng() % 3;
            std::vector<T> values(count);
            for (auto& v : values)
                v = static_cast<T>(rng() % 100);
            a.Replace(from, to, values.begin(), count, shift);
            for (size_t k = to; k < model.size(); ++k)
                model[k] = static_cast<T>(model[k] + shift);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(from),
                        model.begin() + static_cast<std::ptrdiff_t>(to));
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(from), values.begin(), values.end());
        } else if (kind < 3 || model.size() < 2) {
            const size_t at = Position(rng, model.size());
            // Mostly small insertions, sometimes a large one that outgrows the spare room at once.
            const size_t count = rng() % 150 == 0 ? 300 + rng() % 500 : 1 + rng() % 3;
            std::vector<T> values(count);
            for (auto& v : values)
                v = static_cast<T>(rng() % 100);
            a.Insert(at, values.begin(), count, shift);
            for (size_t k = at; k < model.size(); ++k)
                model[k] = static_cast<T>(model[k] + shift);
            model.insert(model.begin() + static_cast<std::ptrdiff_t>(at), values.begin(), values.end());
        } else {
            const size_t from = Position(rng, model.size() - 1);
            const size_t to = std::min(model.size(), from + 1 + rng() % 4);
            a.Erase(from, to, shift);
            for (size_t k = to; k < model.size(); ++k)
                model[k] = static_cast<T>(model[k] - shift);
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(from),
                        model.begin() + static_cast<std::ptrdiff_t>(to));
        }
        if (step % 97 == 0) {
            // A copy carries the same values and edits on by itself (the original is dropped).
            UnitArray<T, Relative> copy(a);
            a = UnitArray<T, Relative>();
            ASSERT_TRUE(a.empty());
            a = copy;
        }
        if (step % 131 == 0) {
            // Growing for overwrite keeps the entries before and takes every new one as written.
            const size_t old = model.size(), grow = 1 + rng() % 40;
            a.ResizeForOverwrite(old + grow);
            for (size_t k = old; k < old + grow; ++k) {
                const T v = static_cast<T>(rng() % 100);
                a.Set(k, v);
                model.push_back(v);
            }
        }
        ASSERT_TRUE(a == model);
        if (step % 250 == 0) ExpectSame(a, model);
        if (testing::Test::HasFatalFailure()) return;
    }
    ExpectSame(a, model);
}

TEST(UnitArray, RandomEditsMatchAVector) {
    RandomEditsMatchAVector<uint8_t, false>(1);
    RandomEditsMatchAVector<char16_t, false>(2);
    RandomEditsMatchAVector<uint32_t, true>(3);
    RandomEditsMatchAVector<int32_t, true>(4);
}

TEST(UnitArray, RelativeValuesWrapWithoutLosingLargeOffsets) {
    // Offsets near the top of the range next to small ones: the stored entries wrap, the values not.
    UnitArray<uint32_t, true> offsets;
    offsets.resize(3);
    offsets.Set(0, 0);
    offsets.Set(1, 5);
    offsets.Set(2, 0xFFFFFFF0u);
    const uint32_t added[] = {1, 2};
    offsets.Insert(1, added, 2, 10);
    ExpectSame(offsets, std::vector<uint32_t>{0, 1, 2, 15, 0xFFFFFFFAu});
    offsets.Erase(1, 3, 1);  // the shorter side is the front
    ExpectSame(offsets, std::vector<uint32_t>{0, 14, 0xFFFFFFF9u});
}

TEST(UnitArray, ResizeKeepsThePrefixAndClearForgetsTheBase) {
    UnitArray<int32_t, true> xs;
    xs.resize(4);
    for (size_t i = 0; i < 4; ++i)
        xs.Set(i, static_cast<int32_t>(i) * 10);
    const int32_t zero = 0;
    xs.Insert(0, &zero, 1, 7);  // moves the front and the base
    ExpectSame(xs, std::vector<int32_t>{0, 7, 17, 27, 37});
    xs.resize(3);
    ExpectSame(xs, std::vector<int32_t>{0, 7, 17});
    xs.resize(5);
    ExpectSame(xs, std::vector<int32_t>{0, 7, 17, 0, 0});
    xs.clear();
    EXPECT_TRUE(xs.empty());
    xs.resize(2);
    ExpectSame(xs, std::vector<int32_t>{0, 0});
    xs.Set(1, 4);
    xs.shrink_to_fit();
    ExpectSame(xs, std::vector<int32_t>{0, 4});
    EXPECT_EQ(xs.capacity(), 2u);
}

TEST(UnitArray, AFreshOrRefilledArrayTakesItsFirstEditAtEitherEndWithoutGrowing) {
    // The first keystroke after a line is laid out must not copy the whole line into new storage.
    UnitArray<int32_t, true> xs;
    for (int round = 0; round < 2; ++round) {
        xs.clear();
        xs.resize(round == 0 ? 1000 : 900);
        const size_t capacity = xs.capacity();
        const int32_t x = 5;
        xs.Insert(0, &x, 1, 3);
        xs.Insert(xs.size(), &x, 1, 3);
        EXPECT_EQ(xs.capacity(), capacity) << "round " << round;
        EXPECT_EQ(xs.front(), 5);
        EXPECT_EQ(xs[1], 3);
        EXPECT_EQ(xs.back(), 5);
    }
}

}  // namespace
}  // namespace quill
