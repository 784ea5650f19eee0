// The handlers of the command table and the dispatcher. Each handler is one small function named in
// the table; the dispatcher finds the row, applies its focus rule and calls it.
#include <windows.h>

#include <shellapi.h>

#include <algorithm>

#include "app/about.h"
#include "app/app.h"
#include "app/bands.h"
#include "app/closing.h"
#include "app/commands.h"
#include "app/edit_step.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/menus.h"
#include "app/saving.h"
#include "app/settings_pages.h"
#include "app/tabs.h"
#include "app/theme_apply.h"
#include "app/view_commands.h"
#include "edit/clipboard_win.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"
#include "files/file_association.h"
#include "files/open_files.h"
#include "files/print.h"
#include "tools/find_card.h"
#include "tools/line_tools_run.h"
#include "files/system_library_win.h"

namespace lumen {

using namespace quill;

namespace {

using Handler = void (*)(App& app, int id);

// Every handler the table names, declared from the table itself.
#define LUMEN_DECLARE_HANDLER(first, last, handler, label, shortcut, glyph, flags) \
    void handler(App& app, int id);
LUMEN_COMMAND_TABLE(LUMEN_DECLARE_HANDLER)
#undef LUMEN_DECLARE_HANDLER

struct HandlerRow {
    int first, last;
    Handler handler;
    uint8_t flags;
};
#define LUMEN_HANDLER_ROW(first, last, handler, label, shortcut, glyph, flags) {first, last, &handler, flags},
constexpr HandlerRow kHandlers[] = {LUMEN_COMMAND_TABLE(LUMEN_HANDLER_ROW)};
#undef LUMEN_HANDLER_ROW

Tab* ActiveTab(App& app) {
    return app.tabs.Active();
}

void ShowOnOff(App& app, const wchar_t* what, bool on) {
    ShowStatusMessage(app, std::wstring(what) + (on ? L" 켜짐" : L" 꺼짐"));
}

// ---- files and tabs ---------------------------------------------------------------------------------

void NewTab(App& app, int) {
    lumen::NewTab(app);
}

void Open(App& app, int) {
    ShowOpenDialog(app);
}

void Save(App& app, int) {
    SaveTab(app, app.tabs.active, false);
}

void SaveAs(App& app, int) {
    SaveTab(app, app.tabs.active, true);
}

void SaveAll(App& app, int) {
    SaveAllTabs(app);
}

void CloseActiveTab(App& app, int) {
    CloseTab(app, app.tabs.active, true);
}

void ReopenClosed(App& app, int) {
    ReopenClosedTab(app);
}

void SwitchTab(App& app, int id) {
    const int target = TabForCommand(id, app.tabs.Count(), app.tabs.active);
    if (target >= 0 && target != app.tabs.active) ActivateTab(app, target);
}

void NextTab(App& app, int id) {
    SwitchTab(app, id);
}

void PreviousTab(App& app, int id) {
    SwitchTab(app, id);
}

void TabByNumber(App& app, int id) {
    SwitchTab(app, id);
}

void CloseOthers(App& app, int id) {
    CloseOtherTabs(app, app.tabs.active, id == kCmdCloseRight);
}

void Pin(App& app, int) {
    TogglePin(app, app.tabs.active);
}

void OpenTabsMenu(App& app, int) {
    ShowOpenTabsMenu(app);
}

void CopyPath(App& app, int) {
    const Tab* tab = ActiveTab(app);
    if (!tab || tab->path.empty()) return;
    // A clipboard that cannot be opened leaves everything as it was, without a message.
    if (CopyTextToClipboard(app.hwnd, WideToUtf8(tab->path))) ShowStatusMessage(app, L"경로를 복사했습니다");
}

void OpenFolder(App& app, int) {
    const Tab* tab = ActiveTab(app);
    if (!tab || tab->path.empty()) return;
    // File names cannot hold a double quote, so the quoted path stays one parameter.
    const std::wstring parameters = L"/select,\"" + tab->path + L"\"";
    static const auto shellExecute =
        SystemFunction<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (shellExecute)
        shellExecute(app.hwnd, nullptr, L"explorer.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void LineBreaks(App& app, int id) {
    Tab* tab = ActiveTab(app);
    if (!tab) return;
    const EolStyle style = id == kCmdEolCrlf ? EolStyle::Crlf : id == kCmdEolLf ? EolStyle::Lf : EolStyle::Cr;
    Ed(app, SCI_CONVERTEOLS, static_cast<uintptr_t>(style));
    Ed(app, SCI_SETEOLMODE, static_cast<uintptr_t>(style));
    tab->eol = static_cast<uint32_t>(style);
    EditStepSoon(app);
    RefreshStatus(app);
}

void SaveEncoding(App& app, int id) {
    if (ActiveTab(app)) ChooseSaveEncoding(app, static_cast<TextEncoding>(id - kCmdSaveEncoding));
}

void ReopenEncoding(App& app, int id) {
    Tab* tab = ActiveTab(app);
    if (!tab || tab->path.empty()) return;
    ReloadTab(app, *tab, static_cast<TextEncoding>(id - kCmdReopenEncoding));
}

void RecentFile(App& app, int id) {
    const int index = id - kCmdRecentFile;
    if (index < static_cast<int>(app.settings.recent.size())) OpenRecentFile(app, index);
}

void ClearRecent(App& app, int) {
    app.settings.recent.clear();
    WriteSettings(app);
}

void Quit(App& app, int) {
    PostMessageW(app.hwnd, WM_CLOSE, 0, 0);
}

// ---- editing ----------------------------------------------------------------------------------------

void EditorEdit(App& app, int id) {
    static constexpr unsigned kMessages[] = {SCI_UNDO,  SCI_REDO,  SCI_CUT,      SCI_COPY,
                                             SCI_PASTE, SCI_CLEAR, SCI_SELECTALL};
    Ed(app, kMessages[id - kCmdUndo]);
}

void DuplicateLine(App& app, int) {
    Ed(app, SCI_LINEDUPLICATE);
}

void LineTools(App& app, int id) {
    const Tab* tab = ActiveTab(app);
    if (!tab) return;
    const std::wstring message =
        RunLineTool(EditorLink{app.editorFn, app.editorPtr}, static_cast<lumen::LineTool>(id),
                    static_cast<EolStyle>(tab->eol), app.settings.tab);
    if (!message.empty()) ShowStatusMessage(app, message);
}

void InsertTimeDate(App& app, int) {
    lumen::InsertTimeDate(app);
}

void WebSearch(App& app, int) {
    lumen::WebSearch(app);
}

// 109 find, 110 replace, 111 go to line, 112 find next, 113 find previous; each sets the focus.
void FindCard(App& app, int id) {
    switch (id) {
        case 109:
            OpenFindCard(app, FindMode::Find);
            break;
        case 110:
            OpenReplaceFromCommand(app);
            break;
        case 111:
            OpenFindCard(app, FindMode::GoToLine);
            break;
        default:
            FindNextFromCommand(app, id == 112);
            break;
    }
}

void Print(App& app, int) {
    const Tab* tab = app.tabs.Active();
    if (!tab) return;
    // Copies: the dialog is modal, but timers and painting go on while it is up.
    const std::string text(EditorWholeText(app));
    const std::string selection =
        EditorRange(app, Ed(app, SCI_GETSELECTIONSTART), Ed(app, SCI_GETSELECTIONEND));
    const PrintOutcome outcome =
        PrintDocument(PrintRequest{app.hwnd, text, selection, TabTitle(*tab), &app.settings, &app.tip});
    if (!outcome.status.empty()) ShowStatusMessage(app, outcome.status);
}

// ---- view and settings -----------------------------------------------------------------------------

void WordWrap(App& app, int) {
    SetWordWrap(app, !app.settings.wrap);
    ShowOnOff(app, L"자동 줄 바꿈", app.settings.wrap);
    WriteSettings(app);
}

void LineNumbers(App& app, int) {
    app.settings.lines = !app.settings.lines;
    UpdateLineNumberWidth(app);
    WriteSettings(app);
}

void ZoomIn(App& app, int) {
    SetZoom(app, app.settings.zoom + 1);
}

void ZoomOut(App& app, int) {
    SetZoom(app, app.settings.zoom - 1);
}

void ZoomReset(App& app, int) {
    SetZoom(app, 0);
}

void Font(App& app, int) {
    // A system dialog: never in the modes that show no modal window.
    if (app.selfTest || app.bench || !ChooseEditorFont(app.hwnd, app.settings)) return;
    ApplyTheme(app);
    SetZoom(app, app.settings.zoom);
    WriteSettings(app);
}

void ThemeChoice(App& app, int id) {
    app.settings.theme = id - kCmdThemeSystem;
    ResolveTheme(app);
    ApplyTheme(app);
    WriteSettings(app);
}

void Topmost(App& app, int) {
    app.settings.topmost = !app.settings.topmost;
    SetWindowPos(app.hwnd, app.settings.topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    WriteSettings(app);
    ShowOnOff(app, L"항상 위에 표시", app.settings.topmost);
}

void FocusMode(App& app, int) {
    ToggleFocusMode(app);
}

void SettingsWindow(App& app, int) {
    lumen::ShowSettingsWindow(app);
}

void AboutWindow(App& app, int) {
    lumen::ShowAboutWindow(app);
}

void Associate(App& app, int) {
    RegisterFileAssociations(app.hwnd, app.palette, static_cast<int32_t>(app.dpi));
}

// ---- test hooks --------------------------------------------------------------------------------------

void TestHoverTip(App& app, int) {
    if (app.tabs.Count() < 2) return;
    app.chrome.hover = {kHitTab, 1};
    app.chrome.tipFor = app.chrome.hover;
    ShowTooltip(app);
}

void TestMainMenu(App& app, int) {
    if (GetEnvironmentVariableW(L"LUMENPAD_UITEST", nullptr, 0) > 0) ShowMainMenu(app);
}

}  // namespace

void DispatchCommand(App& app, int id) {
    const HandlerRow* row = std::find_if(std::begin(kHandlers), std::end(kHandlers),
                                         [id](const HandlerRow& r) { return r.first <= id && id <= r.last; });
    if (row == std::end(kHandlers)) {
        FocusEditor(app);
        return;
    }
    if (row->flags & kOnlyFromEditor) {
        HWND focus = GetFocus();
        if (focus != app.editor && focus != app.hwnd) return;
    }
    // Tabs are numbered from 1 and the commands assume an active tab; the shell always has one after
    // start-up, but a command arriving before it does nothing.
    if (!app.tabs.Active() && id != kCmdNewTab && id != kCmdQuit) return;
    row->handler(app, id);
    if (!(row->flags & kKeepsFocus) && app.hwnd && IsWindow(app.hwnd)) FocusEditor(app);
}

}  // namespace lumen
