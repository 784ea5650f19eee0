// Nothing typed is lost: the step after typing (timer 1), backups of unsaved text, autosave of file
// tabs, the session file, outside changes of open files and the pruning of stale backups.
//
// The edit step runs a moment after typing stops (1 s; 3 s for documents of kLargeDocumentBytes or
// more; 500 ms after an encoding or line-break change): autosave of the active file tab when the
// setting is on, the backup of its text when it changed, and the session when its text changed.
// A steady typist never pauses, so the backup and the session are also written once the oldest
// change not yet backed up is one second old; autosave of the file still waits for the pause.
//
// All writes of the program's own files go through the background writer; the user-interface
// thread pays one copy of the text and a map insertion per backup.
#pragma once

#include <cstdint>
#include <string>

namespace lumen {

struct App;
struct Tab;

inline constexpr uint32_t kEditDelaySoonMs = 500;  // after an encoding or line-break change
inline constexpr uint32_t kBackupMaxAgeMs = 1000;  // the oldest unbacked change, while typing on

// A text change of the active tab (the editor's modification notification): arms timer 1.
void NoteTextChange(App& app, int64_t documentLength);
// The encoding or line breaks of the active tab changed by a command: the step runs in 500 ms.
void EditStepSoon(App& app);
// Timer 1 fired.
void OnEditTimer(App& app);

// Writes the active file tab to its file when it is unsaved (not memos, not a tab whose file could
// not be read, not when the encoding would lose characters). True when written.
bool AutosaveActiveTab(App& app);
// The backup step of the active tab: its text to its backup file while unsaved, the backup deleted
// once it is clean. Only the active tab (its document is the editor's).
void BackupTab(App& app, Tab& tab);
// Hands the deletion of the tab's backup file to the writer and forgets its name.
void DropBackup(App& app, Tab& tab);
// The active tab is being left for another: autosave (when on) and its pending backup.
void LeavingTab(App& app, Tab& tab);

// Hands the session text to the writer when it differs from the last one handed over; nothing in
// the bench mode, a second instance, before start-up finished or while quitting.
void ScheduleSessionSave(App& app);
// The same, even when unchanged (the final write at quit).
void WriteSessionNow(App& app);

// The tab's file changed on disk since we last read or wrote it: the active tab is reloaded, after a
// question when it holds unsaved edits.
void CheckExternalChange(App& app, Tab& tab);
// The application became active again (after start-up): checks the active tab.
void OnApplicationActivated(App& app, bool active);

// Deletes every file in the backup folder that no tab names (once, after start-up).
void PruneBackups(App& app);

}  // namespace lumen
