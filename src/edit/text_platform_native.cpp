// Native stand-in for the system's character tables, so the document, word classes and search run in
// the Linux build and its tests. It knows a deliberately small part of Unicode:
//  - basic types: ASCII as the system reports it; the fixed Unicode spaces; letters of Latin-1 and the
//    Latin extensions, Greek, Cyrillic, Armenian, Hebrew, Arabic, Hangul jamo, kana, CJK ideographs and
//    full-width Latin; a few non-ASCII digit blocks; general and CJK punctuation. Anything else is 0
//    (the system's answer for unassigned code points).
//  - extended types: the main blocks of non-spacing marks, spacing diacritics, hiragana, katakana and
//    ideographs.
//  - lower-casing: ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic, Armenian, full-width Latin and the
//    Latin capitals whose small letters lie in other blocks (U+023A to U+2C65, U+2C62 to U+026B and
//    the like), which give case-insensitive matches of a different byte length. Like the system, it
//    leaves the Ohm and Kelvin signs, capital sharp s and dotted capital I as they are.
// The real tables are exercised by the Windows tests under Wine.
#include "edit/text_platform.h"

namespace quill::platform {
namespace {

struct Range {
    char32_t first;
    char32_t last;
};

template <size_t N>
bool InRanges(const Range (&ranges)[N], char32_t c) {
    for (const Range& r : ranges) {
        if (c >= r.first && c <= r.last) return true;
    }
    return false;
}

constexpr Range kLetters[] = {
    {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA}, {0x00C0, 0x00D6}, {0x00D8, 0x00F6},
    {0x00F8, 0x024F}, {0x0370, 0x0373}, {0x0376, 0x0377}, {0x037B, 0x037D}, {0x0386, 0x0386},
    {0x0388, 0x03FF}, {0x0400, 0x0481}, {0x048A, 0x052F}, {0x0531, 0x0556}, {0x0561, 0x0587},
    {0x05D0, 0x05EA}, {0x0620, 0x064A}, {0x1100, 0x11FF}, {0x1E00, 0x1EFF}, {0x3041, 0x3096},
    {0x30A1, 0x30FA}, {0x3131, 0x318E}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF},
    {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, {0xFF66, 0xFF9D},
};
constexpr Range kDigits[] = {{0x0660, 0x0669}, {0x06F0, 0x06F9}, {0x0966, 0x096F}, {0xFF10, 0xFF19}};
constexpr Range kSpaces[] = {{0x0085, 0x0085}, {0x00A0, 0x00A0}, {0x1680, 0x1680}, {0x2000, 0x200A},
                             {0x2028, 0x2029}, {0x202F, 0x202F}, {0x205F, 0x205F}, {0x3000, 0x3000}};
constexpr Range kPunctuation[] = {{0x00A1, 0x00A9}, {0x00AB, 0x00B4}, {0x00B6, 0x00B9}, {0x00BB, 0x00BF},
                                  {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x2010, 0x2027}, {0x2030, 0x205E},
                                  {0x3001, 0x3003}, {0x3008, 0x3011}, {0xFF01, 0xFF0F}};
constexpr Range kNonSpacing[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x05BF, 0x05BF}, {0x05C1, 0x05C2},
    {0x05C4, 0x05C5}, {0x05C7, 0x05C7}, {0x0610, 0x061A}, {0x064B, 0x065F}, {0x0670, 0x0670},
    {0x0900, 0x0902}, {0x093C, 0x093C}, {0x0941, 0x0948}, {0x094D, 0x094D}, {0x0E31, 0x0E31},
    {0x0E34, 0x0E3A}, {0x0E47, 0x0E4E}, {0x1AB0, 0x1AFF}, {0x1DC0, 0x1DFF}, {0x20D0, 0x20FF},
    {0x302A, 0x302D}, {0x3099, 0x309A}, {0xFE20, 0xFE2F},
};
constexpr Range kDiacritics[] = {{0x005E, 0x005E}, {0x0060, 0x0060}, {0x00A8, 0x00A8}, {0x00AF, 0x00AF},
                                 {0x00B4, 0x00B4}, {0x00B8, 0x00B8}, {0x02B0, 0x02FF}, {0x309B, 0x309C}};
constexpr Range kHiragana[] = {{0x3041, 0x3096}, {0x309D, 0x309F}};
constexpr Range kKatakana[] = {{0x30A1, 0x30FA}, {0x30FD, 0x30FF}, {0xFF66, 0xFF9D}};
constexpr Range kIdeographs[] = {{0x3005, 0x3007}, {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF}};

uint16_t AsciiType(char32_t c) {
    uint16_t type = 0;
    if (c < 0x20 || c == 0x7F) type |= kC1Control;
    if ((c >= 0x09 && c <= 0x0D) || c == 0x20) type |= kC1Space;
    if (c == 0x09 || c == 0x20) type |= kC1Blank;
    if (c >= '0' && c <= '9') type |= kC1Digit;
    if (c >= 'A' && c <= 'Z') type |= kC1Upper | kC1Alpha;
    if (c >= 'a' && c <= 'z') type |= kC1Lower | kC1Alpha;
    if (c > 0x20 && c < 0x7F && !(type & (kC1Digit | kC1Alpha))) type |= kC1Punct;
    return type;
}

char32_t LowerOf(char32_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
    if (c == 0x0178) return 0xFF;
    if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177))
        return c | 1;
    if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E)) return (c & 1) ? c + 1 : c;
    if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return c + 32;
    if (c == 0x0386) return 0x03AC;
    if (c >= 0x0388 && c <= 0x038A) return c + 37;
    if (c == 0x038C) return 0x03CC;
    if (c == 0x038E || c == 0x038F) return c + 63;
    if (c >= 0x0400 && c <= 0x040F) return c + 80;
    if (c >= 0x0410 && c <= 0x042F) return c + 32;
    if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF)) return c | 1;
    if (c >= 0x0531 && c <= 0x0556) return c + 48;
    switch (c) {
        case 0x023A:
            return 0x2C65;
        case 0x023E:
            return 0x2C66;
        case 0x2C62:
            return 0x026B;
        case 0x2C64:
            return 0x027D;
        case 0x2C6D:
            return 0x0251;
        case 0x2C6E:
            return 0x0271;
        case 0x2C7E:
            return 0x023F;
        case 0xA78D:
            return 0x0265;
        case 0xA7AA:
            return 0x0266;
        default:
            break;
    }
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 32;
    return c;
}

}  // namespace

uint16_t CharTypeBasic(wchar_t unit) {
    const auto c = static_cast<char32_t>(unit) & 0xFFFF;
    if (c < 0x80) return AsciiType(c);
    if (InRanges(kSpaces, c)) return kC1Space | kC1Blank;
    if (InRanges(kDigits, c)) return kC1Digit;
    if (InRanges(kLetters, c)) {
        uint16_t type = kC1Alpha;
        if (LowerOf(c) != c) type |= kC1Upper;
        return type;
    }
    if (InRanges(kPunctuation, c)) return kC1Punct;
    if (c >= 0x80 && c < 0xA0) return kC1Control;
    return 0;
}

uint16_t CharTypeExtended(wchar_t unit) {
    const auto c = static_cast<char32_t>(unit) & 0xFFFF;
    uint16_t type = 0;
    if (InRanges(kNonSpacing, c)) type |= kC3NonSpacing;
    if (InRanges(kDiacritics, c)) type |= kC3Diacritic;
    if (InRanges(kHiragana, c)) type |= kC3Hiragana;
    if (InRanges(kKatakana, c)) type |= kC3Katakana;
    if (InRanges(kIdeographs, c)) type |= kC3Ideograph;
    return type;
}

void LowerCaseInPlace(wchar_t* units, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const auto c = static_cast<char32_t>(units[i]) & 0xFFFF;
        units[i] = static_cast<wchar_t>(LowerOf(c));
    }
}

}  // namespace quill::platform
