// Per-code-point knowledge the editor needs everywhere: UTF-8 decoding by the editor's rules,
// combining marks (stepped over with the character before them), the character classes of word
// movement and whole-word search, and case folding for case-insensitive search. The tables behind
// the system queries are built lazily, once, on the user-interface thread, and never freed.
#pragma once

#include <cstdint>
#include <string>

namespace quill {

inline constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes the character at bytes[0] with `available` bytes readable (at least 1). A byte below 0x80
// is itself; lead bytes C2-DF, E0-EF and F0-F4 start 2-, 3- and 4-byte sequences, valid when complete,
// made of continuation bytes, not overlong, not a surrogate and not above U+10FFFF. Anything else
// reads as U+FFFD with width 1.
char32_t DecodeCharacter(const unsigned char* bytes, int64_t available, int* width);

// The UTF-8 bytes of one code point (up to U+10FFFF; callers never pass surrogates).
std::string EncodeCharacter(char32_t codePoint);

inline bool IsContinuationByte(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Characters that do not stand alone: accents, joiners, variation selectors, skin-tone modifiers,
// Hangul medial and final jamo, and whatever the system reports as non-spacing.
bool IsCombiningCharacter(char32_t codePoint);

enum class CharClass : uint8_t {
    Space = 0,
    LineEnd = 1,
    Word = 2,
    Punctuation = 3,
};

// The class of a code point for word movement, double-click selection and the word tests of search.
CharClass ClassOf(char32_t codePoint);

// Case folding for case-insensitive comparison: A-Z arithmetically, the rest of the BMP through the
// system's lower-casing table, everything else unchanged.
char32_t FoldCase(char32_t codePoint);

}  // namespace quill
