// The settings record, its text form in "settings.ini", and reading and writing that file.
//
// The file is one "key=value" line per setting, UTF-8, LF line ends. Reading is forgiving: every
// line is taken on its own, numbers are read as far as they are digits, and each field that ends up
// out of its range falls back to its default, so any bytes at all give a usable record.
//
// Wide strings hold UTF-16 code units on every build (see files/code_page.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumen {

struct SettingsRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const SettingsRect&) const = default;
};

// A freshly constructed record holds the defaults.
struct Settings {
    std::wstring font = L"Malgun Gothic";  // editor font face
    double size = 11.0;                    // points, 6..72 in half points
    int32_t weight = 400;                  // 100..900
    bool italic = false;
    bool wrap = true;
    bool lines = false;  // line numbers
    int32_t theme = 0;
    int32_t zoom = 0;
    bool restore = true;  // bring back the previous tabs at start
    bool dwrite = false;  // the editor control's drawing-technology setting
    SettingsRect rect;    // last normal window rectangle, screen pixels
    bool max = false;     // the window was maximised at exit
    bool caretline = true;
    bool ws = false;       // show whitespace
    bool eolmark = false;  // show line-end marks
    bool pastend = false;  // scrolling past the last line
    bool autoindent = true;
    bool spaces = false;  // Tab inserts spaces
    bool topmost = false;
    int32_t tab = 4;     // 2, 4 or 8
    int32_t neweol = 0;  // EolStyle of new memos: 0 (Crlf) or 2 (Lf)
    int32_t newenc = 0;  // TextEncoding of new memos: 0 (Utf8) or 1 (Utf8Bom)
    bool autosave = false;
    bool keeplast = false;             // closing the last tab leaves an empty memo
    bool hint = true;                  // placeholder text in an empty memo
    int32_t count = 0;                 // status-bar counter: 0 characters, 1 words, 2 lines
    int32_t accent = 0;                // 0..6
    std::vector<std::wstring> recent;  // newest first, at most kMaxRecentFiles

    bool operator==(const Settings&) const = default;
};

inline constexpr wchar_t kDefaultFontFace[] = L"Malgun Gothic";
inline constexpr double kDefaultFontSize = 11.0;
inline constexpr double kMinFontSize = 6.0;
inline constexpr double kMaxFontSize = 72.0;
inline constexpr int32_t kDefaultFontWeight = 400;
inline constexpr int32_t kMinFontWeight = 100;
inline constexpr int32_t kMaxFontWeight = 900;
inline constexpr int32_t kDefaultTabWidth = 4;
inline constexpr int32_t kMaxCounterKind = 2;
inline constexpr int32_t kMaxAccent = 6;
inline constexpr size_t kMaxRecentFiles = 10;
// A face name longer than this cannot name a font (the system's face names hold 31 units); a
// longer "font" value is ignored rather than kept.
inline constexpr size_t kMaxFontFaceUnits = 31;
// Longest path the system can open; a longer "recent" value is ignored.
inline constexpr size_t kMaxPathUnits = 32767;

// The file content for the record: UTF-8, no byte-order mark, every line ends with LF.
std::string SettingsText(const Settings& settings);

// Applies the lines of a settings file onto `settings` and then brings every field into range.
// Keys not in the file keep their current values; a key given twice takes its last value, except
// "recent", which appends (up to kMaxRecentFiles). Never fails: any bytes give a usable record.
void ParseSettings(std::string_view bytes, Settings& settings);

// What LoadSettings found. A file that exists but could not be read (locked, access denied, a read
// error) must never be replaced by a record that did not come from it: callers pass this result to
// SaveSettings, which then leaves the file alone for the rest of the process.
struct SettingsLoad {
    bool fileExisted = false;  // the file was there (read, or refused for another reason than absence)
    bool readOk = false;       // its bytes were read and parsed into the record
    uint32_t error = 0;        // the system error of a failed read, 0 after a successful one

    bool MayReplaceFile() const { return readOk || !fileExisted; }
};

// The settings file inside the data folder.
std::wstring SettingsPath();

// Reads the file at `path` whole and parses it into `settings`. When the file cannot be read the
// record is left exactly as it is (no range fixes either).
SettingsLoad LoadSettingsFile(const std::wstring& path, Settings& settings);
// LoadSettingsFile of SettingsPath().
SettingsLoad LoadSettings(Settings& settings);

// The self-test and the benchmark never touch the user's settings file.
enum class SettingsSaveMode { Normal, SelfTest, Bench };

// Replaces the file at `path` with SettingsText(settings) through a flushed temporary file, so an
// interrupted write leaves the old file or the new one. Returns false (writing nothing) when
// `loaded` says the existing file could not be read, or when the write failed.
bool SaveSettingsFile(const std::wstring& path, const Settings& settings, const SettingsLoad& loaded);
// SaveSettingsFile to SettingsPath(), skipped (returning false) in the self-test and bench modes.
bool SaveSettings(const Settings& settings, SettingsSaveMode mode, const SettingsLoad& loaded);

}  // namespace lumen
