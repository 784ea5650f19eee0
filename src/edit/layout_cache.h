// The layouts of recently shown lines: a direct-mapped cache of 512 slots (line L in slot
// L mod 512), valid for one generation, so that a change of font, width or line numbering makes
// every slot stale at once. It also keeps the widest layout made since it was last asked to
// forget, which is what the horizontal scroll range follows.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "edit/layout.h"

namespace quill {

inline constexpr int kLayoutSlots = 512;

class LayoutCache {
public:
    LayoutCache() : slots_(kLayoutSlots) {}

    // The slot's layout when it holds `line` in the current generation, else null.
    LineLayout* Find(int64_t line) {
        LineLayout& slot = Slot(line);
        return slot.line == line && slot.generation == generation_ ? &slot : nullptr;
    }
    // Where `line` is laid out; the caller fills it and then calls Made.
    LineLayout& Slot(int64_t line) { return slots_[static_cast<size_t>(line % kLayoutSlots)]; }
    void Made(LineLayout& layout, int64_t line) {
        layout.line = line;
        layout.generation = generation_;
        NoteWidth(layout.Width());
    }
    void Drop(int64_t line) {
        if (line < 0) return;
        LineLayout& slot = Slot(line);
        if (slot.line == line) slot.line = -1;
    }
    // Makes every slot stale.
    void Invalidate() { ++generation_; }
    uint32_t Generation() const { return generation_; }

    // A line of this width was laid out (or patched).
    void NoteWidth(int64_t width) { widest_ = std::max(widest_, width); }
    int64_t Widest() const { return widest_; }
    void ForgetWidest() { widest_ = 0; }

    // The slots and their generation move to another owner and back, so a document shown again
    // finds the layouts it had; a cache given nothing (or the wrong number of slots) starts empty.
    struct Kept {
        std::vector<LineLayout> slots;
        uint32_t generation = 0;
        int64_t widest = 0;
    };
    // Takes the slots away; the cache is unusable until Give or Reset.
    Kept Take() {
        Kept kept{std::move(slots_), generation_, widest_};
        slots_.clear();
        return kept;
    }
    // False (nothing changes) when `kept` holds no slots.
    bool Give(Kept&& kept) {
        if (kept.slots.size() != kLayoutSlots) return false;
        // The kept generation is later than any of the kept slots', so numbers counted on from it
        // never make an old slot valid.
        slots_ = std::move(kept.slots);
        generation_ = kept.generation;
        widest_ = kept.widest;
        return true;
    }
    // Fresh slots in a new generation.
    void Reset() {
        slots_.assign(kLayoutSlots, LineLayout{});
        ++generation_;
        widest_ = 0;
    }

private:
    std::vector<LineLayout> slots_;
    uint32_t generation_ = 1;
    int64_t widest_ = 0;
};

}  // namespace quill
