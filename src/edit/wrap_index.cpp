#include "edit/wrap_index.h"

#include <algorithm>

namespace quill {

void WrapIndex::Clear() {
    rows_.clear();
    rows_.shrink_to_fit();
    exact_.clear();
    exact_.shrink_to_fit();
    tree_.clear();
    tree_.shrink_to_fit();
    stale_ = true;
}

bool WrapIndex::Set(int64_t line, uint32_t rows, bool exact) {
    const size_t i = static_cast<size_t>(line);
    rows = Clamp(rows);
    exact_[i] = exact ? 1 : 0;
    const uint32_t old = rows_[i];
    if (old == rows) return false;
    rows_[i] = rows;
    if (!stale_) {
        const int64_t delta = int64_t{rows} - old;
        const size_t n = rows_.size();
        for (size_t k = i + 1; k <= n; k += k & (~k + 1))
            tree_[k] += delta;
    }
    return true;
}

void WrapIndex::EraseAfter(int64_t line, int64_t count) {
    const size_t at = static_cast<size_t>(line + 1);
    const size_t end = std::min(rows_.size(), at + static_cast<size_t>(count));
    if (at >= end) return;
    rows_.erase(rows_.begin() + at, rows_.begin() + end);
    exact_.erase(exact_.begin() + at, exact_.begin() + end);
    stale_ = true;
}

void WrapIndex::Refresh() {
    if (!stale_) return;
    const size_t n = rows_.size();
    tree_.assign(n + 1, 0);
    for (size_t k = 1; k <= n; ++k) {
        tree_[k] += rows_[k - 1];
        const size_t parent = k + (k & (~k + 1));
        if (parent <= n) tree_[parent] += tree_[k];
    }
    stale_ = false;
}

int64_t WrapIndex::RowsBefore(int64_t line) {
    Refresh();
    int64_t sum = 0;
    size_t k = static_cast<size_t>(std::clamp<int64_t>(line, 0, Lines()));
    for (; k > 0; k -= k & (~k + 1))
        sum += tree_[k];
    return sum;
}

int64_t WrapIndex::TotalRows() {
    return RowsBefore(Lines());
}

void WrapIndex::Find(int64_t row, int64_t* line, int32_t* rowInLine) {
    Refresh();
    const size_t n = rows_.size();
    if (n == 0) {
        *line = 0;
        *rowInLine = 0;
        return;
    }
    if (row < 0) row = 0;
    size_t pos = 0;
    int64_t rest = row;
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    for (; step > 0; step >>= 1) {
        if (pos + step <= n && tree_[pos + step] <= rest) {
            pos += step;
            rest -= tree_[pos];
        }
    }
    if (pos >= n) {
        *line = static_cast<int64_t>(n) - 1;
        *rowInLine = static_cast<int32_t>(rows_[n - 1] - 1);
        return;
    }
    *line = static_cast<int64_t>(pos);
    *rowInLine = static_cast<int32_t>(rest);
}

int64_t WrapIndex::FirstEstimate(int64_t from) const {
    const auto begin = exact_.begin() + std::clamp<int64_t>(from, 0, Lines());
    return static_cast<int64_t>(std::find(begin, exact_.end(), uint8_t{0}) - exact_.begin());
}

}  // namespace quill
