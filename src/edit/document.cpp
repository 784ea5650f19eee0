#include "edit/document.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "edit/char_classes.h"

namespace quill {
namespace {

constexpr int64_t kMaxLength = std::numeric_limits<int64_t>::max() / 4;

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
    return value < low ? low : value > high ? high : value;
}

bool IsLineEndByte(unsigned char byte) {
    return byte == '\n' || byte == '\r';
}

// position + count without overflow, for counts that come straight from the host.
int64_t SaturatingAdd(int64_t position, int64_t count) {
    if (count > 0 && position > std::numeric_limits<int64_t>::max() - count)
        return std::numeric_limits<int64_t>::max();
    return position + count;
}

// New line starts collected during one insertion: a typed text rarely holds more than a few breaks, so
// the first 64 stay on the stack.
class StartList {
public:
    void Push(int64_t value) {
        if (count_ < kInline) {
            inline_[count_] = value;
        } else {
            if (heap_.empty()) heap_.assign(inline_, inline_ + kInline);
            heap_.push_back(value);
        }
        ++count_;
    }
    const int64_t* Data() const { return count_ <= kInline ? inline_ : heap_.data(); }
    int64_t Size() const { return count_; }

private:
    static constexpr int64_t kInline = 64;
    int64_t inline_[kInline];
    std::vector<int64_t> heap_;
    int64_t count_ = 0;
};

const std::vector<IndicatorRange> kNoRanges;

}  // namespace

void Document::FreeDeleter::operator()(char* p) const {
    std::free(p);
}

Document::Document() : stepPartition_(1) {
    starts_.Assign({0, 0});
}

Document::~Document() = default;

int32_t Document::Release() {
    const int32_t count = --refCount_;
    if (count <= 0) {
        delete this;
        return 0;
    }
    return count;
}

// ---- watchers ---------------------------------------------------------------------------------------

void Document::AddWatcher(DocWatcher* watcher) {
    if (watcher) watchers_.push_back(watcher);
}

void Document::RemoveWatcher(DocWatcher* watcher) {
    watchers_.erase(std::remove(watchers_.begin(), watchers_.end(), watcher), watchers_.end());
}

// ---- gap buffer ---------------------------------------------------------------------------------------

bool Document::RoomFor(int64_t needed) {
    if (needed < 0 || needed > kMaxLength - length_) return false;
    if (gapLength_ >= needed + 1) return true;
    // One spare byte always stays for the NUL that CharacterPointer writes.
    int64_t newGap = needed + 1 + std::max<int64_t>(length_ / 8, 4096);
    char* block = static_cast<char*>(std::malloc(static_cast<size_t>(length_ + newGap)));
    if (!block) {
        newGap = needed + 1;
        block = static_cast<char*>(std::malloc(static_cast<size_t>(length_ + newGap)));
        if (!block) return false;
    }
    if (body_) {
        std::memcpy(block, body_.get(), static_cast<size_t>(gapStart_));
        std::memcpy(block + gapStart_ + newGap, body_.get() + gapStart_ + gapLength_,
                    static_cast<size_t>(length_ - gapStart_));
    }
    body_.reset(block);
    gapLength_ = newGap;
    return true;
}

void Document::GapTo(int64_t position) {
    if (position == gapStart_) return;
    if (gapLength_ > 0) {
        char* b = body_.get();
        if (position < gapStart_) {
            std::memmove(b + position + gapLength_, b + position, static_cast<size_t>(gapStart_ - position));
        } else {
            std::memmove(b + gapStart_, b + gapStart_ + gapLength_,
                         static_cast<size_t>(position - gapStart_));
        }
    }
    gapStart_ = position;
}

bool Document::Reserve(int64_t bytes) {
    return bytes < 1 || RoomFor(bytes);
}

bool Document::AppendRaw(const char* bytes, int64_t count) {
    if (count < 1) return true;
    if (!RoomFor(count)) return false;
    GapTo(length_);
    std::memcpy(body_.get() + gapStart_, bytes, static_cast<size_t>(count));
    gapStart_ += count;
    gapLength_ -= count;
    length_ += count;
    return true;
}

// ---- reading -------------------------------------------------------------------------------------------

char Document::ByteAt(int64_t position) const {
    if (position < 0 || position >= length_) return 0;
    return static_cast<char>(UByteAt(position));
}

int Document::FetchBytes(int64_t position, unsigned char out[4]) const {
    const int available = static_cast<int>(std::min<int64_t>(4, length_ - position));
    for (int i = 0; i < available; ++i)
        out[i] = UByteAt(position + i);
    return available;
}

char32_t Document::CharacterAt(int64_t position, int* width) const {
    int w = 0;
    char32_t value = 0;
    if (position >= 0 && position < length_) {
        const unsigned char lead = UByteAt(position);
        if (lead < 0x80) {
            value = lead, w = 1;
        } else {
            unsigned char bytes[4];
            value = DecodeCharacter(bytes, FetchBytes(position, bytes), &w);
        }
    }
    if (width) *width = w;
    return value;
}

char32_t Document::CharacterBefore(int64_t position, int* width) const {
    position = std::min(position, length_);
    int w = 0;
    char32_t value = 0;
    if (position >= 1) {
        const unsigned char last = UByteAt(position - 1);
        if (last < 0x80) {
            value = last, w = 1;
        } else {
            int64_t start = position - 1;
            for (int steps = 0; steps < 3 && start > 0 && IsContinuationByte(UByteAt(start)); ++steps)
                --start;
            value = CharacterAt(start, &w);
            if (start + w != position) value = kReplacementChar, w = 1;
        }
    }
    if (width) *width = w;
    return value;
}

int64_t Document::MovePositionOutsideChar(int64_t position, int direction) const {
    position = Clamp(position, 0, length_);
    if (position == 0 || position == length_) return position;
    const unsigned char at = UByteAt(position);
    if (at == '\n' && UByteAt(position - 1) == '\r') return direction < 1 ? position - 1 : position + 1;
    if (IsContinuationByte(at)) {
        int64_t start = position;
        for (int steps = 0; steps < 3 && start > 0 && IsContinuationByte(UByteAt(start)); ++steps)
            --start;
        int w = 0;
        CharacterAt(start, &w);
        if (start < position && start + w > position) return direction < 1 ? start : start + w;
    }
    return position;
}

int64_t Document::PositionAfter(int64_t position) const {
    position = Clamp(position, 0, length_);
    if (position >= length_) return length_;
    const unsigned char at = UByteAt(position);
    // A line break stands alone: marks after it belong to the next line.
    if (at == '\r')
        return position + 1 < length_ && UByteAt(position + 1) == '\n' ? position + 2 : position + 1;
    if (at == '\n') return position + 1;
    int w = 0;
    CharacterAt(position, &w);
    position += std::max(w, 1);
    while (position < length_ && UByteAt(position) >= 0xCC) {
        const char32_t next = CharacterAt(position, &w);
        if (!IsCombiningCharacter(next)) break;
        position += w;
    }
    return position;
}

int64_t Document::PositionBefore(int64_t position) const {
    position = Clamp(position, 0, length_);
    if (position <= 0) return 0;
    const unsigned char last = UByteAt(position - 1);
    if (last == '\n') return position >= 2 && UByteAt(position - 2) == '\r' ? position - 2 : position - 1;
    if (last == '\r') return position - 1;
    for (;;) {
        int w = 0;
        const char32_t passed = CharacterBefore(position, &w);
        position -= w;
        if (!IsCombiningCharacter(passed) || position <= 0 || IsLineEndByte(UByteAt(position - 1))) break;
    }
    return position;
}

int64_t Document::CountCharacters(int64_t start, int64_t end) const {
    start = Clamp(start, 0, length_);
    end = Clamp(end, 0, length_);
    if (end <= start) return 0;
    auto countSpan = [](const unsigned char* p, int64_t n) {
        int64_t count = 0;
        for (int64_t i = 0; i < n; ++i)
            count += (p[i] & 0xC0) != 0x80;
        return count;
    };
    const unsigned char* b = Bytes();
    int64_t count = 0;
    if (start < gapStart_) count += countSpan(b + start, std::min(end, gapStart_) - start);
    if (end > gapStart_) {
        const int64_t from = std::max(start, gapStart_);
        count += countSpan(b + from + gapLength_, end - from);
    }
    return count;
}

void Document::GetCharRange(char* destination, int64_t position, int64_t count) const {
    if (position < 0 || count < 1 || position >= length_) return;
    count = std::min(count, length_ - position);
    const char* b = body_.get();
    if (position < gapStart_) {
        const int64_t before = std::min(count, gapStart_ - position);
        std::memcpy(destination, b + position, static_cast<size_t>(before));
        destination += before;
        position += before;
        count -= before;
    }
    if (count > 0) std::memcpy(destination, b + position + gapLength_, static_cast<size_t>(count));
}

std::string Document::GetText(int64_t position, int64_t count) const {
    position = Clamp(position, 0, length_);
    count = Clamp(count, 0, length_ - position);
    std::string text(static_cast<size_t>(count), '\0');
    GetCharRange(text.data(), position, count);
    return text;
}

const char* Document::RangePointer(int64_t position, int64_t count) {
    position = Clamp(position, 0, length_);
    count = Clamp(count, 0, length_ - position);
    if (!body_) return "";
    if (position + count <= gapStart_) return body_.get() + position;
    if (position < gapStart_) GapTo(position);
    return body_.get() + position + gapLength_;
}

const char* Document::CharacterPointer() {
    if (gapLength_ < 1 && !RoomFor(0)) return nullptr;
    GapTo(length_);
    body_.get()[length_] = '\0';
    return body_.get();
}

void Document::SetEolMode(int mode) {
    if (mode >= 0 && mode <= 2) eolMode_ = mode;
}

// ---- line index ----------------------------------------------------------------------------------------

int64_t Document::LineStart(int64_t line) const {
    if (line < 1) return 0;
    if (line >= LineCount()) return length_;
    return TrueStart(line);
}

int64_t Document::LineEnd(int64_t line) const {
    if (line >= LineCount() - 1) return length_;
    const int64_t next = LineStart(std::max<int64_t>(line, 0) + 1);
    const unsigned char before = UByteAt(next - 1);
    if (before == '\n') return next >= 2 && UByteAt(next - 2) == '\r' ? next - 2 : next - 1;
    if (before == '\r') return next - 1;
    return next;
}

int64_t Document::LineFromPosition(int64_t position) const {
    const int64_t lines = LineCount();
    if (position < 1 || lines < 1) return 0;
    if (position >= TrueStart(lines)) return lines - 1;
    int64_t low = 0, high = lines;
    while (low < high) {
        const int64_t middle = (low + 1 + high) / 2;
        if (position < TrueStart(middle)) {
            high = middle - 1;
        } else {
            low = middle;
        }
    }
    return low;
}

bool Document::IsLineStartAfterBreak(int64_t position) const {
    if (position < 1 || position > length_) return false;
    const unsigned char before = UByteAt(position - 1);
    if (before == '\n') return true;
    if (before == '\r') return position == length_ || UByteAt(position) != '\n';
    return false;
}

void Document::ShiftStartsAfter(int64_t line, int64_t delta) {
    const int64_t last = starts_.Size() - 1;
    if (delta == 0 || line >= last) return;
    if (stepLength_ == 0) {
        stepPartition_ = line;
        stepLength_ = delta;
    } else if (line >= stepPartition_) {
        // Moving forward: the entries passed over take the pending step for good.
        starts_.Add(stepPartition_ + 1, line, stepLength_);
        stepPartition_ = line;
        stepLength_ += delta;
    } else if (line >= stepPartition_ - last / 10) {
        // A little way back: the entries passed over give the pending step back.
        starts_.Add(line + 1, stepPartition_, -stepLength_);
        stepPartition_ = line;
        stepLength_ += delta;
    } else {
        // Far back: settle the old step everywhere and start a new one.
        starts_.Add(stepPartition_ + 1, last, stepLength_);
        stepPartition_ = line;
        stepLength_ = delta;
    }
    if (stepLength_ == 0) stepPartition_ = last;
}

void Document::ApplyStepThrough(int64_t index) {
    if (stepLength_ != 0 && stepPartition_ < index) {
        starts_.Add(stepPartition_ + 1, index, stepLength_);
        stepPartition_ = index;
    }
}

void Document::InsertStarts(int64_t index, const int64_t* values, int64_t count) {
    if (count < 1) return;
    ApplyStepThrough(index - 1);
    starts_.Insert(index, values, count);
    // The new entries hold true values, so the step's partition moves past them.
    if (stepPartition_ >= index - 1) stepPartition_ += count;
}

void Document::EraseStarts(int64_t first, int64_t last) {
    if (first > last) return;
    const int64_t count = last - first + 1;
    if (stepPartition_ >= last) {
        stepPartition_ -= count;
    } else if (stepPartition_ >= first) {
        stepPartition_ = first - 1;
    }
    starts_.Erase(first, count);
}

void Document::RebuildLineIndex() {
    const char* text = CharacterPointer();
    std::vector<int64_t> starts;
    starts.reserve(static_cast<size_t>(length_ / 40 + 16));
    starts.push_back(0);
    const int64_t n = text ? length_ : 0;
    auto addBreak = [&](int64_t i) {
        if (text[i] == '\n' || i + 1 >= n || text[i + 1] != '\n') starts.push_back(i + 1);
    };
    int64_t i = 0;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    for (; i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, lf), _mm_cmpeq_epi8(block, cr))));
        while (mask) {
            addBreak(i + __builtin_ctz(mask));
            mask &= mask - 1;
        }
    }
#endif
    for (; i < n; ++i) {
        if (text[i] == '\n' || text[i] == '\r') addBreak(i);
    }
    starts.push_back(length_);
    starts_.Assign(std::move(starts));
    stepPartition_ = starts_.Size() - 1;
    stepLength_ = 0;
}

// ---- indicators ----------------------------------------------------------------------------------------

const std::vector<IndicatorRange>& Document::IndicatorRanges(int indicator) const {
    if (indicator < 0 || indicator >= kIndicatorCount) return kNoRanges;
    return indicators_[indicator];
}

void Document::IndicatorFillRange(int indicator, int64_t position, int64_t count) {
    if (indicator < 0 || indicator >= kIndicatorCount || count < 1) return;
    int64_t start = Clamp(position, 0, length_);
    int64_t end = Clamp(SaturatingAdd(position, count), 0, length_);
    if (start >= end) return;
    auto& ranges = indicators_[indicator];
    // Every range that overlaps or touches [start, end) merges into it.
    auto first = std::partition_point(ranges.begin(), ranges.end(),
                                      [&](const IndicatorRange& r) { return r.end < start; });
    auto past = first;
    for (; past != ranges.end() && past->start <= end; ++past) {
        start = std::min(start, past->start);
        end = std::max(end, past->end);
    }
    if (first == past) {
        ranges.insert(first, {start, end});
    } else {
        *first = {start, end};
        ranges.erase(first + 1, past);
    }
}

void Document::IndicatorClearRange(int indicator, int64_t position, int64_t count) {
    if (indicator < 0 || indicator >= kIndicatorCount || count < 1) return;
    const int64_t start = position;
    const int64_t end = SaturatingAdd(position, count);
    auto& ranges = indicators_[indicator];
    auto first = std::partition_point(ranges.begin(), ranges.end(),
                                      [&](const IndicatorRange& r) { return r.end <= start; });
    auto past = first;
    IndicatorRange kept[2];
    int keptCount = 0;
    for (; past != ranges.end() && past->start < end; ++past) {
        // Only the first range can stick out in front and only the last one behind.
        if (past->start < start) kept[keptCount++] = {past->start, start};
        if (past->end > end) kept[keptCount++] = {end, past->end};
    }
    const auto at = ranges.erase(first, past);
    ranges.insert(at, kept, kept + keptCount);
}

int Document::IndicatorValueAt(int indicator, int64_t position) const {
    if (indicator < 0 || indicator >= kIndicatorCount) return 0;
    const auto& ranges = indicators_[indicator];
    const auto it = std::partition_point(ranges.begin(), ranges.end(),
                                         [&](const IndicatorRange& r) { return r.end <= position; });
    return it != ranges.end() && it->start <= position ? 1 : 0;
}

uint32_t Document::IndicatorAllOnFor(int64_t position) const {
    uint32_t mask = 0;
    for (int i = 0; i < 32; ++i) {
        if (IndicatorValueAt(i, position)) mask |= 1u << i;
    }
    return mask;
}

void Document::IndicatorsInserted(int64_t position, int64_t count) {
    for (auto& ranges : indicators_) {
        if (ranges.empty() || ranges.back().end <= position) continue;
        auto it = std::partition_point(ranges.begin(), ranges.end(),
                                       [&](const IndicatorRange& r) { return r.end <= position; });
        // A range the insertion falls inside grows; ranges at or after the position move.
        if (it->start < position) {
            it->end += count;
            ++it;
        }
        for (; it != ranges.end(); ++it)
            it->start += count, it->end += count;
    }
}

void Document::IndicatorsDeleted(int64_t position, int64_t count) {
    const int64_t end = position + count;
    auto moved = [&](int64_t p) { return p <= position ? p : p <= end ? position : p - count; };
    for (auto& ranges : indicators_) {
        if (ranges.empty() || ranges.back().end <= position) continue;
        auto it = std::partition_point(ranges.begin(), ranges.end(),
                                       [&](const IndicatorRange& r) { return r.end <= position; });
        size_t write = static_cast<size_t>(it - ranges.begin());
        // Ranges emptied by the deletion go; ranges it brings together are merged so that ranges
        // never touch.
        for (auto read = it; read != ranges.end(); ++read) {
            const IndicatorRange r{moved(read->start), moved(read->end)};
            if (r.start >= r.end) continue;
            if (write > 0 && ranges[write - 1].end >= r.start) {
                ranges[write - 1].end = std::max(ranges[write - 1].end, r.end);
            } else {
                ranges[write++] = r;
            }
        }
        ranges.resize(write);
    }
}

// ---- editing -------------------------------------------------------------------------------------------

bool Document::BasicInsert(int64_t position, const char* bytes, int64_t count, uint32_t flags) {
    const int64_t line = LineFromPosition(position);
    const bool atLineStart = line > 0 && LineStart(line) == position;
    if (!RoomFor(count)) return false;
    GapTo(position);
    std::memcpy(body_.get() + gapStart_, bytes, static_cast<size_t>(count));
    gapStart_ += count;
    gapLength_ -= count;
    length_ += count;

    int64_t working = line;
    if (atLineStart) {
        // The start at position is decided again below: an LF inserted after a CR joins the break.
        EraseStarts(line, line);
        working = line - 1;
    }
    ShiftStartsAfter(working, count);

    StartList added;
    if (IsLineStartAfterBreak(position)) added.Push(position);
    const auto* inserted = reinterpret_cast<const unsigned char*>(body_.get() + position);
    for (int64_t i = 0; i < count; ++i) {
        if (inserted[i] <= '\r' && IsLineEndByte(inserted[i]) && IsLineStartAfterBreak(position + i + 1))
            added.Push(position + i + 1);
    }
    InsertStarts(working + 1, added.Data(), added.Size());
    IndicatorsInserted(position, count);

    ++changeCount_;
    const int64_t linesAdded = added.Size() - (atLineStart ? 1 : 0);
    for (size_t i = 0; i < watchers_.size(); ++i)
        watchers_[i]->NotifyModified(this, true, position, count, line, linesAdded, flags, bytes);
    return true;
}

void Document::BasicDelete(int64_t position, int64_t count, uint32_t flags, const char* deleted) {
    const int64_t line1 = LineFromPosition(position);
    const int64_t line2 = LineFromPosition(position + count);
    const bool atLineStart = line1 > 0 && LineStart(line1) == position;
    std::string copy;
    if (!deleted && !watchers_.empty()) {
        copy = GetText(position, count);
        deleted = copy.data();
    }

    if (position + count == gapStart_) {
        gapStart_ = position;
    } else {
        GapTo(position);
    }
    gapLength_ += count;
    length_ -= count;

    const int64_t first = atLineStart ? line1 : line1 + 1;
    int64_t removed = 0;
    if (line2 >= first) {
        EraseStarts(first, line2);
        removed = line2 - first + 1;
    }
    ShiftStartsAfter(first - 1, -count);
    int64_t reinserted = 0;
    // The deletion may expose a CR that now ends a line on its own, or keep a start it removed.
    if (IsLineStartAfterBreak(position)) {
        InsertStarts(first, &position, 1);
        reinserted = 1;
    }
    IndicatorsDeleted(position, count);

    ++changeCount_;
    for (size_t i = 0; i < watchers_.size(); ++i)
        watchers_[i]->NotifyModified(this, false, position, count, line1, reinserted - removed, flags,
                                     deleted);
}

bool Document::InsertString(int64_t position, const char* bytes, int64_t count, uint32_t coalesceKind) {
    if (count < 1) return true;
    if (readOnly_) return false;
    position = Clamp(position, 0, length_);
    // Text taken from this document's own buffer would move under the gap: copy it first.
    std::string own;
    if (body_) {
        const auto p = reinterpret_cast<uintptr_t>(bytes);
        const auto b = reinterpret_cast<uintptr_t>(body_.get());
        if (p >= b && p < b + static_cast<uintptr_t>(length_ + gapLength_)) {
            own.assign(bytes, static_cast<size_t>(count));
            bytes = own.data();
        }
    }
    // Growing first means that a failed insertion has not been recorded.
    if (!RoomFor(count)) return false;
    const bool wasModified = IsModified();
    if (collectUndo_ && !history_.Performing()) {
        history_.Record(kActionInsert, position, bytes, count, coalesceKind,
                        watchers_.empty() ? nullptr : watchers_.front());
    } else if (!history_.Performing()) {
        history_.DropForUncollectedEdit();
    }
    BasicInsert(position, bytes, count, kModUser);
    NotifySavePointChange(wasModified);
    return true;
}

bool Document::DeleteChars(int64_t position, int64_t count, uint32_t coalesceKind) {
    if (readOnly_) return false;
    position = Clamp(position, 0, length_);
    count = std::min(count, length_ - position);
    if (count < 1) return true;
    const bool record = collectUndo_ && !history_.Performing();
    std::string deleted;
    if (record || !watchers_.empty()) deleted = GetText(position, count);
    const bool wasModified = IsModified();
    if (record) {
        history_.Record(kActionDelete, position, deleted.data(), count, coalesceKind,
                        watchers_.empty() ? nullptr : watchers_.front());
    } else if (!history_.Performing()) {
        history_.DropForUncollectedEdit();
    }
    BasicDelete(position, count, kModUser, deleted.empty() ? nullptr : deleted.data());
    NotifySavePointChange(wasModified);
    return true;
}

// ---- undo ----------------------------------------------------------------------------------------------

void Document::NotifySavePointChange(bool wasModified) {
    const bool modified = IsModified();
    if (modified == wasModified) return;
    for (size_t i = 0; i < watchers_.size(); ++i)
        watchers_[i]->NotifySavePoint(this, !modified);
}

// Replayed actions are clamped to the text like every other edit. A history normally matches its
// text (an uncollected edit drops it), but a watcher that edits while an undo is carried out, or an
// insertion that fails for memory halfway through a step, leaves one that does not.
bool Document::ReplayInsert(int64_t position, const std::string& text, uint32_t flags) {
    return BasicInsert(Clamp(position, 0, length_), text.data(), static_cast<int64_t>(text.size()), flags);
}

void Document::ReplayDelete(int64_t position, const std::string& text, uint32_t flags) {
    position = Clamp(position, 0, length_);
    const int64_t count = std::min(static_cast<int64_t>(text.size()), length_ - position);
    if (count < 1) return;
    // The recorded bytes stand for the deleted ones only when they are the bytes in the text (the
    // gap goes where the deletion puts it anyway).
    const bool same =
        count == static_cast<int64_t>(text.size()) &&
        std::memcmp(RangePointer(position, count), text.data(), static_cast<size_t>(count)) == 0;
    BasicDelete(position, count, flags, same ? text.data() : nullptr);
}

bool Document::Undo(int64_t* anchor, int64_t* caret) {
    if (readOnly_ || !history_.HasUndo()) return false;
    const UndoStep& step = history_.BeginUndo();
    const bool wasModified = IsModified();
    history_.SetPerforming(kModUndo);
    for (auto it = step.actions.rbegin(); it != step.actions.rend(); ++it) {
        if (it->kind == kActionInsert) {
            ReplayDelete(it->position, it->text, kModUndo);
        } else if (!ReplayInsert(it->position, it->text, kModUndo)) {
            break;  // out of memory: the rest of the step cannot be restored either
        }
    }
    history_.SetPerforming(0);
    if (anchor) *anchor = Clamp(step.anchorBefore, 0, length_);
    if (caret) *caret = Clamp(step.caretBefore, 0, length_);
    history_.EndUndo();
    NotifySavePointChange(wasModified);
    return true;
}

bool Document::Redo(int64_t* position) {
    if (readOnly_ || !history_.HasRedo()) return false;
    const UndoStep& step = history_.BeginRedo();
    const bool wasModified = IsModified();
    history_.SetPerforming(kModRedo);
    int64_t target = 0;
    for (const UndoAction& action : step.actions) {
        const int64_t at = Clamp(action.position, 0, length_);
        if (action.kind == kActionInsert) {
            if (!ReplayInsert(at, action.text, kModRedo)) break;
            target = at + static_cast<int64_t>(action.text.size());
        } else {
            ReplayDelete(at, action.text, kModRedo);
            target = at;
        }
    }
    history_.SetPerforming(0);
    history_.EndRedo();
    if (position) *position = Clamp(target, 0, length_);
    NotifySavePointChange(wasModified);
    return true;
}

void Document::SetSavePoint() {
    history_.SetSavePoint();
    for (size_t i = 0; i < watchers_.size(); ++i)
        watchers_[i]->NotifySavePoint(this, true);
}

}  // namespace quill
