// UTF-8 decoding as the document, layout and search read text.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill {

// Decodes the UTF-8 character at p[0] (n > 0 bytes available): the one decoder of the editor,
// inline because layout decodes every character of a line. Invalid or cut-off sequences, overlong
// forms, surrogates and values above U+10FFFF read as U+FFFD with width 1.
inline char32_t DecodeUtf8(const unsigned char* p, size_t n, int* width) {
    const unsigned b = p[0];
    if (b < 0x80) {
        *width = 1;
        return b;
    }
    int need;
    char32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
        need = 2;
        cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        need = 3;
        cp = b & 0x0F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        need = 4;
        cp = b & 0x07;
    } else {
        *width = 1;
        return 0xFFFD;
    }
    if (n < static_cast<size_t>(need)) {
        *width = 1;
        return 0xFFFD;
    }
    for (int i = 1; i < need; ++i) {
        if ((p[i] & 0xC0) != 0x80) {
            *width = 1;
            return 0xFFFD;
        }
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((need == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (need == 4 && (cp < 0x10000 || cp > 0x10FFFF))) {
        *width = 1;
        return 0xFFFD;
    }
    *width = need;
    return cp;
}

}  // namespace quill
