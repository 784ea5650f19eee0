// Writing tabs to their files on the user-interface thread: save, save as, save all and the choice of
// the encoding a tab is saved in. A save encodes the whole document in the tab's encoding, asks when
// that encoding cannot hold some characters, and replaces the file through AtomicWrite, so a failure
// leaves the old file whole, the tab unsaved and a dialog with the system's own words for the error.
//
// After a successful save the tab is clean (editor save point set), has no backup file and knows the
// file's new last-write time, so the check for outside changes does not fire for our own write.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "files/text_codecs.h"

namespace lumen {

struct App;
struct Tab;

// Saves tab `index` (activated first); with `saveAs`, or for a memo, asks for a file first. False
// when nothing was written (cancelled, refused, failed).
bool SaveTab(App& app, int index, bool saveAs);

// Saves every unsaved tab in order, stopping at the first that is not saved; the tab active before
// is active again afterwards.
void SaveAllTabs(App& app);

// The "save with encoding" choice for the active tab: only the tab's encoding changes (the text
// stays); a real change makes the tab unsaved and runs the edit step soon, so autosave rewrites it.
void ChooseSaveEncoding(App& app, TextEncoding encoding);

// The tab's text reached its file (a save or an autosave): clean state, save point, backup dropped,
// last-write time refreshed. The tab must be the active one.
void MarkTabSaved(App& app, Tab& tab);

// The file name a save dialog suggests: a file tab's name, a memo's title (or "새 메모") with the
// characters a file name cannot hold made underscores and ".txt" added when it has no full stop.
std::wstring SuggestedSaveName(const std::wstring& path, const std::wstring& memoTitle);

// Replaces the system's save dialog (tests): given the suggested name, the chosen path or nothing
// for a cancel. An empty function puts the dialog back.
void SetSavePathChooser(std::function<std::optional<std::wstring>(const std::wstring& suggested)> chooser);

// The system's text for an error code (empty when it has none), without a trailing line break.
std::wstring SystemErrorText(uint32_t error);

}  // namespace lumen
