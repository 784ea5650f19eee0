// Opening files into tabs and loading file bytes into editor documents.
#include "files/open_files.h"

#include <windows.h>
#include <commdlg.h>

#include <cwchar>
#include <string_view>

#include "app/app.h"
#include "app/bands.h"
#include "app/edit_step.h"
#include "app/main_window.h"
#include "app/tabs.h"
#include "edit/loader.h"
#include "edit/sci_messages.h"
#include "files/data_folder.h"
#include "files/read_whole_file.h"
#include "ui/message_dialog.h"
#include "files/system_library_win.h"

namespace lumen {

using namespace quill;

namespace {

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The size dialogs; in the self-test and bench modes the answerer takes the default button.
int Ask(App& app, const std::wstring& title, const std::wstring& text, std::vector<std::wstring> buttons) {
    ui::DialogContent content;
    content.title = title;
    content.message = text;
    content.buttons = std::move(buttons);
    content.icon = ui::kDialogIconWarning;
    return ui::ShowMessageDialog(app.hwnd, content, app.palette, static_cast<int32_t>(app.dpi));
}

// Whether a path may get a tab as far as its size is concerned; asks about very large files.
bool SizeAllows(App& app, const std::wstring& path, const WIN32_FILE_ATTRIBUTE_DATA& info) {
    const std::wstring name = FileName(path);
    if (info.nFileSizeHigh != 0) {
        Ask(app, L"'" + name + L"' 파일을 열 수 없습니다", L"4GB보다 큰 파일은 열 수 없습니다.", {L"확인"});
        return false;
    }
    if (info.nFileSizeLow > kAskBeforeOpeningBytes) {
        return Ask(app, L"'" + name + L"' 파일이 256MB보다 큽니다",
                   L"열면 느려지거나 메모리를 많이 쓸 수 있습니다. 계속할까요?", {L"열기", L"취소"}) == 0;
    }
    return true;
}

bool IsBlankMemo(App& app, const Tab& tab) {
    return tab.path.empty() && tab.loaded && !tab.modified && !tab.dirty && Ed(app, SCI_GETLENGTH) == 0;
}

// Makes the tab's document from UTF-8 text: one loader call, so the line index is built once.
void MakeDocument(App& app, Tab& tab, std::string_view text) {
    if (tab.doc) Ed(app, SCI_RELEASEDOCUMENT, 0, tab.doc);
    tab.doc = nullptr;
    if (!text.empty()) {
        auto* loader = reinterpret_cast<ILoader*>(Ed(app, SCI_CREATELOADER, text.size() + 1, 1));
        if (loader && loader->AddData(text.data(), static_cast<int64_t>(text.size())) == 0) {
            tab.doc = loader->ConvertToDocument();
            return;
        }
        if (loader) loader->Release();
        ShowStatusMessage(app, L"메모리가 부족해 파일을 열 수 없습니다");
    }
    tab.doc = CreateEditorDocument(app);
}

uint64_t LastWriteTime(const std::wstring& path, bool* ok) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    *ok = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info) != FALSE;
    return (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
}

}  // namespace

void OpenFiles(App& app, const std::vector<std::wstring>& paths) {
    TabList& list = app.tabs;
    int target = -1;
    for (const std::wstring& path : paths) {
        WIN32_FILE_ATTRIBUTE_DATA info{};
        const bool exists = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info) != FALSE;
        if (exists && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (const int open = FindTabByPath(list, path); open >= 0) {
            target = open;
            continue;
        }
        if (exists && !SizeAllows(app, path, info)) continue;
        // A path that does not exist gets its tab too: reading it fails later, saving creates it.
        Tab* active = list.Active();
        if (target < 0 && active && IsBlankMemo(app, *active)) {
            active->path = path;
            active->title.clear();
            LoadTab(app, *active, std::nullopt);
            Ed(app, SCI_SETDOCPOINTER, 0, active->doc);
            Ed(app, SCI_SETEOLMODE, active->eol);
            active->modified = false;
            UpdateWindowTitle(app);
            if (!app.selfTest) AddRecentFile(app.settings.recent, path);
            target = list.active;
            continue;
        }
        auto tab = std::make_unique<Tab>();
        tab->path = path;
        target = InsertTab(list, std::move(tab), InsertionIndex(list, target));
        if (!app.selfTest) AddRecentFile(app.settings.recent, path);
    }
    if (target < 0) return;
    if (target == list.active) {
        TabsChanged(app);
        RefreshStatus(app);
        UpdateWindowTitle(app);
    } else {
        ActivateTab(app, target);
    }
}

bool LoadTab(App& app, Tab& tab, std::optional<TextEncoding> forced) {
    FileBytes file;
    uint32_t error = 0;
    bool fromBackup = false;
    if (!tab.backupName.empty() && tab.dirty) {
        const std::wstring backup = BackupFolder() + L"\\" + tab.backupName + L".txt";
        fromBackup = ReadFileBytes(backup, file, error);
        if (!fromBackup) {
            tab.dirty = false;
            tab.backupName.clear();
        } else if (!tab.path.empty()) {
            bool ok = false;
            const uint64_t time = LastWriteTime(tab.path, &ok);
            if (ok) tab.fileTime = time;
        }
    }
    if (fromBackup || tab.path.empty()) {
        MakeDocument(app, tab, fromBackup ? file.Bytes() : std::string_view());
        tab.loaded = true;
        return true;
    }
    if (!ReadFileBytes(tab.path, file, error, &tab.fileTime)) {
        tab.loadFailed = true;
        // The time of a file that exists but cannot be read, so that only a real change of it
        // counts as one.
        bool ok = false;
        const uint64_t time = LastWriteTime(tab.path, &ok);
        if (ok) tab.fileTime = time;
        ShowStatusMessage(app, error == kErrorFileNotFound || error == kErrorPathNotFound
                                   ? L"파일을 찾을 수 없습니다"
                                   : L"파일을 열 수 없습니다");
        MakeDocument(app, tab, {});
        tab.loaded = true;
        return false;
    }
    const std::string_view bytes = file.Bytes();
    TextEncoding encoding = forced ? *forced : DetectEncoding(bytes);
    if (encoding == TextEncoding::Utf8 && bytes.starts_with("\xEF\xBB\xBF")) encoding = TextEncoding::Utf8Bom;
    tab.encoding = static_cast<uint32_t>(encoding);
    // UTF-8 is shown as it is read; only the other encodings need a converted copy.
    std::string converted;
    std::string_view text = bytes;
    if (encoding == TextEncoding::Utf8Bom) {
        text.remove_prefix(3);
    } else if (encoding != TextEncoding::Utf8) {
        converted = DecodeToUtf8(bytes, encoding);
        text = converted;
    }
    tab.eol = static_cast<uint32_t>(DetectEolStyle(text));
    tab.loadFailed = false;
    MakeDocument(app, tab, text);
    tab.loaded = true;
    return true;
}

void ReloadTab(App& app, Tab& tab, std::optional<TextEncoding> forced) {
    SaveViewState(app, tab);
    void* old = tab.doc;
    tab.doc = nullptr;
    tab.dirty = false;
    DropBackup(app, tab);
    LoadTab(app, tab, forced);
    if (app.tabs.Active() == &tab) {
        Ed(app, SCI_SETDOCPOINTER, 0, tab.doc);
        Ed(app, SCI_SETEOLMODE, tab.eol);
    }
    if (old) Ed(app, SCI_RELEASEDOCUMENT, 0, old);
    if (app.tabs.Active() == &tab) RestoreViewState(app, tab);
    tab.modified = false;
    tab.autosavePending = false;
    UpdateWindowTitle(app);
    RepaintBands(app, kBandTitle);
    RefreshStatus(app);
}

void ShowOpenDialog(App& app) {
    static const auto getOpenFileName =
        SystemFunction<BOOL(WINAPI*)(OPENFILENAMEW*)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName) return;
    std::wstring buffer(65536, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = app.hwnd;
    ofn.lpstrFilter = L"텍스트 문서 (*.txt)\0*.txt\0모든 파일 (*.*)\0*.*\0";
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST;
    HideTooltip(app);
    if (!getOpenFileName(&ofn)) return;
    // One file: its full path. Several: the folder, then each name, NUL-separated.
    std::vector<std::wstring> paths;
    const std::wstring first(buffer.c_str());
    for (const wchar_t* name = buffer.c_str() + first.size() + 1; *name; name += wcslen(name) + 1)
        paths.push_back(first + L"\\" + name);
    if (paths.empty()) paths.push_back(first);
    OpenFiles(app, paths);
}

void OpenRecentFile(App& app, int index) {
    std::vector<std::wstring>& recent = app.settings.recent;
    if (index >= 0 && index < static_cast<int>(recent.size())) {
        const std::wstring path = recent[index];
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            recent.erase(recent.begin() + index);
            ShowStatusMessage(app, L"파일을 찾을 수 없어 목록에서 뺐습니다");
        } else {
            OpenFiles(app, {path});
        }
    }
    FocusEditor(app);
}

}  // namespace lumen
