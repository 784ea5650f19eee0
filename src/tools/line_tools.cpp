#include "tools/line_tools.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

#include "edit/utf8.h"
#include "tools/line_tools_platform.h"

namespace lumen {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return s.substr(i);
}

std::string_view TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && IsBlank(s[n - 1]))
        --n;
    return s.substr(0, n);
}

// Calls f(line, isLast) for each line of text, in order.
template <typename F>
void ForEachLine(std::string_view text, F&& f) {
    size_t from = 0;
    for (;;) {
        const LineBreak b = NextBreak(text, from);
        if (b.length == 0) {
            f(text.substr(from), true);
            return;
        }
        f(text.substr(from, b.at - from), false);
        from = b.at + b.length;
    }
}

// Characters in bytes: the bytes that are not UTF-8 continuation bytes (0x80 to 0xBF).
size_t CountCharacters(std::string_view s) {
    size_t n = 0;
    for (char c : s)
        n += static_cast<signed char>(c) >= -64 ? 1 : 0;
    return n;
}

char* PutUtf8(char* out, uint32_t c) {
    if (c < 0x80) {
        *out++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<char>(0xC0 | (c >> 6));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (c >> 12));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (c >> 18));
        *out++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Writes the UTF-16 units of the valid UTF-8 at the start of text to out (room for text.size()
// units) and returns the end of what was written; *read is the bytes decoded: all of them, or up to
// the first byte that starts no valid sequence.
wchar_t* DecodeValid(std::string_view text, wchar_t* out, size_t* read) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            *out++ = static_cast<wchar_t>(p[i++]);
            continue;
        }
        int width = 1;
        const char32_t c = quill::DecodeUtf8(p + i, n - i, &width);
        if (width == 1) break;
        if (c >= 0x10000) {
            *out++ = static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            *out++ = static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<wchar_t>(c);
        }
        i += static_cast<size_t>(width);
    }
    *read = i;
    return out;
}

// Writes the UTF-16 units of text to out (room for text.size() units), each byte that starts no
// valid sequence as U+FFFD, and returns the end of what was written.
wchar_t* Decode(std::string_view text, wchar_t* out) {
    for (size_t i = 0; i < text.size();) {
        size_t read = 0;
        out = DecodeValid(text.substr(i), out, &read);
        i += read;
        if (i < text.size()) {
            *out++ = static_cast<wchar_t>(0xFFFD);
            ++i;
        }
    }
    return out;
}

// Appends units as UTF-8; a surrogate without its partner becomes U+FFFD.
void AppendUtf8(std::string& out, std::wstring_view units) {
    size_t bytes = 0;
    for (wchar_t u : units) {
        const uint32_t c = static_cast<uint32_t>(u) & 0xFFFF;
        bytes += c < 0x80 ? 1 : (c < 0x800 ? 2 : 3);
    }
    const size_t at = out.size();
    out.resize(at + bytes);  // enough: a pair's four bytes are less than the six counted for it
    char* o = out.data() + at;
    for (size_t k = 0; k < units.size(); ++k) {
        uint32_t c = static_cast<uint32_t>(units[k]) & 0xFFFF;
        if (c < 0x80) {
            *o++ = static_cast<char>(c);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            const uint32_t low = k + 1 < units.size() ? static_cast<uint32_t>(units[k + 1]) & 0xFFFF : 0;
            if (c <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++k;
            } else {
                c = 0xFFFD;
            }
        }
        o = PutUtf8(o, c);
    }
    out.resize(static_cast<size_t>(o - out.data()));
}

// One line of a transform appended to out; returns whether it differs from the input. Dropped
// lines (RemoveBlank) are reported through *keep.
bool TransformLine(std::string_view line, TransformMode mode, size_t tab, std::string& out, bool* keep) {
    switch (mode) {
        case TransformMode::TrimTrailing: {
            const std::string_view kept = TrimRight(line);
            out.append(kept);
            return kept.size() != line.size();
        }
        case TransformMode::RemoveBlank:
            *keep = !TrimLeft(line).empty();
            if (*keep) out.append(line);
            return !*keep;
        case TransformMode::TabsToSpaces: {
            size_t from = 0, column = 0;
            for (size_t t = line.find('\t'); t != std::string_view::npos; t = line.find('\t', from)) {
                const std::string_view run = line.substr(from, t - from);
                out.append(run);
                column += CountCharacters(run);
                const size_t spaces = tab - column % tab;
                out.append(spaces, ' ');
                column += spaces;
                from = t + 1;
            }
            out.append(line.substr(from));
            return from != 0;
        }
        case TransformMode::IndentToTabs: {
            size_t run = 0, width = 0;
            for (; run < line.size() && IsBlank(line[run]); ++run)
                width = line[run] == ' ' ? width + 1 : (width / tab + 1) * tab;
            const size_t before = out.size();
            out.append(width / tab, '\t');
            out.append(width % tab, ' ');
            const bool changed = line.substr(0, run) != std::string_view(out).substr(before);
            out.append(line.substr(run));
            return changed;
        }
    }
    return false;
}

}  // namespace

bool IsLineTool(int32_t command) {
    return (command >= 145 && command <= 149) || (command >= 153 && command <= 156) ||
           (command >= 158 && command <= 161);
}

std::string_view EolBytes(EolStyle eol) {
    switch (eol) {
        case EolStyle::Cr:
            return "\r";
        case EolStyle::Lf:
            return "\n";
        case EolStyle::Crlf:
            break;
    }
    return "\r\n";
}

LineBreak NextBreak(std::string_view text, size_t from) {
    for (size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') return {i, 1};
        if (c == '\r') return {i, i + 1 < text.size() && text[i + 1] == '\n' ? size_t{2} : size_t{1}};
    }
    return {text.size(), 0};
}

LineBreak LastBreak(std::string_view text) {
    const size_t last = text.find_last_of("\r\n");
    if (last == std::string_view::npos) return {text.size(), 0};
    if (text[last] == '\n' && last > 0 && text[last - 1] == '\r') return {last - 1, 2};
    return {last, 1};
}

MovedText MoveLinesText(std::string_view text, int direction) {
    MovedText moved;
    moved.text.reserve(text.size());
    if (direction < 0) {
        const LineBreak b = NextBreak(text, 0);
        if (b.length == 0) return {std::string(text), 0};
        moved.text.append(text.substr(b.at + b.length));
        moved.text.append(text.substr(b.at, b.length));
        moved.text.append(text.substr(0, b.at));
        moved.shift = static_cast<int64_t>(b.at + b.length);
        return moved;
    }
    const LineBreak b = LastBreak(text);
    if (b.length == 0) return {std::string(text), 0};
    moved.text.append(text.substr(b.at + b.length));
    moved.text.append(text.substr(b.at, b.length));
    moved.text.append(text.substr(0, b.at));
    moved.shift = static_cast<int64_t>(text.size() - b.at);
    return moved;
}

JoinedText JoinLinesText(std::string_view text) {
    JoinedText joined;
    joined.text.reserve(text.size());
    bool first = true;
    ForEachLine(text, [&](std::string_view line, bool last) {
        std::string_view piece = first ? line : TrimLeft(line);
        if (!last) piece = TrimRight(piece);
        if (first) joined.joinPoint = static_cast<int64_t>(TrimRight(line).size());
        first = false;
        if (piece.empty()) return;
        if (!joined.text.empty()) joined.text += ' ';
        joined.text.append(piece);
    });
    joined.joinPoint = std::min(joined.joinPoint, static_cast<int64_t>(joined.text.size()));
    return joined;
}

ToolText SortLinesText(std::string_view text, EolStyle eol, SortMode mode) {
    std::vector<std::string_view> lines;
    ForEachLine(text, [&](std::string_view line, bool) { lines.push_back(line); });
    const std::string_view br = EolBytes(eol);
    ToolText result;
    result.text.reserve(text.size() + lines.size() * br.size());
    bool any = false;
    auto put = [&](std::string_view line) {
        if (any) result.text.append(br);
        result.text.append(line);
        any = true;
    };
    if (mode == SortMode::RemoveDuplicates) {
        std::unordered_set<std::string_view> seen;
        seen.reserve(lines.size());
        for (std::string_view line : lines) {
            if (seen.insert(line).second) {
                put(line);
            } else {
                ++result.count;
            }
        }
        return result;
    }
    // Sort keys where the system makes them: one key per line costs far less than a comparison per
    // step of the sort, and they order exactly as the comparison does. Each line is converted into one
    // small buffer for its key, so the whole text never exists twice over in wide characters.
    std::string keys;
    std::vector<size_t> keyStarts(lines.size() + 1);
    std::wstring line;
    bool keyed = true;
    for (size_t i = 0; i < lines.size() && keyed; ++i) {
        if (line.size() < lines[i].size()) line.resize(lines[i].size());  // never more units than bytes
        const size_t units = static_cast<size_t>(Decode(lines[i], line.data()) - line.data());
        keyStarts[i] = keys.size();
        keyed = AppendSortKey(line.data(), units, keys);
        if (i == 0 && keyed) keys.reserve(text.size() * 3);  // a usual key's size: far fewer moves
    }
    keyStarts[lines.size()] = keys.size();
    // Without keys, the comparison itself on lines converted once into one buffer.
    std::wstring units;
    std::vector<size_t> starts;
    if (!keyed) {
        units.assign(text.size(), L'\0');
        starts.resize(lines.size() + 1);
        wchar_t* end = units.data();
        for (size_t i = 0; i < lines.size(); ++i) {
            starts[i] = static_cast<size_t>(end - units.data());
            end = Decode(lines[i], end);
        }
        starts[lines.size()] = static_cast<size_t>(end - units.data());
    }
    std::vector<size_t> order(lines.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    const wchar_t* u = units.data();
    auto compare = [&](size_t a, size_t b) {
        if (keyed) {
            const std::string_view ka(keys.data() + keyStarts[a], keyStarts[a + 1] - keyStarts[a]);
            return ka.compare(std::string_view(keys.data() + keyStarts[b], keyStarts[b + 1] - keyStarts[b]));
        }
        return CompareLinesForSort(u + starts[a], starts[a + 1] - starts[a], u + starts[b],
                                   starts[b + 1] - starts[b]);
    };
    if (mode == SortMode::Ascending) {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return compare(a, b) < 0; });
    } else {
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return compare(b, a) < 0; });
    }
    for (size_t i : order)
        put(lines[i]);
    result.count = static_cast<int64_t>(lines.size());
    return result;
}

ToolText TransformLinesText(std::string_view text, EolStyle eol, TransformMode mode, int32_t tabWidth) {
    const size_t tab = static_cast<size_t>(std::max(tabWidth, 1));
    const std::string_view br = EolBytes(eol);
    ToolText result;
    // Room for every break growing to two bytes and, for tabs to spaces, every tab at full width.
    size_t room = text.size() * 2;
    if (mode == TransformMode::TabsToSpaces)
        room += static_cast<size_t>(std::count(text.begin(), text.end(), '\t')) * tab;
    result.text.reserve(room);
    bool any = false;
    ForEachLine(text, [&](std::string_view line, bool) {
        const size_t before = result.text.size();
        if (any) result.text.append(br);
        bool keep = true;
        if (TransformLine(line, mode, tab, result.text, &keep)) ++result.count;
        if (keep) {
            any = true;
        } else {
            result.text.resize(before);
        }
    });
    return result;
}

std::string ChangeCaseText(std::string_view text, bool upper) {
    // In pieces that stay in the cache, each cut after whitespace where there is some nearby (so no
    // word is split) and never inside a character.
    constexpr size_t kPiece = size_t{1} << 16;
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    // Stray bytes are held in the piece by a placeholder that case mapping leaves alone, so the system
    // maps a piece in one call however many invalid bytes cut it into runs.
    constexpr wchar_t kStray = 0xFFFD;
    std::wstring units(std::min(text.size(), kPiece) + 1, L'\0'), mapped;
    std::vector<std::pair<size_t, char>> strays;  // (unit index, byte)
    for (size_t from = 0; from < text.size();) {
        size_t cut = std::min(text.size(), from + kPiece);
        if (cut < text.size()) {
            const std::string_view piece = text.substr(from, cut - from);
            const size_t space = piece.find_last_of(" \t\r\n");
            if (space != std::string_view::npos && space + 256 >= piece.size()) {
                cut = from + space + 1;
            } else {
                for (int k = 0; k < 3 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80; ++k)
                    --cut;
            }
        }
        units.resize(std::max(units.size(), cut - from + 1));  // never more units than bytes
        strays.clear();
        wchar_t* w = units.data();
        for (size_t i = from; i < cut;) {
            size_t read = 0;
            w = DecodeValid(text.substr(i, cut - i), w, &read);
            i += read;
            if (i < cut) {
                strays.emplace_back(static_cast<size_t>(w - units.data()), text[i++]);
                *w++ = kStray;
            }
        }
        const size_t count = static_cast<size_t>(w - units.data());
        MapCase(units.data(), count, upper, mapped);
        bool kept = mapped.size() == count;
        for (size_t k = 0; kept && k < strays.size(); ++k)
            kept = mapped[strays[k].first] == kStray;
        if (kept) {
            size_t done = 0;
            for (const auto& [index, byte] : strays) {
                AppendUtf8(out, std::wstring_view(mapped).substr(done, index - done));
                out += byte;
                done = index + 1;
            }
            AppendUtf8(out, std::wstring_view(mapped).substr(done));
        } else {
            // The mapping changed the length or a placeholder: run by run, the bytes between as they are.
            size_t done = 0;
            for (const auto& [index, byte] : strays) {
                MapCase(units.data() + done, index - done, upper, mapped);
                AppendUtf8(out, mapped);
                out += byte;
                done = index + 1;
            }
            MapCase(units.data() + done, count - done, upper, mapped);
            AppendUtf8(out, mapped);
        }
        from = cut;
    }
    return out;
}

ByteSpan WordAround(std::string_view text, int64_t caret) {
    auto word = [&](int64_t i) {
        const auto c = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
        return c >= 0x80 || c == '_' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
    };
    const int64_t length = static_cast<int64_t>(text.size());
    ByteSpan span{std::clamp<int64_t>(caret, 0, length), 0};
    span.end = span.start;
    while (span.start > 0 && word(span.start - 1))
        --span.start;
    while (span.end < length && word(span.end))
        ++span.end;
    return span;
}

}  // namespace lumen
