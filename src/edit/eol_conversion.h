// Rewriting every line break of a text as one kind of break.
#pragma once

#include <string>
#include <string_view>

namespace quill {

// `text` with every CR LF, lone CR and lone LF replaced by `eol`.
std::string ConvertLineBreaks(std::string_view text, std::string_view eol);

// The line break of an end-of-line mode: 0 CR LF, 1 CR, 2 LF.
inline const char* EolText(int mode) {
    return mode == 1 ? "\r" : mode == 2 ? "\n" : "\r\n";
}

}  // namespace quill
