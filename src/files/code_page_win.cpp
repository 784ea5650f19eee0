// The system's code-page conversions. Each conversion asks for the output length first and then
// converts once into a buffer of exactly that size. Inputs beyond what one call takes (an int of
// units) are converted in pieces cut at character boundaries.
#include <windows.h>

#include <climits>

#include "files/code_page.h"

namespace lumen {
namespace {

constexpr size_t kPiece = size_t{1} << 30;

// Longest prefix of at most kPiece bytes that does not end inside a UTF-8 sequence.
size_t Utf8Cut(const char* p, size_t n) {
    if (n <= kPiece) return n;
    size_t cut = kPiece;
    for (int k = 0; k < 3 && (static_cast<unsigned char>(p[cut]) & 0xC0) == 0x80; ++k)
        --cut;
    return cut;
}

size_t WideCut(const wchar_t* p, size_t n) {
    if (n <= kPiece) return n;
    size_t cut = kPiece;
    if (p[cut - 1] >= 0xD800 && p[cut - 1] <= 0xDBFF) --cut;  // keep the surrogate pair together
    return cut;
}

size_t AnsiCut(const char* p, size_t n) {
    if (n <= kPiece) return n;
    size_t i = 0;
    while (i < kPiece)
        i += IsDBCSLeadByte(static_cast<BYTE>(p[i])) ? 2 : 1;
    return i > kPiece ? i - 2 : i;
}

void AppendMultiByte(UINT cp, const char* p, size_t n, std::wstring& out) {
    while (n > 0) {
        const size_t take = cp == CP_UTF8 ? Utf8Cut(p, n) : AnsiCut(p, n);
        const int need = MultiByteToWideChar(cp, 0, p, static_cast<int>(take), nullptr, 0);
        if (need > 0) {
            const size_t at = out.size();
            out.resize(at + need);
            MultiByteToWideChar(cp, 0, p, static_cast<int>(take), out.data() + at, need);
        }
        p += take, n -= take;
    }
}

// flags/usedDefault as WideCharToMultiByte takes them; usedDefault must be null for CP_UTF8.
void AppendWide(UINT cp, DWORD flags, const wchar_t* p, size_t n, std::string& out, BOOL* usedDefault) {
    while (n > 0) {
        const size_t take = WideCut(p, n);
        const int need =
            WideCharToMultiByte(cp, flags, p, static_cast<int>(take), nullptr, 0, nullptr, nullptr);
        if (need > 0) {
            const size_t at = out.size();
            out.resize(at + need);
            BOOL used = FALSE;
            WideCharToMultiByte(cp, flags, p, static_cast<int>(take), out.data() + at, need, nullptr,
                                usedDefault ? &used : nullptr);
            if (usedDefault && used) *usedDefault = TRUE;
        }
        p += take, n -= take;
    }
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) {
    std::wstring out;
    if (!utf8.empty()) AppendMultiByte(CP_UTF8, utf8.data(), utf8.size(), out);
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    std::string out;
    if (!wide.empty()) AppendWide(CP_UTF8, 0, wide.data(), wide.size(), out, nullptr);
    return out;
}

unsigned AnsiCodePage() {
    return GetACP();
}

std::wstring AnsiToWide(std::string_view bytes) {
    std::wstring out;
    if (!bytes.empty()) AppendMultiByte(CP_ACP, bytes.data(), bytes.size(), out);
    return out;
}

std::string WideToAnsi(std::wstring_view wide, bool* lossy) {
    if (lossy) *lossy = false;
    std::string out;
    if (wide.empty()) return out;
    if (GetACP() == CP_UTF8) {
        // A UTF-8 ANSI code page holds everything; it takes neither flags nor the default check.
        AppendWide(CP_ACP, 0, wide.data(), wide.size(), out, nullptr);
    } else {
        BOOL used = FALSE;
        AppendWide(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wide.size(), out, &used);
        if (lossy && used) *lossy = true;
    }
    if (lossy && out.empty()) *lossy = true;
    return out;
}

}  // namespace lumen
