// Small helpers for tests that speak in raw bytes.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "edit/char_classes.h"

namespace lumen::test {

inline std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(static_cast<uint8_t>(v));
    return s;
}

// "EF BB BF" style rendering, for readable failure messages.
inline std::string Hex(const std::string& s) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Appends the UTF-8 form of one scalar value (the editor's encoder, tested against its decoder over
// every scalar value).
inline void AppendUtf8(std::string& out, char32_t cp) {
    out += quill::EncodeCharacter(cp);
}

}  // namespace lumen::test
