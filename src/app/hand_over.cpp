#include "app/hand_over.h"

namespace lumen {

std::u16string EncodeHandOver(const std::vector<std::wstring>& files) {
    size_t units = 0;
    for (const std::wstring& path : files)
        units += path.size() + 1;
    std::u16string text;
    text.reserve(units);
    for (const std::wstring& path : files) {
        for (wchar_t c : path)
            text += static_cast<char16_t>(c);
        text += u'\n';
    }
    return text;
}

std::vector<std::wstring> DecodeHandOver(const void* data, size_t byteCount) {
    std::vector<std::wstring> paths;
    if (!data) return paths;
    const auto* bytes = static_cast<const unsigned char*>(data);
    const size_t units = byteCount / 2;
    std::wstring piece;
    bool cut = false;  // a NUL ended the piece early
    for (size_t i = 0; i <= units; ++i) {
        // Little-endian units read byte by byte: the data need not be aligned. One past the end
        // closes the last piece.
        const char16_t unit = i < units ? static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8) : u'\n';
        if (unit == u'\n') {
            if (!piece.empty()) paths.push_back(std::move(piece));
            piece.clear();
            cut = false;
        } else if (unit == 0) {
            cut = true;
        } else if (!cut) {
            piece += static_cast<wchar_t>(unit);
        }
    }
    return paths;
}

}  // namespace lumen
