// Native stand-in for the system's code-page conversions, so the codecs and everything above them
// run in the Linux build and its tests.
//  - UTF-8 <-> UTF-16 follow the system's documented behaviour: an ill-formed UTF-8 sequence becomes
//    one U+FFFD per maximal ill-formed subpart, an unpaired surrogate becomes U+FFFD.
//  - The "ANSI code page" is a stand-in: ISO-8859-1 (code page 28591), where byte b is U+00bb and
//    any character above U+00FF is written as "?" and reported lossy. Behaviour of real ANSI code
//    pages (949, 1252) is tested in the Windows build under Wine.
#include <cstdint>

#include "files/code_page.h"

namespace lumen {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one character at p[i]; returns the code point and advances i by the bytes consumed.
char32_t DecodeUtf8(const unsigned char* p, size_t n, size_t& i) {
    const unsigned char b = p[i];
    if (b < 0x80) {
        ++i;
        return b;
    }
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    char32_t cp;
    if (b >= 0xC2 && b <= 0xDF) {
        len = 2, cp = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
        len = 3, cp = b & 0x0F;
        if (b == 0xE0) lo = 0xA0;
        if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
        len = 4, cp = b & 0x07;
        if (b == 0xF0) lo = 0x90;
        if (b == 0xF4) hi = 0x8F;
    } else {
        ++i;
        return kReplacement;
    }
    size_t k = 1;
    for (; k < len; ++k) {
        if (i + k >= n) break;
        const unsigned char c = p[i + k];
        const unsigned char min = k == 1 ? lo : 0x80, max = k == 1 ? hi : 0xBF;
        if (c < min || c > max) break;
        cp = (cp << 6) | (c & 0x3F);
    }
    i += k;  // a complete character, or the maximal ill-formed subpart
    return k == len ? cp : kReplacement;
}

// Writes one code point as UTF-8 at p; returns the position after it.
char* PutUtf8(char32_t cp, char* p) {
    if (cp < 0x80) {
        *p++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *p++ = static_cast<char>(0xC0 | (cp >> 6));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *p++ = static_cast<char>(0xE0 | (cp >> 12));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *p++ = static_cast<char>(0xF0 | (cp >> 18));
        *p++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *p++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *p++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return p;
}

}  // namespace

// Both directions first count the exact output length and then convert once into a buffer of that
// size, as the system's conversions are used.
std::wstring Utf8ToWide(std::string_view utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t n = utf8.size();
    size_t units = 0;
    for (size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            ++i, ++units;
            continue;
        }
        units += DecodeUtf8(p, n, i) >= 0x10000 ? 2 : 1;
    }
    std::wstring out(units, L'\0');
    wchar_t* w = out.data();
    for (size_t i = 0; i < n;) {
        if (p[i] < 0x80) {
            *w++ = static_cast<wchar_t>(p[i++]);
            continue;
        }
        const char32_t cp = DecodeUtf8(p, n, i);
        if (cp >= 0x10000) {
            *w++ = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            *w++ = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            *w++ = static_cast<wchar_t>(cp);
        }
    }
    return out;
}

namespace {

// Calls put(code point) for each character of UTF-16 text, pairing surrogates and replacing lone ones.
template <typename Put>
void ForEachCodePoint(std::wstring_view wide, Put put) {
    for (size_t i = 0; i < wide.size(); ++i) {
        const char32_t u = static_cast<char32_t>(wide[i]) & 0xFFFF;
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size()) {
            const char32_t v = static_cast<char32_t>(wide[i + 1]) & 0xFFFF;
            if (v >= 0xDC00 && v <= 0xDFFF) {
                put(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++i;
                continue;
            }
        }
        put(u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
}

}  // namespace

std::string WideToUtf8(std::wstring_view wide) {
    size_t bytes = 0;
    ForEachCodePoint(wide, [&](char32_t cp) {
        bytes += cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
    });
    std::string out(bytes, '\0');
    char* p = out.data();
    ForEachCodePoint(wide, [&](char32_t cp) { p = PutUtf8(cp, p); });
    return out;
}

unsigned AnsiCodePage() {
    return 28591;
}

std::wstring AnsiToWide(std::string_view bytes) {
    std::wstring out(bytes.size(), L'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]));
    return out;
}

std::string WideToAnsi(std::wstring_view wide, bool* lossy) {
    if (lossy) *lossy = false;
    std::string out;
    out.reserve(wide.size());
    for (size_t i = 0; i < wide.size(); ++i) {
        const char32_t u = static_cast<char32_t>(wide[i]) & 0xFFFF;
        if (u <= 0xFF) {
            out += static_cast<char>(u);
            continue;
        }
        // A surrogate pair is one character and so one "?".
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < wide.size()) {
            const char32_t v = static_cast<char32_t>(wide[i + 1]) & 0xFFFF;
            if (v >= 0xDC00 && v <= 0xDFFF) ++i;
        }
        out += '?';
        if (lossy) *lossy = true;
    }
    return out;
}

}  // namespace lumen
