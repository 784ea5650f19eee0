#include "app/status_text.h"

#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lumen {

std::wstring FormatThousands(int64_t value) {
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    wchar_t buffer[32];
    wchar_t* p = buffer + 32;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0) *--p = L',';
        *--p = static_cast<wchar_t>(L'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (value < 0) *--p = L'-';
    return std::wstring(p, buffer + 32);
}

std::wstring PositionText(int64_t line, int64_t column) {
    return L"줄 " + FormatThousands(line + 1) + L", 열 " + FormatThousands(column + 1);
}

std::wstring ZoomText(double fontSize, int32_t zoom) {
    const double percent = fontSize > 0 ? (fontSize + zoom) * 100.0 / fontSize : 100.0;
    return FormatThousands(std::lround(percent)) + L"%";
}

namespace {

bool Blank(unsigned char b) {
    return b == ' ' || b == '\t' || b == '\n' || b == '\r';
}

// U+3000 with all three bytes in the text starts at i.
bool IdeographicSpaceAt(const unsigned char* p, size_t n, size_t i) {
    return i + 2 < n && p[i] == 0xE3 && p[i + 1] == 0x80 && p[i + 2] == 0x80;
}

bool SpaceAt(const unsigned char* p, size_t n, size_t i) {
    return Blank(p[i]) || IdeographicSpaceAt(p, n, i) || (i >= 1 && IdeographicSpaceAt(p, n, i - 1)) ||
           (i >= 2 && IdeographicSpaceAt(p, n, i - 2));
}

// Word starts among bytes [from, to); `previousSpace` is whether byte from - 1 is whitespace (true
// before the start) and is updated.
int64_t CountWordsScalar(const unsigned char* p, size_t n, size_t from, size_t to, bool& previousSpace) {
    int64_t words = 0;
    for (size_t i = from; i < to; ++i) {
        const bool space = SpaceAt(p, n, i);
        words += previousSpace && !space;
        previousSpace = space;
    }
    return words;
}

}  // namespace

int64_t CountWords(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    bool previousSpace = true;
    size_t i = n < 2 ? n : 2;  // the blocks look two bytes back
    int64_t words = CountWordsScalar(p, n, 0, i, previousSpace);
#if defined(__SSE2__)
    // 16 bytes at a time: a whitespace mask per block, and the word starts are the bits that are
    // clear with the bit before them set. The blocks look two bytes ahead as well, so they stop 18
    // bytes before the end.
    auto load = [&](size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)); };
    auto is = [](__m128i v, char c) { return _mm_cmpeq_epi8(v, _mm_set1_epi8(c)); };
    unsigned carry = previousSpace ? 1u : 0u;
    for (; i + 18 <= n; i += 16) {
        const __m128i back2 = load(i - 2), back1 = load(i - 1), here = load(i), next1 = load(i + 1),
                      next2 = load(i + 2);
        const __m128i blank = _mm_or_si128(_mm_or_si128(is(here, ' '), is(here, '\t')),
                                           _mm_or_si128(is(here, '\n'), is(here, '\r')));
        const char e3 = static_cast<char>(0xE3), b80 = static_cast<char>(0x80);
        const __m128i h80 = is(here, b80), n1_80 = is(next1, b80);
        const __m128i starts = _mm_and_si128(is(here, e3), _mm_and_si128(n1_80, is(next2, b80)));
        const __m128i seconds = _mm_and_si128(is(back1, e3), _mm_and_si128(h80, n1_80));
        const __m128i thirds = _mm_and_si128(is(back2, e3), _mm_and_si128(is(back1, b80), h80));
        const __m128i space = _mm_or_si128(blank, _mm_or_si128(starts, _mm_or_si128(seconds, thirds)));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(space));
        words += std::popcount(~mask & ((mask << 1) | carry) & 0xFFFFu);
        carry = mask >> 15;
    }
    previousSpace = carry != 0;
#endif
    return words + CountWordsScalar(p, n, i, n, previousSpace);
}

std::wstring CountText(int32_t mode, int64_t selStart, int64_t selEnd, int64_t length, CountSource& source) {
    const bool selection = selEnd > selStart;
    const int64_t start = selection ? selStart : 0;
    const int64_t end = selection ? selEnd : length;
    const std::wstring prefix = selection ? L"선택 " : L"";
    if (mode == kCountLines) {
        const int64_t first = source.LineFromPosition(start);
        int64_t last = source.LineFromPosition(end);
        if (selection && last > first && source.LineStart(last) == end) --last;
        return prefix + FormatThousands(last - first + 1) + L"줄";
    }
    if (end - start >= kCountByteLimit) return prefix + FormatThousands(end - start) + L"바이트";
    if (mode == kCountWords) return prefix + FormatThousands(CountWords(source.Bytes(start, end))) + L"단어";
    return prefix + FormatThousands(source.CountCharacters(start, end)) + L"자";
}

}  // namespace lumen
