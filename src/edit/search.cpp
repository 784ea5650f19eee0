#include "edit/search.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "edit/char_classes.h"
#include "edit/document.h"

namespace quill {
namespace {

unsigned char AsciiLower(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c;
}
unsigned char AsciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 32) : c;
}

// The first of [p, end) equal to a or b, or null. Sixteen bytes a step: the C library's memchr is a
// byte loop on some systems (Wine's), and a search for a word spends most of its time finding the
// next place its first letter occurs.
const unsigned char* FindEither(const unsigned char* p, const unsigned char* end, unsigned char a,
                                unsigned char b) {
#if defined(__SSE2__)
    const __m128i wantA = _mm_set1_epi8(static_cast<char>(a));
    const __m128i wantB = _mm_set1_epi8(static_cast<char>(b));
    for (; end - p >= 16; p += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, wantA), _mm_cmpeq_epi8(block, wantB))));
        if (mask) return p + __builtin_ctz(mask);
    }
#endif
    for (; p < end; ++p)
        if (*p == a || *p == b) return p;
    return nullptr;
}

bool IsWordOrPunctuation(CharClass c) {
    return c == CharClass::Word || c == CharClass::Punctuation;
}

// One search: the document's bytes lo .. textEnd in one span (textEnd may reach a few bytes past hi so
// that a character starting before hi decodes whole), and the prepared needle.
class Search {
public:
    Search(Document& document, int64_t lo, int64_t hi, const unsigned char* needle, int64_t length,
           uint32_t flags)
        : document_(document), lo_(lo), hi_(hi), needle_(needle), length_(length), flags_(flags) {
        matchCase_ = (flags & SCFIND_MATCHCASE) != 0;
        ascii_ = std::all_of(needle, needle + length, [](unsigned char c) { return c < 0x80; });
        if (!matchCase_ && !ascii_) {
            // Folded code points are compared one by one, so a match may differ in byte length.
            for (int64_t i = 0; i < length;) {
                int w = 0;
                folded_.push_back(FoldCase(DecodeCharacter(needle + i, length - i, &w)));
                i += w;
            }
            textEnd_ = std::min(document.Length(), hi + 3);
        } else {
            textEnd_ = hi;
        }
        text_ = reinterpret_cast<const unsigned char*>(document.RangePointer(lo, textEnd_ - lo));
    }

    int64_t Forward(int64_t* matchEnd) const {
        if (!folded_.empty()) {
            for (int64_t p = lo_; p < hi_; ++p) {
                if (IsContinuationByte(At(p))) continue;
                if (Accept(p, matchEnd)) return p;
            }
            return -1;
        }
        const int64_t last = hi_ - length_;  // the last position where the needle still fits
        const unsigned char first = needle_[0];
        const unsigned char lower = AsciiLower(first), upper = AsciiUpper(first);
        for (int64_t p = lo_; p <= last;) {
            const int64_t candidate = matchCase_ || lower == upper
                                          ? FindByte(first, p, last + 1)
                                          : FindEitherByte(lower, upper, p, last + 1);
            if (candidate < 0) return -1;
            if (Accept(candidate, matchEnd)) return candidate;
            p = candidate + 1;
        }
        return -1;
    }

    int64_t Backward(int64_t* matchEnd) const {
        const unsigned char first = matchCase_ ? needle_[0] : AsciiLower(needle_[0]);
        for (int64_t p = hi_ - 1; p >= lo_; --p) {
            const unsigned char c = At(p);
            if (IsContinuationByte(c)) continue;
            if (folded_.empty() && (matchCase_ ? c : AsciiLower(c)) != first) continue;
            if (Accept(p, matchEnd)) return p;
        }
        return -1;
    }

private:
    unsigned char At(int64_t position) const { return text_[position - lo_]; }

    // The first position in [from, to) holding byte b, or -1.
    int64_t FindByte(unsigned char b, int64_t from, int64_t to) const {
        return FindEitherByte(b, b, from, to);
    }

    // The first position in [from, to) holding either byte, or -1.
    int64_t FindEitherByte(unsigned char a, unsigned char b, int64_t from, int64_t to) const {
        const unsigned char* hit = FindEither(text_ + (from - lo_), text_ + (to - lo_), a, b);
        return hit ? hit - text_ + lo_ : -1;
    }

    // The end of a match of the needle at p, or -1.
    int64_t Compare(int64_t p) const {
        if (matchCase_) {
            if (p + length_ > hi_) return -1;
            return std::memcmp(text_ + (p - lo_), needle_, static_cast<size_t>(length_)) == 0 ? p + length_
                                                                                              : -1;
        }
        if (folded_.empty()) {
            if (p + length_ > hi_) return -1;
            const unsigned char* t = text_ + (p - lo_);
            for (int64_t i = 0; i < length_; ++i) {
                if (AsciiLower(t[i]) != AsciiLower(needle_[i])) return -1;
            }
            return p + length_;
        }
        int64_t x = p;
        for (const char32_t wanted : folded_) {
            if (x >= hi_) return -1;
            int w = 0;
            const char32_t c = DecodeCharacter(text_ + (x - lo_), textEnd_ - x, &w);
            if (x + w > hi_ || FoldCase(c) != wanted) return -1;
            x += w;
        }
        return x;
    }

    bool Accept(int64_t p, int64_t* matchEnd) const {
        const int64_t q = Compare(p);
        if (q < 0) return false;
        if (flags_ & SCFIND_WHOLEWORD) {
            if (!IsWordStartAt(document_, p) || !IsWordEndAt(document_, q)) return false;
        } else if (flags_ & SCFIND_WORDSTART) {
            if (!IsWordStartAt(document_, p)) return false;
        }
        *matchEnd = q;
        return true;
    }

    const Document& document_;
    const int64_t lo_, hi_;
    int64_t textEnd_ = 0;
    const unsigned char* text_ = nullptr;
    const unsigned char* needle_;
    const int64_t length_;
    const uint32_t flags_;
    bool matchCase_ = false;
    bool ascii_ = true;
    std::vector<char32_t> folded_;
};

}  // namespace

bool IsWordStartAt(const Document& document, int64_t position) {
    if (position >= document.Length()) return false;
    if (position <= 0) return true;
    const CharClass at = ClassOf(document.CharacterAt(position));
    return IsWordOrPunctuation(at) && at != ClassOf(document.CharacterBefore(position));
}

bool IsWordEndAt(const Document& document, int64_t position) {
    if (position < 1) return false;
    if (position >= document.Length()) return true;
    const CharClass before = ClassOf(document.CharacterBefore(position));
    return IsWordOrPunctuation(before) && before != ClassOf(document.CharacterAt(position));
}

int64_t FindText(Document& document, int64_t start, int64_t end, const char* needle, int64_t needleLength,
                 uint32_t flags, int64_t* matchEnd) {
    const int64_t length = document.Length();
    start = std::clamp<int64_t>(start, 0, length);
    end = std::clamp<int64_t>(end, 0, length);
    const int64_t lo = std::min(start, end), hi = std::max(start, end);
    if (!needle || needleLength < 1 || hi - lo < 1) return -1;
    const Search search(document, lo, hi, reinterpret_cast<const unsigned char*>(needle), needleLength,
                        flags);
    int64_t q = -1;
    const int64_t p = start <= end ? search.Forward(&q) : search.Backward(&q);
    if (p >= 0 && matchEnd) *matchEnd = q;
    return p;
}

}  // namespace quill
