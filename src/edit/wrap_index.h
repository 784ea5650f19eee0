// Display rows of every line while wrapping is on: a row count per line, whether it comes from a
// real layout or an estimate, and a Fenwick tree over the counts so that row <-> line lookups and
// updates cost O(log lines) in a 100 000-line document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quill {

class WrapIndex {
public:
    // Number of lines indexed (0 while wrapping is off).
    int64_t Lines() const { return static_cast<int64_t>(rows_.size()); }
    bool Empty() const { return rows_.empty(); }
    void Clear();
    // Makes the index `lines` long, every line holding `estimateOf(line)` rows, none exact.
    template <typename Estimate>
    void Reset(int64_t lines, Estimate estimateOf) {
        rows_.resize(static_cast<size_t>(lines));
        exact_.assign(static_cast<size_t>(lines), 0);
        for (int64_t i = 0; i < lines; ++i)
            rows_[static_cast<size_t>(i)] = Clamp(estimateOf(i));
        stale_ = true;
    }

    uint32_t Rows(int64_t line) const { return rows_[static_cast<size_t>(line)]; }
    bool Exact(int64_t line) const { return exact_[static_cast<size_t>(line)] != 0; }
    // Sets a line's row count; returns true when the count changed.
    bool Set(int64_t line, uint32_t rows, bool exact);
    // Inserts `count` lines after `line` (before line + 1) with the given row counts, not exact.
    template <typename Estimate>
    void InsertAfter(int64_t line, int64_t count, Estimate estimateOf) {
        const size_t at = static_cast<size_t>(line + 1);
        rows_.insert(rows_.begin() + at, static_cast<size_t>(count), 1);
        exact_.insert(exact_.begin() + at, static_cast<size_t>(count), 0);
        for (int64_t i = 0; i < count; ++i)
            rows_[at + static_cast<size_t>(i)] = Clamp(estimateOf(line + 1 + i));
        stale_ = true;
    }
    // Removes `count` lines after `line`.
    void EraseAfter(int64_t line, int64_t count);

    // Rows of all lines before `line` (line may equal Lines()).
    int64_t RowsBefore(int64_t line);
    int64_t TotalRows();
    // The line that shows display row `row` and the row within it; a row beyond the end gives the
    // last line and its last row, a negative row the first line's first row.
    void Find(int64_t row, int64_t* line, int32_t* rowInLine);
    // Index of the first line at or after `from` whose count is an estimate, or Lines().
    int64_t FirstEstimate(int64_t from) const;
    // Rebuilds the tree when changes marked it stale.
    void Refresh();
    bool TreeStale() const { return stale_; }

private:
    static uint32_t Clamp(uint32_t v) { return v < 1 ? 1 : v; }
    std::vector<uint32_t> rows_;
    std::vector<uint8_t> exact_;
    std::vector<int64_t> tree_;  // one-based
    bool stale_ = true;
};

}  // namespace quill
