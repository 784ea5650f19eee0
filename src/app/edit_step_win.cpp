// The edit step (timer 1), backups, autosave, the session file, outside changes and pruning.
#include "app/edit_step.h"

#include <windows.h>

#include <algorithm>

#include "app/bands.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/quit_decisions.h"
#include "app/saving.h"
#include "app/tabs.h"
#include "edit/sci_messages.h"
#include "files/backup_name.h"
#include "files/data_folder.h"
#include "files/open_files.h"
#include "files/save_file.h"
#include "files/session.h"
#include "ui/message_dialog.h"

namespace lumen {

using namespace quill;

namespace {

// Timer ticks come up to a clock tick early or late; a pause this close to its end counts as over.
constexpr uint32_t kTickSlackMs = 20;

// Sets timer 1 to fire `wait` ms from `now`, unless it already fires then: a steady typist re-arms
// it once per backup, not once per key.
void Arm(App& app, uint32_t now, uint32_t wait) {
    EditStepState& s = app.editStep;
    wait = std::max<uint32_t>(wait, 1);
    if (s.armed && s.due == now + wait) return;
    s.armed = true;
    s.due = now + wait;
    if (app.hwnd) SetTimer(app.hwnd, kTimerEdit, wait, nullptr);
}

std::wstring FileName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

bool ReadLastWriteTime(const std::wstring& path, uint64_t& time) {
    WIN32_FILE_ATTRIBUTE_DATA info{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &info)) return false;
    time = (uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) | info.ftLastWriteTime.dwLowDateTime;
    return true;
}

void RepaintTabState(App& app) {
    UpdateBandLayout(app);
    RepaintBands(app, kBandTitle | kBandStatus);
    UpdateWindowTitle(app);
}

void QueueSession(App& app, std::string text) {
    app.lastSessionText = text;
    app.writer.QueueWrite(SessionPath(), std::move(text));
}

std::string CurrentSessionText(App& app) {
    SaveViewState(app, *app.tabs.Active());
    return SessionText(SessionOfTabs(app.tabs));
}

}  // namespace

void NoteTextChange(App& app, int64_t documentLength) {
    EditStepState& s = app.editStep;
    const uint32_t now = GetTickCount();
    s.lastChange = now;
    s.delay = documentLength >= kLargeDocumentBytes ? kEditDelayLargeMs : kEditDelayMs;
    if (!s.unbacked) {
        s.unbacked = true;
        s.oldestUnbacked = now;
    }
    const uint32_t toMaxAge = kBackupMaxAgeMs - std::min(kBackupMaxAgeMs, now - s.oldestUnbacked);
    Arm(app, now, std::min(s.delay, toMaxAge));
}

void EditStepSoon(App& app) {
    EditStepState& s = app.editStep;
    const uint32_t now = GetTickCount();
    s.lastChange = now;
    s.delay = kEditDelaySoonMs;
    s.armed = false;
    Arm(app, now, kEditDelaySoonMs);
}

void OnEditTimer(App& app) {
    EditStepState& s = app.editStep;
    s.armed = false;
    if (app.hwnd) KillTimer(app.hwnd, kTimerEdit);
    Tab* tab = app.tabs.Active();
    const uint32_t now = GetTickCount();
    const uint32_t quiet = now - s.lastChange;
    const bool paused = quiet + kTickSlackMs >= s.delay;
    if (paused && app.settings.autosave && tab) AutosaveActiveTab(app);
    if (tab && tab->autosavePending) BackupTab(app, *tab);
    s.unbacked = false;
    ScheduleSessionSave(app);
    // Backed up while typing went on: the full step (autosave) still waits for the pause.
    if (!paused) Arm(app, now, s.delay - quiet);
}

bool AutosaveActiveTab(App& app) {
    Tab* tab = app.tabs.Active();
    if (!tab) return false;
    tab->modified = Ed(app, SCI_GETMODIFY) != 0;
    if (tab->path.empty() || tab->loadFailed || !IsUnsaved(*tab)) return false;
    const std::string_view text = EditorWholeText(app);
    std::string encoded;
    bool lossy = false;
    const bool utf8 = tab->encoding == static_cast<uint32_t>(TextEncoding::Utf8);
    if (!utf8) encoded = EncodeFromUtf8(text, static_cast<TextEncoding>(tab->encoding), &lossy);
    if (lossy) {
        ShowStatusMessage(app, L"이 인코딩으로는 자동 저장할 수 없습니다 · Ctrl+S로 저장하세요");
        return false;
    }
    uint32_t error = 0;
    if (!AtomicWrite(tab->path, utf8 ? text : std::string_view(encoded), error)) {
        ShowStatusMessage(app, L"자동 저장 실패 · Ctrl+S로 다시 시도하세요");
        return false;
    }
    MarkTabSaved(app, *tab);
    RepaintTabState(app);
    return true;
}

void BackupTab(App& app, Tab& tab) {
    tab.autosavePending = false;
    if (app.bench || app.secondary || app.tabs.Active() != &tab) return;
    tab.modified = Ed(app, SCI_GETMODIFY) != 0;
    if (!IsUnsaved(tab)) {
        DropBackup(app, tab);
        return;
    }
    if (tab.backupName.empty()) tab.backupName = MakeBackupName();
    // The one copy the user-interface thread pays, into memory an earlier write used; the writer
    // owns it from here.
    const std::string_view text = EditorWholeText(app);
    std::string copy = app.writer.TakeSpareBuffer();
    copy.assign(text.data(), text.size());
    app.writer.QueueWrite(BackupFilePath(BackupFolder(), tab.backupName), std::move(copy));
}

void DropBackup(App& app, Tab& tab) {
    if (tab.backupName.empty()) return;
    app.writer.QueueDelete(BackupFilePath(BackupFolder(), tab.backupName));
    tab.backupName.clear();
}

void LeavingTab(App& app, Tab& tab) {
    if (app.settings.autosave && app.started) AutosaveActiveTab(app);
    if (tab.autosavePending) BackupTab(app, tab);
    app.editStep.unbacked = false;
}

void ScheduleSessionSave(App& app) {
    if (app.bench || app.closing || !app.started || app.secondary || !app.tabs.Active()) return;
    std::string text = CurrentSessionText(app);
    if (text != app.lastSessionText) QueueSession(app, std::move(text));
}

void WriteSessionNow(App& app) {
    if (app.bench || app.secondary || !app.tabs.Active()) return;
    QueueSession(app, CurrentSessionText(app));
}

void CheckExternalChange(App& app, Tab& tab) {
    if (tab.path.empty() || !tab.loaded || app.closing) return;
    uint64_t time = 0;
    if (!ReadLastWriteTime(tab.path, time) || time == tab.fileTime) return;
    tab.fileTime = time;
    if (app.tabs.Active() != &tab) return;
    tab.modified = Ed(app, SCI_GETMODIFY) != 0;
    if (IsUnsaved(tab)) {
        ui::DialogContent content;
        content.icon = ui::kDialogIconQuestion;
        content.title = L"'" + FileName(tab.path) + L"' 파일이 다른 프로그램에서 바뀌었습니다";
        content.message = L"편집 중인 내용을 버리고 바뀐 파일을 다시 불러올까요?";
        content.buttons = {L"다시 불러오기", L"내 내용 유지"};
        content.defaultButton = 1;
        content.cancelButton = 1;
        if (ui::ShowMessageDialog(app.hwnd, content, app.palette, static_cast<int32_t>(app.dpi)) != 0) return;
    }
    ReloadTab(app, tab, std::nullopt);
    ShowStatusMessage(app, L"파일이 바뀌어 다시 불러왔습니다");
}

void OnApplicationActivated(App& app, bool active) {
    Tab* tab = app.tabs.Active();
    if (!app.started || !tab) return;
    if (active) {
        CheckExternalChange(app, *tab);
    } else if (app.settings.autosave) {
        AutosaveActiveTab(app);
    }
}

void PruneBackups(App& app) {
    if (app.selfTest || app.secondary || app.bench) return;
    const std::wstring folder = BackupFolder();
    WIN32_FIND_DATAW found{};
    HANDLE find = FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                   nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::wstring name = found.cFileName;
        // A write of a named backup may be on its way through "<name>.txt.tmp": left alone.
        const bool named = std::any_of(app.tabs.tabs.begin(), app.tabs.tabs.end(), [&](const auto& tab) {
            return !tab->backupName.empty() &&
                   (name == tab->backupName + L".txt" || name == tab->backupName + L".txt.tmp");
        });
        if (!named) DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

}  // namespace lumen
