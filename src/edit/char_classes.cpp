#include "edit/char_classes.h"

#include <algorithm>
#include <new>
#include <vector>

#include "edit/text_platform.h"
#include "edit/utf8.h"

namespace quill {
namespace {

// Two bits per BMP code point for what the system said, so it is asked once per code point.
// Combining: 0 not asked, 1 no, 2 yes. Classes: 0 not asked, 1 space, 2 word, 3 punctuation.
uint8_t g_combining[0x10000 / 4];
uint8_t g_classes[0x10000 / 4];

unsigned CachedBits(const uint8_t* table, char32_t codePoint) {
    return (table[codePoint >> 2] >> ((codePoint & 3) * 2)) & 3;
}

void StoreBits(uint8_t* table, char32_t codePoint, unsigned bits) {
    table[codePoint >> 2] = static_cast<uint8_t>(table[codePoint >> 2] | (bits << ((codePoint & 3) * 2)));
}

// Code points up to U+FFFF that are spaces whatever the system says.
bool IsFixedSpace(char32_t c) {
    return c == 0x00A0 || c == 0x3000 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
           c == 0x202F || c == 0x205F || c == 0xFEFF;
}

CharClass QueryClass(char32_t c) {
    const auto unit = static_cast<wchar_t>(c);
    const uint16_t basic = platform::CharTypeBasic(unit);
    if (basic & platform::kC1Space) return CharClass::Space;
    if (basic & (platform::kC1Alpha | platform::kC1Digit)) return CharClass::Word;
    const uint16_t extended = platform::CharTypeExtended(unit);
    constexpr uint16_t kWordLike = platform::kC3Ideograph | platform::kC3Hiragana | platform::kC3Katakana |
                                   platform::kC3Diacritic | platform::kC3NonSpacing;
    if (extended & kWordLike) return CharClass::Word;
    return CharClass::Punctuation;
}

// The fold table: 65,536 lower-case forms, built once. Null when it could not be allocated.
const uint16_t* FoldTable() {
    static const uint16_t* table = [] {
        auto* built = new (std::nothrow) uint16_t[0x10000];
        if (!built) return static_cast<const uint16_t*>(nullptr);
        std::vector<wchar_t> units(0x10000);
        for (size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<wchar_t>(i);
        // Surrogate code units are left out: they map to themselves.
        platform::LowerCaseInPlace(units.data() + 1, 0xD7FF);
        platform::LowerCaseInPlace(units.data() + 0xE000, 0x2000);
        for (size_t i = 0; i < units.size(); ++i)
            built[i] = static_cast<uint16_t>(units[i]);
        return static_cast<const uint16_t*>(built);
    }();
    return table;
}

}  // namespace

char32_t DecodeCharacter(const unsigned char* bytes, int64_t available, int* width) {
    return DecodeUtf8(bytes, static_cast<size_t>(std::max<int64_t>(available, 1)), width);
}

bool IsCombiningCharacter(char32_t c) {
    if (c < 0x0300) return false;
    if (c <= 0x036F) return true;
    if ((c >= 0x200B && c <= 0x200D) || c == 0x2060 || (c >= 0xFE00 && c <= 0xFE0F) ||
        (c >= 0xE0100 && c <= 0xE01EF) || (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0x1160 && c <= 0x11FF) ||
        (c >= 0xD7B0 && c <= 0xD7FF))
        return true;
    if ((c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x4E00 && c <= 0x9FFF) || c > 0xFFFF) return false;
    unsigned bits = CachedBits(g_combining, c);
    if (bits == 0) {
        const bool nonSpacing =
            (platform::CharTypeExtended(static_cast<wchar_t>(c)) & platform::kC3NonSpacing) != 0;
        bits = nonSpacing ? 2 : 1;
        StoreBits(g_combining, c, bits);
    }
    return bits == 2;
}

CharClass ClassOf(char32_t c) {
    if (c == '\r' || c == '\n') return CharClass::LineEnd;
    if (c < 33 || c == 127) return CharClass::Space;
    if (c < 128) {
        const bool word =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        return word ? CharClass::Word : CharClass::Punctuation;
    }
    if (c > 0xFFFF || (c >= 0xAC00 && c <= 0xD7A3)) return CharClass::Word;
    if (IsFixedSpace(c)) return CharClass::Space;
    unsigned bits = CachedBits(g_classes, c);
    if (bits == 0) {
        const CharClass queried = QueryClass(c);
        bits = queried == CharClass::Space ? 1 : queried == CharClass::Word ? 2 : 3;
        StoreBits(g_classes, c, bits);
    }
    return bits == 1 ? CharClass::Space : bits == 2 ? CharClass::Word : CharClass::Punctuation;
}

char32_t FoldCase(char32_t c) {
    if (c >= 'A' && c <= 'Z') return c + ('a' - 'A');
    if (c < 128 || c > 0xFFFF) return c;
    const uint16_t* table = FoldTable();
    return table ? table[c] : c;
}

std::string EncodeCharacter(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

}  // namespace quill
