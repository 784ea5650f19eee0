// What closing tabs in groups and quitting do with unsaved work, decided from the tab list and the
// settings alone: which tabs are asked about and with which question, whether the session is kept,
// and which final writes are queued. The window carries the decisions out (questions, saves, the
// background writer); nothing here touches a window or a file.
//
// With `restore` on, a quit keeps every tab (the session and the backups bring them back) and asks
// nothing. With it off, a quit asks about unsaved tabs and then deletes the session and every backup,
// so the next start begins empty. A quit while Windows ends the user's session never asks and always
// keeps everything. A second instance never touches the session.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/tab_model.h"
#include "files/session.h"
#include "ui/message_dialog.h"

namespace lumen {

// Button indexes of the save questions; dismissing the dialog answers kAnswerCancel.
inline constexpr int32_t kAnswerSave = 0;
inline constexpr int32_t kAnswerDontSave = 1;
inline constexpr int32_t kAnswerCancel = 2;

// The tabs among `candidates` (indexes in tab order) that hold unsaved work: unsaved tabs, except the
// active tab when it is a memo whose document is empty (`activeDocumentEmpty`).
std::vector<int> UnsavedTabs(const TabList& list, const std::vector<int>& candidates,
                             bool activeDocumentEmpty);

// The questions. One tab is asked about by its tab title; several are listed by full path, or a
// memo's tab title followed by " (새 메모)".
ui::DialogContent AskSaveOneContent(const std::wstring& tabTitle);
ui::DialogContent AskSaveManyContent(const TabList& list, const std::vector<int>& tabIndexes);

struct SaveQuestion {
    std::vector<int> tabs;  // asked about, in tab order; with one, the window activates it first
    ui::DialogContent dialog;
    bool Asks() const { return !tabs.empty(); }
};
SaveQuestion SaveQuestionFor(const TabList& list, std::vector<int> unsaved);

// "다른 탭 모두 닫기" and "오른쪽 탭 모두 닫기", decided after the active tab was autosaved.
struct CloseOthersPlan {
    std::vector<int> targets;  // the tabs to close, from the last index down to the first
    SaveQuestion question;     // kAnswerCancel (or a failed save) stops everything before any close
    int keptIndex = -1;        // the index of the kept tab once every target is closed
};
CloseOthersPlan PlanCloseOthers(const TabList& list, int index, bool rightOnly, bool activeDocumentEmpty);

struct QuitContext {
    bool endingSession = false;  // WM_ENDSESSION rather than WM_CLOSE
    bool secondary = false;      // a second instance
    bool selfTest = false;
    bool bench = false;
    bool restore = true;  // the settings
    bool autosave = false;
};

enum class QuitWrites {
    None,          // bench: the window goes at once
    StopWriter,    // self-test: only the queued jobs are finished
    SettingsOnly,  // a second instance: settings, never the session
    KeepSession,   // back up the active tab, write the session (even unchanged) and the settings
    DropSession,   // delete every backup and the session, write the settings
};

struct QuitPlan {
    bool keep = false;      // every tab lives on in the session; no question
    SaveQuestion question;  // asked before anything is written; cancel refuses the quit
    QuitWrites writes = QuitWrites::None;
    std::vector<std::wstring> backupsToDelete;  // with DropSession: every tab's backup name
};

// The quit. Outside the bench mode the window first refreshes the active tab's `modified` and, with
// `autosave` on, autosaves it; the plan is made from the state after that. A bench quit is allowed at
// once (QuitWrites::None). Saving a listed tab deletes its own backup, so `backupsToDelete` may name
// it again: a second deletion of one path replaces the first in the writer's queue.
QuitPlan PlanQuit(const QuitContext& context, const TabList& list, bool activeDocumentEmpty);

// The session as the tab list stands: one entry per tab; a backup name only while the tab is unsaved.
// The caller saves the active tab's view state into its Tab first.
Session SessionOfTabs(const TabList& list);

}  // namespace lumen
