// The palette and the settings pushed into the main window, the system menus and the editor.
#include "app/theme_apply.h"

#include <dwmapi.h>
#include <uxtheme.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "app/bands.h"
#include "app/main_window.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"
#include "tools/find_card.h"

namespace lumen {

using namespace quill;

namespace {

constexpr DWORD kDwmImmersiveDarkMode = 20;
constexpr uint32_t kOpaque = 0xFF000000u;

// Undocumented exports of the visual-styles library, by ordinal: the preferred mode of the process's
// menus (135), flushing the menu themes (136) and dark mode for one window (133). Each is skipped
// where it is missing; only the dark look of menus and scroll bars depends on them.
struct DarkModeCalls {
    using SetPreferredAppMode = int(WINAPI*)(int);
    using FlushMenuThemes = void(WINAPI*)();
    using AllowDarkModeForWindow = bool(WINAPI*)(HWND, bool);
    SetPreferredAppMode setMode = nullptr;
    FlushMenuThemes flushMenus = nullptr;
    AllowDarkModeForWindow allowForWindow = nullptr;
};

const DarkModeCalls& DarkMode() {
    static const DarkModeCalls calls = [] {
        DarkModeCalls c;
        HMODULE theme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!theme) return c;
        auto find = [&](int ordinal) {
            return reinterpret_cast<void*>(GetProcAddress(theme, MAKEINTRESOURCEA(ordinal)));
        };
        c.setMode = reinterpret_cast<DarkModeCalls::SetPreferredAppMode>(find(135));
        c.flushMenus = reinterpret_cast<DarkModeCalls::FlushMenuThemes>(find(136));
        c.allowForWindow = reinterpret_cast<DarkModeCalls::AllowDarkModeForWindow>(find(133));
        return c;
    }();
    return calls;
}

uintptr_t Hundredths(double points) {
    return static_cast<uintptr_t>(std::lround(points * 100));
}

void ApplyEditorStyles(App& app) {
    const Settings& s = app.settings;
    const Palette& p = app.palette;
    const std::string face = WideToUtf8(s.font);
    Ed(app, SCI_STYLESETFONT, STYLE_DEFAULT, face.c_str());
    Ed(app, SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, static_cast<intptr_t>(Hundredths(s.size)));
    Ed(app, SCI_STYLESETWEIGHT, STYLE_DEFAULT, s.weight);
    Ed(app, SCI_STYLESETITALIC, STYLE_DEFAULT, s.italic ? 1 : 0);
    Ed(app, SCI_STYLESETFORE, STYLE_DEFAULT, p.text);
    Ed(app, SCI_STYLESETBACK, STYLE_DEFAULT, p.editorBack);
    Ed(app, SCI_STYLECLEARALL);
    Ed(app, SCI_STYLESETFORE, STYLE_LINENUMBER, p.dimText);
    Ed(app, SCI_STYLESETBACK, STYLE_LINENUMBER, p.editorBack);
    Ed(app, SCI_STYLESETSIZEFRACTIONAL, STYLE_LINENUMBER,
       static_cast<intptr_t>(Hundredths(std::max(s.size - 2, 7.0))));
    Ed(app, SCI_STYLESETWEIGHT, STYLE_LINENUMBER, 400);
    Ed(app, SCI_STYLESETITALIC, STYLE_LINENUMBER, 0);
}

void ApplyEditorColours(App& app) {
    const Palette& p = app.palette;
    auto element = [&](int id, Colour c) { Ed(app, SCI_SETELEMENTCOLOUR, id, kOpaque | c); };
    element(SC_ELEMENT_CARET, p.accent);
    element(SC_ELEMENT_SELECTION_BACK, p.selectionBack);
    element(SC_ELEMENT_SELECTION_INACTIVE_BACK, MixColor(p.editorBack, p.selectionBack, 0.6));
    element(SC_ELEMENT_WHITE_SPACE, p.dimText);
    // Additional carets and selections, and fold margins, are not drawn by the control.
    constexpr int kFindIndicator = 8;
    Ed(app, SCI_INDICSETFORE, kFindIndicator, p.accent);
}

}  // namespace

void ResolveTheme(App& app) {
    const ResolvedTheme resolved =
        ResolvePalette(app.settings.theme, app.settings.accent, ReadDesktopTheme());
    app.palette = resolved.palette;
    if (resolved.desktopAccent) app.desktopAccent = resolved.desktopAccent;
}

void ApplyTheme(App& app) {
    const bool dark = app.palette.dark;
    const BOOL darkFlag = dark ? TRUE : FALSE;
    DwmSetWindowAttribute(app.hwnd, kDwmImmersiveDarkMode, &darkFlag, sizeof(darkFlag));
    const DarkModeCalls& calls = DarkMode();
    if (calls.setMode) calls.setMode(dark ? 2 : 3);
    if (calls.flushMenus) calls.flushMenus();
    if (calls.allowForWindow) calls.allowForWindow(app.editor, dark);
    SetWindowTheme(app.editor, dark ? L"DarkMode_Explorer" : L"Explorer", nullptr);
    ApplyEditorStyles(app);
    ApplyEditorColours(app);
    UpdateEditorMargins(app);
    ApplyEditorOptions(app);
    Ed(app, SCI_SETMARGINWIDTHN, 0, 0);
    UpdateLineNumberWidth(app);
    UpdateBandLayout(app);
    RepaintAll(app);
    RepaintFindCard(app);
}

void UpdateEditorMargins(App& app) {
    const int32_t dpi = static_cast<int32_t>(app.dpi);
    const int32_t margin = app.chrome.textMargin > 0 ? app.chrome.textMargin : Scale(18, dpi);
    Ed(app, SCI_SETMARGINLEFT, 0, margin);
    Ed(app, SCI_SETMARGINRIGHT, 0, margin);
    Ed(app, SCI_SETCARETWIDTH, static_cast<uintptr_t>(std::clamp(Scale(2, dpi), 1, 20)));
    Ed(app, SCI_SETEXTRAASCENT, static_cast<uintptr_t>(Scale(2, dpi)));
    Ed(app, SCI_SETEXTRADESCENT, static_cast<uintptr_t>(Scale(2, dpi)));
    UpdateLineNumberWidth(app);
}

void UpdateLineNumberWidth(App& app) {
    intptr_t width = 0;
    if (app.settings.lines) {
        int digits = 3;
        for (int64_t lines = Ed(app, SCI_GETLINECOUNT); lines > 999; lines /= 10)
            ++digits;
        const std::string sample = "_" + std::string(static_cast<size_t>(digits), '9');
        width = Ed(app, SCI_TEXTWIDTH, STYLE_LINENUMBER, sample.c_str());
    }
    if (Ed(app, SCI_GETMARGINWIDTHN, 0) != width) Ed(app, SCI_SETMARGINWIDTHN, 0, width);
}

void ApplyEditorOptions(App& app) {
    const Settings& s = app.settings;
    const Palette& p = app.palette;
    Ed(app, SCI_SETCARETLINEVISIBLEALWAYS, 1);
    if (s.caretline && !p.highContrast) {
        const Colour line = MixColor(p.editorBack, p.text, p.dark ? 0.05 : 0.035);
        Ed(app, SCI_SETELEMENTCOLOUR, SC_ELEMENT_CARET_LINE_BACK, kOpaque | line);
        Ed(app, SCI_SETCARETLINEVISIBLE, 1);
    } else {
        Ed(app, SCI_RESETELEMENTCOLOUR, SC_ELEMENT_CARET_LINE_BACK);
        Ed(app, SCI_SETCARETLINEVISIBLE, 0);
    }
    Ed(app, SCI_SETVIEWWS, s.ws ? 1 : 0);
    Ed(app, SCI_SETVIEWEOL, s.eolmark ? 1 : 0);
    Ed(app, SCI_SETENDATLASTLINE, s.pastend ? 0 : 1);
    if (Ed(app, SCI_GETTABWIDTH) != s.tab) Ed(app, SCI_SETTABWIDTH, static_cast<uintptr_t>(s.tab));
    Ed(app, SCI_SETUSETABS, s.spaces ? 0 : 1);
    Ed(app, SCI_SETINDENT, 0);
}

}  // namespace lumen
