#include "files/settings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/code_page.h"
#include "files/data_folder.h"
#include "files/read_whole_file.h"
#include "files/replace_file.h"

namespace lumen {
namespace {

// Appends one printf-formatted block; every numeric block fits in 256 bytes.
template <typename... Args>
void AppendFormat(std::string& out, const char* format, Args... args) {
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, format, args...);
    if (n > 0) out.append(buffer, std::min(static_cast<size_t>(n), sizeof buffer - 1));
}

// An optional "-", then decimal digits up to the first other character; no digits give 0. Values
// beyond the 32-bit range stop at its ends.
int32_t ReadInt(std::string_view v) {
    size_t i = 0;
    const bool negative = !v.empty() && v[0] == '-';
    if (negative) i = 1;
    int64_t n = 0;
    constexpr int64_t kLimit = int64_t{1} << 31;
    for (; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i)
        n = std::min(n * 10 + (v[i] - '0'), kLimit);
    if (negative) return static_cast<int32_t>(-n);
    return static_cast<int32_t>(std::min(n, kLimit - 1));
}

bool ReadBool(std::string_view v) {
    return ReadInt(v) != 0;
}

// The integer part, plus one decimal digit when the first "." is followed by one: "10.75" is 10.7.
double ReadSize(std::string_view v) {
    double size = ReadInt(v);
    const size_t dot = v.find('.');
    if (dot != std::string_view::npos && dot + 1 < v.size() && v[dot + 1] >= '0' && v[dot + 1] <= '9') {
        const double tenth = (v[dot + 1] - '0') / 10.0;
        size += v[0] == '-' ? -tenth : tenth;
    }
    return size;
}

// Face names and paths never hold control characters; a value with one is damage, not a name, and
// writing it back (a CR before the LF, say) would not read back the same.
bool HasControl(std::wstring_view s) {
    for (wchar_t c : s)
        if (c < 0x20) return true;
    return false;
}

void ReadRect(std::string_view v, SettingsRect& rect) {
    int32_t values[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        if (start > v.size()) return;  // fewer than four pieces: the rectangle stays as it was
        size_t comma = v.find(',', start);
        if (comma == std::string_view::npos) comma = v.size();
        values[i] = ReadInt(v.substr(start, comma - start));
        start = comma + 1;
    }
    rect = {values[0], values[1], values[2], values[3]};
}

void ReadFont(std::string_view v, Settings& s) {
    // Every UTF-16 unit comes from at most three bytes: a longer value is refused unconverted.
    if (v.size() > 3 * kMaxFontFaceUnits) return;
    std::wstring face = Utf8ToWide(v);
    if (face.size() <= kMaxFontFaceUnits && !HasControl(face)) s.font = std::move(face);
}

void ReadRecent(std::string_view v, Settings& s) {
    if (v.empty() || s.recent.size() >= kMaxRecentFiles || v.size() > 3 * kMaxPathUnits) return;
    std::wstring path = Utf8ToWide(v);
    if (path.size() <= kMaxPathUnits && !HasControl(path)) s.recent.push_back(std::move(path));
}

struct Key {
    std::string_view name;
    void (*read)(std::string_view value, Settings& s);
};

#define LUMEN_BOOL_KEY(field)                                                   \
    {                                                                           \
#field, [](std::string_view v, Settings & s) { s.field = ReadBool(v); } \
    }
#define LUMEN_INT_KEY(field)                                                   \
    {                                                                          \
#field, [](std::string_view v, Settings & s) { s.field = ReadInt(v); } \
    }

const Key kKeys[] = {
    {"font", ReadFont},
    {"size", [](std::string_view v, Settings& s) { s.size = ReadSize(v); }},
    LUMEN_INT_KEY(weight),
    LUMEN_BOOL_KEY(italic),
    LUMEN_BOOL_KEY(wrap),
    LUMEN_BOOL_KEY(lines),
    LUMEN_INT_KEY(theme),
    LUMEN_INT_KEY(zoom),
    LUMEN_BOOL_KEY(restore),
    LUMEN_BOOL_KEY(dwrite),
    LUMEN_BOOL_KEY(max),
    {"rect", [](std::string_view v, Settings& s) { ReadRect(v, s.rect); }},
    LUMEN_BOOL_KEY(caretline),
    LUMEN_BOOL_KEY(ws),
    LUMEN_BOOL_KEY(eolmark),
    LUMEN_BOOL_KEY(pastend),
    LUMEN_BOOL_KEY(autoindent),
    LUMEN_BOOL_KEY(spaces),
    LUMEN_BOOL_KEY(topmost),
    LUMEN_INT_KEY(tab),
    {"neweol", [](std::string_view v, Settings& s) { s.neweol = ReadInt(v) == 2 ? 2 : 0; }},
    {"newenc", [](std::string_view v, Settings& s) { s.newenc = ReadInt(v) == 1 ? 1 : 0; }},
    LUMEN_BOOL_KEY(autosave),
    LUMEN_BOOL_KEY(keeplast),
    LUMEN_BOOL_KEY(hint),
    {"count", [](std::string_view v, Settings& s) { s.count = std::clamp(ReadInt(v), 0, kMaxCounterKind); }},
    {"accent", [](std::string_view v, Settings& s) { s.accent = std::clamp(ReadInt(v), 0, kMaxAccent); }},
    {"recent", ReadRecent},
};

#undef LUMEN_BOOL_KEY
#undef LUMEN_INT_KEY

void ReadLine(std::string_view line, Settings& s) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    for (const Key& k : kKeys) {
        if (k.name == key) {
            k.read(value, s);
            return;
        }
    }
}

// Brings every field that reading may have left out of range back to a usable value.
void FixRanges(Settings& s) {
    if (!(s.size >= kMinFontSize && s.size <= kMaxFontSize)) s.size = kDefaultFontSize;
    s.size = std::round(s.size * 2) / 2;  // half points, halves rounded away from zero
    if (s.weight < kMinFontWeight || s.weight > kMaxFontWeight) s.weight = kDefaultFontWeight;
    if (s.tab != 2 && s.tab != 8) s.tab = kDefaultTabWidth;
    if (s.font.empty()) s.font = kDefaultFontFace;
}

}  // namespace

std::string SettingsText(const Settings& s) {
    std::string out;
    out.reserve(512);
    out += "font=";
    out += WideToUtf8(s.font);
    out += '\n';
    AppendFormat(out, "size=%g\nweight=%d\nitalic=%d\n", s.size, s.weight, int{s.italic});
    AppendFormat(out,
                 "wrap=%d\nlines=%d\ntheme=%d\nzoom=%d\nrestore=%d\ndwrite=%d\nmax=%d\nrect=%d,%d,%d,%d\n",
                 int{s.wrap}, int{s.lines}, s.theme, s.zoom, int{s.restore}, int{s.dwrite}, int{s.max},
                 s.rect.left, s.rect.top, s.rect.right, s.rect.bottom);
    AppendFormat(out,
                 "caretline=%d\nws=%d\neolmark=%d\npastend=%d\nautoindent=%d\nspaces=%d\ntopmost=%d\ntab=%d\n"
                 "neweol=%d\nnewenc=%d\n",
                 int{s.caretline}, int{s.ws}, int{s.eolmark}, int{s.pastend}, int{s.autoindent},
                 int{s.spaces}, int{s.topmost}, s.tab, s.neweol, s.newenc);
    AppendFormat(out, "autosave=%d\nkeeplast=%d\nhint=%d\ncount=%d\naccent=%d\n", int{s.autosave},
                 int{s.keeplast}, int{s.hint}, s.count, s.accent);
    for (const std::wstring& path : s.recent) {
        out += "recent=";
        out += WideToUtf8(path);
        out += '\n';
    }
    return out;
}

void ParseSettings(std::string_view bytes, Settings& settings) {
    // A byte-order mark from an editor that adds one would otherwise hide the first key.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    size_t pos = 0;
    while (pos < bytes.size()) {
        const void* lf = std::memchr(bytes.data() + pos, '\n', bytes.size() - pos);
        size_t end = lf ? static_cast<size_t>(static_cast<const char*>(lf) - bytes.data()) : bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        if (lf && !line.empty() && line.back() == '\r') line.remove_suffix(1);
        ReadLine(line, settings);
        pos = end + 1;
    }
    FixRanges(settings);
}

std::wstring SettingsPath() {
    return DataFolder() + L"\\settings.ini";
}

SettingsLoad LoadSettingsFile(const std::wstring& path, Settings& settings) {
    SettingsLoad result;
    std::string bytes;
    if (!ReadWholeFile(path, bytes, result.error)) {
        result.fileExisted = result.error != kErrorFileNotFound && result.error != kErrorPathNotFound;
        return result;
    }
    result.fileExisted = result.readOk = true;
    ParseSettings(bytes, settings);
    return result;
}

SettingsLoad LoadSettings(Settings& settings) {
    return LoadSettingsFile(SettingsPath(), settings);
}

bool SaveSettingsFile(const std::wstring& path, const Settings& settings, const SettingsLoad& loaded) {
    if (!loaded.MayReplaceFile()) return false;
    uint32_t error = 0;
    return ReplaceFileContent(path, SettingsText(settings), error);
}

bool SaveSettings(const Settings& settings, SettingsSaveMode mode, const SettingsLoad& loaded) {
    if (mode != SettingsSaveMode::Normal) return false;
    return SaveSettingsFile(SettingsPath(), settings, loaded);
}

}  // namespace lumen
