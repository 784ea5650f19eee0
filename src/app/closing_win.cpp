// Group closes and the quit flow, carrying out the plans of quit_decisions.h.
#include "app/closing.h"

#include <windows.h>

#include "app/app.h"
#include "app/bands.h"
#include "app/edit_step.h"
#include "app/editor_calls.h"
#include "app/main_window.h"
#include "app/quit_decisions.h"
#include "app/saving.h"
#include "app/tabs.h"
#include "edit/sci_messages.h"
#include "files/backup_name.h"
#include "files/data_folder.h"
#include "files/session.h"
#include "files/settings.h"
#include "ui/message_dialog.h"

namespace lumen {

using namespace quill;

namespace {

int32_t Show(App& app, const ui::DialogContent& content) {
    HideTooltip(app);
    return ui::ShowMessageDialog(app.hwnd, content, app.palette, static_cast<int32_t>(app.dpi));
}

// Refreshes the active tab's flag and autosaves it when the setting is on.
void SettleActiveTab(App& app) {
    Tab* tab = app.tabs.Active();
    if (!tab) return;
    tab->modified = Ed(app, SCI_GETMODIFY) != 0;
    if (app.settings.autosave) AutosaveActiveTab(app);
}

// Asks the question; kAnswerSave saves the listed tabs in order. True when the caller may go on.
bool AskAndSave(App& app, const SaveQuestion& question) {
    if (!question.Asks()) return true;
    int32_t answer;
    if (question.tabs.size() == 1) {
        ActivateTab(app, question.tabs[0]);
        answer = Show(app, question.dialog);
    } else {
        answer = Show(app, question.dialog);
    }
    if (answer == kAnswerDontSave) return true;
    if (answer != kAnswerSave) return false;
    // Saving never changes the indexes: a saved memo stays in its place as a file tab.
    for (int index : question.tabs)
        if (!SaveTab(app, index, false)) return false;
    return true;
}

bool ActiveDocumentEmpty(App& app) {
    return app.tabs.Active() && EditorLength(app) == 0;
}

void StoreMaximized(App& app) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (app.focusMode || !app.hwnd || !GetWindowPlacement(app.hwnd, &placement)) return;
    app.settings.max = placement.showCmd == SW_SHOWMAXIMIZED ||
                       (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED));
}

}  // namespace

int AskSaveOne(App& app, const std::wstring& title) {
    return Show(app, AskSaveOneContent(title));
}

int AskSaveMany(App& app, const std::vector<int>& tabIndexes) {
    return Show(app, AskSaveManyContent(app.tabs, tabIndexes));
}

void CloseOtherTabs(App& app, int index, bool rightOnly) {
    if (!app.tabs.Valid(index)) return;
    SettleActiveTab(app);
    const CloseOthersPlan plan = PlanCloseOthers(app.tabs, index, rightOnly, ActiveDocumentEmpty(app));
    if (!AskAndSave(app, plan.question)) return;
    for (int target : plan.targets)
        if (!CloseTab(app, target, false)) return;
    ActivateTab(app, plan.keptIndex);
}

bool QuitFlow(App& app, bool endingSession) {
    if (app.bench) return true;
    HideTooltip(app);
    SettleActiveTab(app);
    QuitContext context;
    context.endingSession = endingSession;
    context.secondary = app.secondary;
    context.selfTest = app.selfTest;
    context.restore = app.settings.restore;
    context.autosave = app.settings.autosave;
    const QuitPlan plan = PlanQuit(context, app.tabs, ActiveDocumentEmpty(app));
    if (!AskAndSave(app, plan.question)) {
        app.closing = false;
        return false;
    }
    app.closing = true;
    StopTimer(app, kTimerEdit);
    app.editStep.armed = false;
    switch (plan.writes) {
        case QuitWrites::None:
            return true;
        case QuitWrites::StopWriter:
            app.writer.Stop();
            return true;
        case QuitWrites::SettingsOnly:
            break;
        case QuitWrites::KeepSession:
            if (Tab* tab = app.tabs.Active()) BackupTab(app, *tab);
            WriteSessionNow(app);
            break;
        case QuitWrites::DropSession:
            for (const std::wstring& name : plan.backupsToDelete)
                app.writer.QueueDelete(BackupFilePath(BackupFolder(), name));
            for (auto& tab : app.tabs.tabs)
                tab->backupName.clear();
            app.writer.QueueDelete(SessionPath());
            break;
    }
    StoreMaximized(app);
    if (app.settingsLoad.MayReplaceFile()) app.writer.QueueWrite(SettingsPath(), SettingsText(app.settings));
    app.writer.Stop();
    return true;
}

}  // namespace lumen
