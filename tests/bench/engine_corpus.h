// The texts the text-engine benchmarks work on: a 100,000-line file of about 10 MB (mostly English
// with some Hangul, CR LF breaks, "fox" on most lines), a 2 MB line without breaks, and documents
// loaded from them the way a file is opened.
#pragma once

#include <cstdint>
#include <string>

#include "edit/document.h"
#include "edit/loader.h"

namespace bench {

inline constexpr int kLines = 100000;

inline const std::string& LargeText() {
    static const std::string text = [] {
        static const char* const words[] = {"quick", "brown", "fox",  "jumps",  "over",  "the",
                                            "lazy",  "dog",   "한글", "텍스트", "lorem", "ipsum",
                                            "dolor", "sit",   "amet", "Fox"};
        std::string s;
        s.reserve(10 * 1000 * 1000 + 1000);
        uint32_t seed = 12345;
        for (int line = 0; line < kLines; ++line) {
            s += "Line ";
            s += std::to_string(line);
            s += ':';
            // About 100 bytes per line.
            while (s.size() < static_cast<size_t>(line + 1) * 100 - 2) {
                seed = seed * 1103515245 + 12345;
                s += ' ';
                s += words[(seed >> 16) % 16];
            }
            s += "\r\n";
        }
        return s;
    }();
    return text;
}

inline const std::string& LongLine() {
    static const std::string text = [] {
        std::string s;
        while (s.size() < 2 * 1024 * 1024)
            s += "one long line without any break in it, ";
        return s;
    }();
    return text;
}

// A document holding text, loaded in one piece; the caller releases it.
inline quill::Document* LoadDocument(const std::string& text) {
    quill::ILoader* loader = quill::CreateLoader(static_cast<int64_t>(text.size()));
    loader->AddData(text.data(), static_cast<int64_t>(text.size()));
    return loader->ConvertToDocument();
}

}  // namespace bench
