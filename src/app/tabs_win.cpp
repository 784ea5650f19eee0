// The tab verbs of the window. The tab model (tab_model.h) keeps the list's invariants; these
// functions change it and then bring the editor and the screen along: one editor control shows the
// active tab's document, and switching swaps the document and the view state.
#include "app/tabs.h"

#include <algorithm>

#include "app/bands.h"
#include "app/closing.h"
#include "app/edit_step.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/quit_decisions.h"
#include "app/saving.h"
#include "app/theme_apply.h"
#include "edit/sci_messages.h"
#include "files/open_files.h"
#include "tools/find_card.h"

namespace lumen {

using namespace quill;

namespace {

// Documents up to this size are counted at once when shown; larger ones on the counter's timer, so
// a tab switch never waits for a count of megabytes.
constexpr int64_t kImmediateCountBytes = int64_t{1} << 20;

}  // namespace

void* CreateEditorDocument(App& app) {
    return reinterpret_cast<void*>(Ed(app, SCI_CREATEDOCUMENT, 0, 1));
}

std::unique_ptr<Tab> MakeMemoTab(App& app) {
    auto tab = std::make_unique<Tab>();
    tab->doc = CreateEditorDocument(app);
    tab->loaded = true;
    tab->eol = static_cast<uint32_t>(app.settings.neweol);
    tab->encoding = app.settings.newenc == 1 ? 1 : 0;
    return tab;
}

int NewTab(App& app) {
    const int index = InsertTab(app.tabs, MakeMemoTab(app), InsertionIndex(app.tabs));
    ActivateTab(app, index);
    TabsChanged(app);
    return index;
}

void SaveViewState(App& app, Tab& tab) {
    tab.anchor = Ed(app, SCI_GETANCHOR);
    tab.caret = Ed(app, SCI_GETCURRENTPOS);
    tab.firstLine = Ed(app, SCI_DOCLINEFROMVISIBLE, static_cast<uintptr_t>(Ed(app, SCI_GETFIRSTVISIBLELINE)));
    tab.xOffset = Ed(app, SCI_GETXOFFSET);
    tab.modified = Ed(app, SCI_GETMODIFY) != 0;
}

void RestoreViewState(App& app, Tab& tab) {
    const int64_t length = EditorLength(app);
    Ed(app, SCI_SETSEL, static_cast<uintptr_t>(std::min(length, tab.anchor)), std::min(length, tab.caret));
    Ed(app, SCI_SETFIRSTVISIBLELINE,
       static_cast<uintptr_t>(Ed(app, SCI_VISIBLEFROMDOCLINE, static_cast<uintptr_t>(tab.firstLine))));
    Ed(app, SCI_SETXOFFSET, static_cast<uintptr_t>(tab.xOffset));
}

void ShowActiveDocument(App& app) {
    Tab& tab = *app.tabs.Active();
    Ed(app, SCI_SETDOCPOINTER, 0, tab.doc);
    Ed(app, SCI_SETEOLMODE, tab.eol);
    RestoreViewState(app, tab);
    tab.modified = Ed(app, SCI_GETMODIFY) != 0;
}

void ActivateTab(App& app, int index) {
    TabList& list = app.tabs;
    if (!list.Valid(index) || (index == list.active && list.tabs[index]->loaded)) return;
    if (Tab* old = list.Active(); old && list.active != index) {
        SaveViewState(app, *old);
        LeavingTab(app, *old);
    }
    list.active = index;
    Tab& tab = *list.tabs[index];
    if (!tab.loaded) LoadTab(app, tab, std::nullopt);
    ShowActiveDocument(app);
    if (tab.path.empty() && tab.title.empty()) UpdateMemoTitle(app, tab);
    UpdateEditorMargins(app);
    ScrollActiveTabIntoView(app);
    RefreshPosition(app, false);
    if (EditorLength(app) < kImmediateCountBytes) {
        RefreshCounts(app);
    } else {
        RestartTimer(app, kTimerRecount, kRecountAfterMoveMs);
    }
    UpdateWindowTitle(app);
    OnFindCardTabShown(app);
    CheckExternalChange(app, tab);
    TabsChanged(app);
    RepaintBands(app, kBandStatus);
}

void UpdateWindowTitle(App& app) {
    const Tab* tab = app.tabs.Active();
    if (!tab || !app.hwnd) return;
    std::wstring title = WindowTitle(*tab);
    if (title == app.shownTitle) return;
    app.shownTitle = std::move(title);
    SetWindowTextW(app.hwnd, app.shownTitle.c_str());
}

void UpdateMemoTitle(App& app, Tab& tab) {
    const int64_t end = std::min<int64_t>(EditorLength(app), static_cast<int64_t>(kMemoTitleBytes));
    std::wstring title = MemoTitleFromText(EditorRange(app, 0, end));
    if (title == tab.title) return;
    tab.title = std::move(title);
    RepaintBands(app, kBandTitle);
    UpdateWindowTitle(app);
}

bool CloseTab(App& app, int index, bool ask) {
    TabList& list = app.tabs;
    if (!list.Valid(index)) return false;
    if (index != list.active) ActivateTab(app, index);
    Tab& tab = *list.tabs[index];
    tab.modified = Ed(app, SCI_GETMODIFY) != 0;
    if (app.settings.autosave) AutosaveActiveTab(app);
    const int64_t length = EditorLength(app);
    if (ask && IsUnsaved(tab) && !(tab.path.empty() && length == 0)) {
        const int answer = AskSaveOne(app, TabTitle(tab));
        if (answer == kAnswerCancel || (answer == kAnswerSave && !SaveTab(app, index, false))) return false;
    }
    PushClosedTab(list, tab, length, [&] { return std::string(EditorWholeText(app)); });
    DropBackup(app, tab);
    if (!tab.path.empty() && !app.selfTest) AddRecentFile(app.settings.recent, tab.path);

    if (list.Count() > 1) {
        RemovedTab removed = RemoveTab(list, index);
        ActivateTab(app, removed.next);
        Ed(app, SCI_RELEASEDOCUMENT, 0, removed.tab->doc);
        Layout(app);
        TabsChanged(app);
        return true;
    }
    // The last tab: a fresh empty memo takes its place.
    void* old = tab.doc;
    list.tabs[0] = MakeMemoTab(app);
    list.active = 0;
    ShowActiveDocument(app);
    Ed(app, SCI_RELEASEDOCUMENT, 0, old);
    if (!app.settings.keeplast) {
        PostMessageW(app.hwnd, WM_CLOSE, 0, 0);
        return true;
    }
    Layout(app);
    RefreshStatus(app);
    UpdateWindowTitle(app);
    TabsChanged(app);
    return true;
}

void ReopenClosedTab(App& app) {
    std::optional<ClosedTab> record = PopClosedTab(app.tabs);
    if (!record) return;
    if (!record->path.empty()) {
        OpenFiles(app, {record->path});
        return;
    }
    const int index = NewTab(app);
    Ed(app, SCI_SETTEXT, 0, record->text.c_str());
    Ed(app, SCI_EMPTYUNDOBUFFER);
    app.tabs.tabs[index]->title = record->title;
    RepaintBands(app, kBandTitle);
    UpdateWindowTitle(app);
}

void TogglePin(App& app, int index) {
    if (TogglePin(app.tabs, index) < 0) return;
    ScrollActiveTabIntoView(app);
    TabsChanged(app);
}

void MoveTab(App& app, int from, int to) {
    if (MoveTab(app.tabs, from, to) < 0) return;
    RepaintBands(app, kBandTitle);
}

void TabsChanged(App& app) {
    UpdateBandLayout(app);
    RepaintBands(app, kBandTitle);
    ScheduleSessionSave(app);
}

void OnSavePoint(App& app, bool reached) {
    Tab& tab = *app.tabs.Active();
    const bool wasUnsaved = IsUnsaved(tab);
    tab.modified = !reached;
    if (IsUnsaved(tab) == wasUnsaved) return;
    RepaintBands(app, kBandTitle | kBandStatus);
    UpdateWindowTitle(app);
}

void OnTextModified(App& app, const Notification& n) {
    Tab& tab = *app.tabs.Active();
    tab.autosavePending = true;
    if (tab.path.empty()) UpdateMemoTitle(app, tab);
    const int64_t length = EditorLength(app);
    NoteTextChange(app, length);
    RestartTimer(app, kTimerRecount, kRecountDelayMs);
    OnFindCardTextChanged(app);
    if (app.settings.lines && n.linesAdded != 0) UpdateLineNumberWidth(app);
}

}  // namespace lumen
