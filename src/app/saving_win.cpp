// Save, save as, save all and the save encoding. User files are written here, on the user-interface
// thread, with AtomicWrite; only the program's own files go through the background writer.
#include "app/saving.h"

#include <windows.h>
#include <commdlg.h>

#include "app/app.h"
#include "app/bands.h"
#include "app/edit_step.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/tabs.h"
#include "edit/sci_messages.h"
#include "files/save_file.h"
#include "ui/message_dialog.h"
#include "files/system_library_win.h"

namespace lumen {

using namespace quill;

namespace {

constexpr DWORD kSaveNameUnits = 32768;

std::function<std::optional<std::wstring>(const std::wstring&)>& Chooser() {
    static std::function<std::optional<std::wstring>(const std::wstring&)> chooser;
    return chooser;
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The system save dialog, bound on first use rather than at start-up.
std::optional<std::wstring> AskSavePath(App& app, const std::wstring& suggested) {
    if (Chooser()) return Chooser()(suggested);
    static const auto getSaveFileName =
        SystemFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetSaveFileNameW");
    if (!getSaveFileName) return std::nullopt;
    std::wstring buffer(kSaveNameUnits, L'\0');
    buffer.replace(0, std::min<size_t>(suggested.size(), kSaveNameUnits - 1), suggested);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = app.hwnd;
    ofn.lpstrFilter = L"텍스트 문서 (*.txt)\0*.txt\0모든 파일 (*.*)\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = kSaveNameUnits;
    ofn.lpstrDefExt = L"txt";
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOREADONLYRETURN;
    HideTooltip(app);
    if (!getSaveFileName(&ofn)) return std::nullopt;
    return std::wstring(buffer.c_str());
}

int32_t Ask(App& app, ui::DialogContent content) {
    return ui::ShowMessageDialog(app.hwnd, content, app.palette, static_cast<int32_t>(app.dpi));
}

// 0: save as UTF-8, 1: save with '?' in place of what the encoding lacks, 2: cancel.
int32_t AskLossy(App& app, uint32_t encoding) {
    ui::DialogContent content;
    content.icon = ui::kDialogIconWarning;
    content.title = std::wstring(L"현재 인코딩(") + EncodingDisplayName(encoding) +
                    L")으로 저장할 수 없는 문자가 있습니다";
    content.message =
        L"UTF-8로 저장하면 모든 문자가 그대로 남습니다. '그대로 저장'을 누르면 해당 문자가 ?로 바뀝니다.";
    content.buttons = {L"UTF-8로 저장", L"그대로 저장", L"취소"};
    content.defaultButton = 0;
    content.cancelButton = 2;
    return Ask(app, std::move(content));
}

void ShowSaveFailed(App& app, const std::wstring& path, uint32_t error) {
    ui::DialogContent content;
    content.icon = ui::kDialogIconError;
    content.title = L"'" + FileName(path) + L"'을(를) 저장하지 못했습니다";
    content.message = SystemErrorText(error) + path;
    content.buttons = {L"확인"};
    Ask(app, std::move(content));
}

uint64_t LastWriteTime(const std::wstring& path, uint64_t fallback) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return fallback;
    return (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

void SetSavePathChooser(std::function<std::optional<std::wstring>(const std::wstring&)> chooser) {
    Chooser() = std::move(chooser);
}

std::wstring SystemErrorText(uint32_t error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result(text ? text : L"", text ? length : 0);
    if (text) LocalFree(text);
    return result;
}

void MarkTabSaved(App& app, Tab& tab) {
    tab.fileTime = LastWriteTime(tab.path, tab.fileTime);
    Ed(app, SCI_SETSAVEPOINT);
    tab.modified = false;
    tab.dirty = false;
    tab.autosavePending = false;
    DropBackup(app, tab);
}

bool SaveTab(App& app, int index, bool saveAs) {
    if (!app.tabs.Valid(index)) return false;
    if (index != app.tabs.active) ActivateTab(app, index);
    Tab& tab = *app.tabs.tabs[index];
    std::wstring path = tab.path;
    if (path.empty() || saveAs) {
        if (app.selfTest && !Chooser()) return false;
        std::optional<std::wstring> chosen = AskSavePath(app, SuggestedSaveName(tab.path, tab.title));
        if (!chosen || chosen->empty()) return false;
        path = std::move(*chosen);
    }
    const std::string_view text = EditorWholeText(app);
    bool lossy = false;
    std::string encoded;
    // UTF-8 is written straight from the editor's buffer; the other encodings need their own bytes.
    if (tab.encoding != static_cast<uint32_t>(TextEncoding::Utf8))
        encoded = EncodeFromUtf8(text, static_cast<TextEncoding>(tab.encoding), &lossy);
    std::string_view bytes = tab.encoding == static_cast<uint32_t>(TextEncoding::Utf8) ? text : encoded;
    if (lossy) {
        const int32_t answer = AskLossy(app, tab.encoding);
        if (answer != 0 && answer != 1) return false;
        if (answer == 0) {
            tab.encoding = static_cast<uint32_t>(TextEncoding::Utf8);
            bytes = text;
        }
    }
    uint32_t error = 0;
    if (!AtomicWrite(path, bytes, error)) {
        ShowSaveFailed(app, path, error);
        RefreshStatus(app);
        return false;
    }
    tab.path = path;
    tab.title.clear();
    tab.loadFailed = false;
    MarkTabSaved(app, tab);
    if (!app.selfTest) AddRecentFile(app.settings.recent, path);
    ShowStatusMessage(app, L"저장됨");
    UpdateWindowTitle(app);
    RefreshStatus(app);
    TabsChanged(app);
    return true;
}

void SaveAllTabs(App& app) {
    const int before = app.tabs.active;
    for (int i = 0; i < app.tabs.Count(); ++i) {
        Tab& tab = *app.tabs.tabs[i];
        if (i == app.tabs.active) tab.modified = Ed(app, SCI_GETMODIFY) != 0;
        if (IsUnsaved(tab) && !SaveTab(app, i, false)) break;
    }
    if (app.tabs.Valid(before)) ActivateTab(app, before);
}

void ChooseSaveEncoding(App& app, TextEncoding encoding) {
    Tab* tab = app.tabs.Active();
    if (!tab) return;
    const auto value = static_cast<uint32_t>(encoding);
    if (value != tab->encoding && value <= static_cast<uint32_t>(TextEncoding::Ansi)) {
        tab->encoding = value;
        tab->dirty = true;
        tab->autosavePending = true;
        EditStepSoon(app);
    }
    RepaintBands(app, kBandTitle);
    RefreshStatus(app);
    UpdateWindowTitle(app);
}

}  // namespace lumen
