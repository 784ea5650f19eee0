#include "files/text_codecs.h"

#include <cstring>

#include "files/code_page.h"

namespace lumen {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ull;

inline uint64_t Load64(const unsigned char* p) {
    uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Index of the first byte at or above 0x80 at or after `i`, or n. Four words per round keeps
// ASCII-heavy text at memory speed.
size_t SkipAscii(const unsigned char* p, size_t i, size_t n) {
    while (i + 32 <= n) {
        if ((Load64(p + i) | Load64(p + i + 8) | Load64(p + i + 16) | Load64(p + i + 24)) & kHighBits) break;
        i += 32;
    }
    while (i + 8 <= n) {
        if (Load64(p + i) & kHighBits) break;
        i += 8;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

}  // namespace

TextEncoding EncodingFromValue(uint32_t value) {
    return value <= 3 ? static_cast<TextEncoding>(value) : TextEncoding::Ansi;
}

EolStyle EolStyleFromValue(uint32_t value) {
    if (value == 2) return EolStyle::Lf;
    if (value == 1) return EolStyle::Cr;
    return EolStyle::Crlf;
}

const wchar_t* EncodingDisplayName(TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return L"UTF-8";
        case TextEncoding::Utf8Bom:
            return L"UTF-8 (BOM)";
        case TextEncoding::Utf16Le:
            return L"UTF-16 LE";
        case TextEncoding::Utf16Be:
            return L"UTF-16 BE";
        default:
            return L"ANSI";
    }
}

const wchar_t* EncodingDisplayName(uint32_t storedValue) {
    return EncodingDisplayName(EncodingFromValue(storedValue));
}

const wchar_t* EolDisplayName(EolStyle style) {
    switch (style) {
        case EolStyle::Lf:
            return L"Unix (LF)";
        case EolStyle::Cr:
            return L"Mac (CR)";
        default:
            return L"Windows (CRLF)";
    }
}

const wchar_t* EolDisplayName(uint32_t storedValue) {
    return EolDisplayName(EolStyleFromValue(storedValue));
}

bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    size_t i = 0;
    for (;;) {
        i = SkipAscii(p, i, n);
        if (i >= n) return true;
        const unsigned char lead = p[i];
        size_t len;
        uint32_t cp, least;
        if ((lead & 0xE0) == 0xC0) {
            len = 2, cp = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            len = 3, cp = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            len = 4, cp = lead & 0x07, least = 0x10000;
        } else {
            return false;  // stray continuation byte, or F8..FF
        }
        if (n - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            const unsigned char c = p[i + k];
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
}

TextEncoding DetectEncoding(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return TextEncoding::Utf8Bom;
    if (n >= 2) {
        if (p[0] == 0xFE && p[1] == 0xFF) return TextEncoding::Utf16Be;
        if (p[0] == 0xFF && p[1] == 0xFE) return TextEncoding::Utf16Le;
    }
    if (n == 0) return TextEncoding::Utf8;
    if (IsValidUtf8(bytes)) return TextEncoding::Utf8;
    if (n < 4 || (n & 1)) return TextEncoding::Ansi;

    // UTF-16 without a mark: text in a Latin or Hangul script has many zero bytes on one side.
    const size_t sample = n < kUtf16SampleLimit ? n : kUtf16SampleLimit;
    size_t zeroOdd = 0, zeroEven = 0;
    for (size_t i = 0; i < sample; ++i) {
        if (p[i] == 0) ++((i & 1) ? zeroOdd : zeroEven);
    }
    const size_t threshold = sample / 8;
    if (zeroOdd > threshold && zeroEven == 0) return TextEncoding::Utf16Le;
    if (zeroEven <= threshold) return TextEncoding::Ansi;
    return zeroOdd == 0 ? TextEncoding::Utf16Be : TextEncoding::Ansi;
}

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return std::string(bytes);
        case TextEncoding::Utf8Bom:
            return std::string(bytes.substr(bytes.size() < 3 ? bytes.size() : 3));
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
            size_t n = bytes.size();
            // Either mark is dropped whichever order it is in, so BE bytes read as LE lose it too.
            if (n >= 2 && (p[0] == 0xFE || p[0] == 0xFF) && (p[1] == 0xFE || p[1] == 0xFF)) p += 2, n -= 2;
            const size_t units = n / 2;
            std::wstring wide(units, L'\0');
            const bool big = encoding == TextEncoding::Utf16Be;
            for (size_t u = 0; u < units; ++u) {
                const unsigned lo = p[2 * u + (big ? 1 : 0)], hi = p[2 * u + (big ? 0 : 1)];
                wide[u] = static_cast<wchar_t>(lo | (hi << 8));
            }
            return WideToUtf8(wide);
        }
        default:
            return WideToUtf8(AnsiToWide(bytes));
    }
}

std::string EncodeFromUtf8(std::string_view text, TextEncoding encoding, bool* lossy) {
    if (lossy) *lossy = false;
    switch (encoding) {
        case TextEncoding::Utf8:
            return std::string(text);
        case TextEncoding::Utf8Bom: {
            std::string out;
            out.reserve(text.size() + 3);
            out.append("\xEF\xBB\xBF", 3);
            out.append(text);
            return out;
        }
        case TextEncoding::Utf16Le:
        case TextEncoding::Utf16Be: {
            const std::wstring wide = Utf8ToWide(text);
            const bool big = encoding == TextEncoding::Utf16Be;
            std::string out(2 + 2 * wide.size(), '\0');
            out[0] = static_cast<char>(big ? 0xFE : 0xFF);
            out[1] = static_cast<char>(big ? 0xFF : 0xFE);
            for (size_t u = 0; u < wide.size(); ++u) {
                const auto unit = static_cast<uint16_t>(wide[u]);
                out[2 + 2 * u + (big ? 1 : 0)] = static_cast<char>(unit & 0xFF);
                out[2 + 2 * u + (big ? 0 : 1)] = static_cast<char>(unit >> 8);
            }
            return out;
        }
        default: {
            if (text.empty()) return {};
            bool usedDefault = false;
            std::string out = WideToAnsi(Utf8ToWide(text), &usedDefault);
            if (lossy) *lossy = usedDefault;
            return out;
        }
    }
}

EolStyle DetectEolStyle(std::string_view text) {
    // An empty view may have no data pointer at all, and memchr must never see a null one.
    if (text.empty()) return EolStyle::Crlf;
    const size_t limit = text.size() < kEolScanLimit ? text.size() : kEolScanLimit;
    const char* p = text.data();
    const void* lf = std::memchr(p, '\n', limit);
    const size_t lfAt = lf ? static_cast<const char*>(lf) - p : limit;
    const void* cr = std::memchr(p, '\r', lfAt);
    if (!cr) return lf ? EolStyle::Lf : EolStyle::Crlf;
    const size_t crAt = static_cast<const char*>(cr) - p;
    // The byte after the CR is looked up in the whole text, even past the scan limit.
    return crAt + 1 < text.size() && p[crAt + 1] == '\n' ? EolStyle::Crlf : EolStyle::Cr;
}

}  // namespace lumen
