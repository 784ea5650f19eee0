#include "app/quit_decisions.h"

#include <algorithm>
#include <numeric>

namespace lumen {
namespace {

std::vector<int> AllTabs(const TabList& list) {
    std::vector<int> all(list.tabs.size());
    std::iota(all.begin(), all.end(), 0);
    return all;
}

ui::DialogContent SaveDialog(std::wstring title, std::wstring message, std::wstring saveLabel) {
    ui::DialogContent content;
    content.title = std::move(title);
    content.message = std::move(message);
    content.buttons = {std::move(saveLabel), L"저장 안 함", L"취소"};
    content.defaultButton = kAnswerSave;
    content.cancelButton = kAnswerCancel;
    content.icon = ui::kDialogIconNone;
    return content;
}

}  // namespace

std::vector<int> UnsavedTabs(const TabList& list, const std::vector<int>& candidates,
                             bool activeDocumentEmpty) {
    std::vector<int> unsaved;
    for (int i : candidates) {
        if (!list.Valid(i)) continue;
        const Tab& tab = *list.tabs[i];
        const bool emptyActiveMemo = i == list.active && tab.path.empty() && activeDocumentEmpty;
        if (IsUnsaved(tab) && !emptyActiveMemo) unsaved.push_back(i);
    }
    return unsaved;
}

ui::DialogContent AskSaveOneContent(const std::wstring& tabTitle) {
    return SaveDialog(L"'" + tabTitle + L"'의 변경 내용을 저장할까요?",
                      L"저장하지 않으면 변경 내용이 사라집니다.", L"저장");
}

ui::DialogContent AskSaveManyContent(const TabList& list, const std::vector<int>& tabIndexes) {
    ui::DialogContent content =
        SaveDialog(L"저장하지 않은 메모가 " + std::to_wstring(tabIndexes.size()) + L"개 있습니다",
                   L"닫기 전에 변경 내용을 저장할까요?", L"모두 저장");
    for (int i : tabIndexes) {
        const Tab& tab = *list.tabs[i];
        content.items.push_back(tab.path.empty() ? TabTitle(tab) + L" (새 메모)" : tab.path);
    }
    return content;
}

SaveQuestion SaveQuestionFor(const TabList& list, std::vector<int> unsaved) {
    SaveQuestion question;
    if (unsaved.size() == 1)
        question.dialog = AskSaveOneContent(TabTitle(*list.tabs[unsaved[0]]));
    else if (unsaved.size() > 1)
        question.dialog = AskSaveManyContent(list, unsaved);
    question.tabs = std::move(unsaved);
    return question;
}

CloseOthersPlan PlanCloseOthers(const TabList& list, int index, bool rightOnly, bool activeDocumentEmpty) {
    CloseOthersPlan plan;
    if (!list.Valid(index)) return plan;
    std::vector<int> targets;
    for (int i = rightOnly ? index + 1 : 0; i < list.Count(); ++i)
        if (i != index && !list.tabs[i]->pinned) targets.push_back(i);
    plan.question = SaveQuestionFor(list, UnsavedTabs(list, targets, activeDocumentEmpty));
    plan.keptIndex = index - static_cast<int>(std::count_if(targets.begin(), targets.end(),
                                                            [index](int i) { return i < index; }));
    plan.targets.assign(targets.rbegin(), targets.rend());
    return plan;
}

QuitPlan PlanQuit(const QuitContext& context, const TabList& list, bool activeDocumentEmpty) {
    QuitPlan plan;
    if (context.bench) return plan;
    plan.keep = !context.secondary && (context.restore || context.endingSession);
    if (!plan.keep && !context.endingSession)
        plan.question = SaveQuestionFor(list, UnsavedTabs(list, AllTabs(list), activeDocumentEmpty));
    if (context.selfTest) {
        plan.writes = QuitWrites::StopWriter;
    } else if (context.secondary) {
        plan.writes = QuitWrites::SettingsOnly;
    } else if (plan.keep) {
        plan.writes = QuitWrites::KeepSession;
    } else {
        plan.writes = QuitWrites::DropSession;
        for (const auto& tab : list.tabs)
            if (!tab->backupName.empty()) plan.backupsToDelete.push_back(tab->backupName);
    }
    return plan;
}

Session SessionOfTabs(const TabList& list) {
    Session session;
    session.active = std::max(list.active, 0);
    for (const auto& tab : list.tabs) {
        SessionEntry& e = session.entries.emplace_back();
        const bool unsaved = IsUnsaved(*tab);
        e.path = tab->path;
        e.backupName = unsaved ? tab->backupName : std::wstring();
        e.dirty = unsaved;
        e.encoding = static_cast<int32_t>(tab->encoding);
        e.eol = static_cast<int32_t>(tab->eol);
        e.anchor = tab->anchor;
        e.caret = tab->caret;
        e.firstLine = tab->firstLine;
        e.title = tab->path.empty() ? tab->title : std::wstring();
        e.pinned = tab->pinned;
    }
    return session;
}

}  // namespace lumen
