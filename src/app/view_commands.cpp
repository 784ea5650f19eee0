#include "app/view_commands.h"

#include "files/code_page.h"

namespace lumen {

std::string PercentEncodeQuery(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size() * 3);
    for (const char c : utf8) {
        const auto b = static_cast<unsigned char>(c);
        const bool kept = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') ||
                          b == '-' || b == '.' || b == '_' || b == '~';
        if (kept) {
            out += c;
        } else if (b == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 15];
        }
    }
    return out;
}

std::optional<std::string> WebSearchQuery(std::wstring_view selected) {
    if (selected.size() >= kWebSearchMaxUnits) return std::nullopt;
    std::wstring text(selected);
    for (wchar_t& c : text)
        if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(L' ');
    return PercentEncodeQuery(WideToUtf8(std::wstring_view(text).substr(first, last - first + 1)));
}

}  // namespace lumen
