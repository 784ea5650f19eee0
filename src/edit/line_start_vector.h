// The document's line starts: one 64-bit integer per line in one block, with a gap like the text's, so
// that inserting or erasing entries where the last change was costs nothing more than moving the gap
// (a plain vector would move every later entry: 400 KB for each Enter in the middle of 100,000 lines).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace quill {

class LineStartVector {
public:
    int64_t Size() const { return static_cast<int64_t>(data_.size()) - gapLength_; }

    int64_t operator[](int64_t index) const { return data_[Physical(index)]; }

    // Replaces the contents; the gap goes to the end.
    void Assign(std::vector<int64_t>&& values) {
        data_ = std::move(values);
        gapStart_ = static_cast<int64_t>(data_.size());
        gapLength_ = 0;
    }

    void Insert(int64_t index, const int64_t* values, int64_t count) {
        if (count < 1) return;
        if (gapLength_ < count) Grow(count);
        GapTo(index);
        std::memcpy(data_.data() + gapStart_, values, static_cast<size_t>(count) * sizeof(int64_t));
        gapStart_ += count;
        gapLength_ -= count;
    }

    void Erase(int64_t first, int64_t count) {
        if (count < 1) return;
        GapTo(first);
        gapLength_ += count;
    }

    // Adds delta to the entries first .. last (inclusive): at most two contiguous runs, eight at a time.
    void Add(int64_t first, int64_t last, int64_t delta) {
        if (first > last || delta == 0) return;
        if (first < gapStart_) {
            const int64_t end = std::min(last + 1, gapStart_);
            AddRun(data_.data() + first, end - first, delta);
            first = end;
        }
        if (first <= last) AddRun(data_.data() + first + gapLength_, last + 1 - first, delta);
    }

private:
    size_t Physical(int64_t index) const {
        return static_cast<size_t>(index < gapStart_ ? index : index + gapLength_);
    }

    static void AddRun(int64_t* p, int64_t n, int64_t delta) {
        for (; n >= 8; n -= 8, p += 8) {
            p[0] += delta, p[1] += delta, p[2] += delta, p[3] += delta;
            p[4] += delta, p[5] += delta, p[6] += delta, p[7] += delta;
        }
        for (; n > 0; --n, ++p)
            *p += delta;
    }

    void GapTo(int64_t index) {
        if (index == gapStart_) return;
        int64_t* d = data_.data();
        const size_t unit = sizeof(int64_t);
        if (index < gapStart_) {
            std::memmove(d + index + gapLength_, d + index, static_cast<size_t>(gapStart_ - index) * unit);
        } else {
            std::memmove(d + gapStart_, d + gapStart_ + gapLength_,
                         static_cast<size_t>(index - gapStart_) * unit);
        }
        gapStart_ = index;
    }

    void Grow(int64_t needed) {
        const int64_t size = Size();
        const int64_t newGap = needed + std::max<int64_t>(size / 8, 256);
        std::vector<int64_t> grown(static_cast<size_t>(size + newGap));
        std::copy(data_.begin(), data_.begin() + gapStart_, grown.begin());
        std::copy(data_.begin() + gapStart_ + gapLength_, data_.end(), grown.begin() + gapStart_ + newGap);
        data_ = std::move(grown);
        gapLength_ = newGap;
    }

    std::vector<int64_t> data_;
    int64_t gapStart_ = 0;
    int64_t gapLength_ = 0;
};

}  // namespace quill
