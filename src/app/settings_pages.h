// The application's side of the settings window: its four pages built from the settings record, and
// the apply function behind every row id. The record part of each change is a pure function here
// (tested natively); settings_pages_win.cpp carries the change into the windows and writes the file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/theme.h"
#include "files/settings.h"
#include "ui/settings_window.h"

namespace lumen {

// Row ids handed to the apply function; 21 has no row (the drawing-technology switch).
enum SettingId : uint32_t {
    kSetLineNumbers = 1,
    kSetCaretLine = 2,
    kSetWhitespace = 3,
    kSetEolMarks = 4,
    kSetWrap = 5,
    kSetPastEnd = 6,
    kSetAutoIndent = 7,
    kSetSpaces = 8,
    kSetTabWidth = 9,
    kSetTheme = 10,
    kSetAccent = 11,
    kSetFont = 12,
    kSetHint = 13,
    kSetNewEol = 14,
    kSetNewEncoding = 15,
    kSetAutosave = 16,
    kSetRestore = 17,
    kSetKeepLast = 18,
    kSetTopmost = 19,
    kSetRegister = 20,
    kSetTechnology = 21,
    kSetAbout = 22,
};

// What must follow a change of the record, besides repainting and writing the settings file.
enum SettingEffect : uint32_t {
    kEffectNone = 0,
    kEffectLineNumbers = 1 << 0,    // the line-number margin
    kEffectEditorOptions = 1 << 1,  // caret line, whitespace, line ends, past the end, tabs
    kEffectWrap = 1 << 2,           // the wrap command's work
    kEffectPalette = 1 << 3,        // palette rebuilt and applied everywhere
    kEffectFontDialog = 1 << 4,
    kEffectHint = 1 << 5,
    kEffectAutosave = 1 << 6,  // an autosave pass when turned on; the status band
    kEffectTopmost = 1 << 7,
    kEffectRegister = 1 << 8,
    kEffectTechnology = 1 << 9,
    kEffectAbout = 1 << 10,
};

// The tab-size segment for a tab width (2 -> 0, 4 -> 1, anything else -> 2) and back (0 -> 2,
// 1 -> 4, anything else -> 8).
int32_t TabWidthChoice(int32_t tab);
int32_t TabWidthOfChoice(int32_t choice);

// "face · style · 10.5pt": the face (the default one when empty), the style suffix, the size kept
// within 6..72 and written without decimals when whole.
std::wstring FontDescription(const Settings& settings);
// The accent row's description for the selected swatch.
std::wstring AccentDescription(int32_t selected);
// The "루멘판 정보" row's description: the version, the maker and the web address.
std::wstring VersionLine();
// The seven accent swatches: the six presets of the theme and the desktop's own accent.
std::vector<uint32_t> AccentSwatches(bool dark, Colour desktopAccent);

// The pages for the record; values the window cannot show (out of range) show as the palette and the
// editor treat them.
std::vector<ui::SettingPage> BuildSettingsPages(const Settings& settings, bool dark, Colour desktopAccent);

// Applies row `id` with `value` to the record and returns what else must happen; nothing for an id
// outside 1..22 (then nothing is written either).
std::optional<uint32_t> ApplySettingToRecord(Settings& settings, uint32_t id, int32_t value);

#ifdef _WIN32
struct App;
// The settings window over the main window.
void ShowSettingsWindow(App& app);
// One change from the settings window, carried into the main window and the editor; then the main
// window is repainted and the settings file written.
void ApplySetting(App& app, uint32_t id, int32_t value);
#endif

}  // namespace lumen
