// Readable names for codec enumerations in test failure messages.
#pragma once

#include <ostream>

#include "files/text_codecs.h"

namespace lumen {

inline void PrintTo(TextEncoding e, std::ostream* os) {
    const char* names[] = {"Utf8", "Utf8Bom", "Utf16Le", "Utf16Be", "Ansi"};
    const auto v = static_cast<uint32_t>(e);
    *os << (v < 5 ? names[v] : "TextEncoding(?)");
}

inline void PrintTo(EolStyle e, std::ostream* os) {
    const char* names[] = {"Crlf", "Cr", "Lf"};
    const auto v = static_cast<uint32_t>(e);
    *os << (v < 3 ? names[v] : "EolStyle(?)");
}

}  // namespace lumen
