#include <windows.h>

#include "app/about.h"
#include "app/app.h"
#include "app/edit_step.h"
#include "app/main_window.h"
#include "app/settings_pages.h"
#include "app/theme_apply.h"
#include "app/view_commands.h"
#include "edit/sci_messages.h"
#include "files/file_association.h"
#include "ui/settings_window.h"

namespace lumen {
namespace {

// The editor's drawing-technology pair; the control accepts both and draws the same either way.
constexpr unsigned kSciSetTechnology = 2630;
constexpr unsigned kSciSetBufferedDraw = 2035;

// The window that owns what a change opens: the settings window while it is active.
HWND ActiveOwner(App& app) {
    const HWND active = GetActiveWindow();
    return active ? active : app.hwnd;
}

void ChooseFontFromSettings(App& app) {
    // A system dialog: never in the modes that show no modal window.
    if (app.selfTest || app.bench || !ChooseEditorFont(ActiveOwner(app), app.settings)) return;
    ApplyTheme(app);
    SetZoom(app, app.settings.zoom);
}

}  // namespace

void ApplySetting(App& app, uint32_t id, int32_t value) {
    const std::optional<uint32_t> effects = ApplySettingToRecord(app.settings, id, value);
    if (!effects) return;
    const uint32_t e = *effects;
    const Settings& s = app.settings;
    if (e & kEffectLineNumbers) UpdateLineNumberWidth(app);
    if (e & kEffectEditorOptions) ApplyEditorOptions(app);
    if (e & kEffectWrap) SetWordWrap(app, s.wrap);
    if (e & kEffectPalette) {
        ResolveTheme(app);
        ApplyTheme(app);
    }
    if (e & kEffectFontDialog) ChooseFontFromSettings(app);
    if (e & kEffectHint) Ed(app, quill::QM_SETHINTTEXT, 0, s.hint ? L"여기에 입력하세요" : nullptr);
    if (e & kEffectAutosave) {
        if (s.autosave) AutosaveActiveTab(app);
        UpdateBandLayout(app);
        RepaintBands(app, kBandStatus);
    }
    if (e & kEffectTopmost)
        SetWindowPos(app.hwnd, s.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (e & kEffectRegister)
        RegisterFileAssociations(ActiveOwner(app), app.palette, static_cast<int32_t>(app.dpi));
    if (e & kEffectTechnology) {
        Ed(app, kSciSetTechnology, s.dwrite ? 1 : 0);
        Ed(app, kSciSetBufferedDraw, s.dwrite ? 0 : 1);
    }
    if (e & kEffectAbout) ShowAboutWindow(app);
    // The main window may be gone by now (a modal flow above may have ended the program).
    if (!app.hwnd || !IsWindow(app.hwnd)) return;
    RepaintAll(app);
    WriteSettings(app);
}

void ShowSettingsWindow(App& app) {
    ui::ShowSettingsWindow(
        app.hwnd, app.palette, static_cast<int32_t>(app.dpi),
        [&app] {
            return BuildSettingsPages(app.settings, app.palette.dark,
                                      app.desktopAccent.value_or(kDefaultDesktopAccent));
        },
        [&app](uint32_t id, int32_t value) { ApplySetting(app, id, value); });
}

}  // namespace lumen
