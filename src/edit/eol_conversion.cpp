#include "edit/eol_conversion.h"

namespace quill {

std::string ConvertLineBreaks(std::string_view text, std::string_view eol) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += eol;
        } else if (text[i] == '\n') {
            out += eol;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace quill
