// Turning paths into tabs and file bytes into editor documents. Every way of opening (command line,
// open dialog, dropped files, hand-overs, recent files, reopening a closed tab) goes through
// OpenFiles; a tab made there is read when it is first shown (LoadTab, called by ActivateTab).
//
// Failures end in the designed message and never in a half-made tab: a file that cannot be read
// still gets its tab, with an empty document and a status message; a file too large for the program
// gets no tab at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "files/text_codecs.h"

namespace lumen {

struct App;
struct Tab;

inline constexpr uint64_t kAskBeforeOpeningBytes = 268'435'456;  // 256 MiB

// Opens a batch: duplicates activate their tab, folders are skipped, an empty memo is reused for the
// first file; the last file of the batch ends up active.
void OpenFiles(App& app, const std::vector<std::wstring>& paths);

// Fills the tab's document from its backup or its file. False when the file could not be read (the
// tab then holds an empty document and `loadFailed` is set).
bool LoadTab(App& app, Tab& tab, std::optional<TextEncoding> forced);

// Reads the tab again from its file (optionally decoded as `forced`), keeping the view.
void ReloadTab(App& app, Tab& tab, std::optional<TextEncoding> forced);

// The system open dialog; the chosen files go to OpenFiles.
void ShowOpenDialog(App& app);

// The recent-files command: opens entry `index`, or drops it from the list when the file is gone.
void OpenRecentFile(App& app, int index);

}  // namespace lumen
