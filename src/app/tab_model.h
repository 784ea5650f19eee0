// The tab model: the open tabs in display order, the active index and the stack of closed tabs, as
// plain data changed by a few verbs. The verbs know nothing of windows or the editor; the main window
// calls them and then does what the change needs (swap documents, repaint, save the session).
//
// Invariants kept by every verb:
//  - pinned tabs form a prefix of `tabs`;
//  - `active` indexes a tab, or is -1 between a removal and the activation that follows it;
//  - `closedTabs` holds at most kMaxClosedTabs records, oldest first;
//  - the active tab stays the same tab across inserts and moves.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/settings.h"  // kMaxRecentFiles

namespace lumen {

// One open document. `doc` is the editor's document handle, owned by the tab and released by the
// window when the tab goes; the model never looks at it.
struct Tab {
    std::wstring path;        // full path of the file; empty for a memo
    std::wstring title;       // memo title (first non-blank line, at most 40 UTF-16 units); empty for files
    std::wstring backupName;  // the tab's backup file in the backup folder; empty when there is none
    void* doc = nullptr;
    bool loaded = false;           // the document holds the content (session tabs load on first show)
    bool modified = false;         // the editor's modify flag for this document
    bool dirty = false;            // unsaved for a reason the save point does not track
    bool autosavePending = false;  // changed since the last autosave or backup
    bool loadFailed = false;       // the file could not be read; autosave leaves it alone
    bool pinned = false;
    uint32_t encoding = 0;  // TextEncoding
    uint32_t eol = 0;       // EolStyle
    uint64_t fileTime = 0;  // last known last-write time (100 ns units)
    int64_t anchor = 0;     // saved selection anchor and caret (byte positions)
    int64_t caret = 0;
    int64_t firstLine = 0;  // saved first visible document line
    int64_t xOffset = 0;    // saved horizontal scroll offset
};

// The one test of unsaved state used everywhere.
inline bool IsUnsaved(const Tab& tab) {
    return tab.modified || tab.dirty;
}

// A closed tab, remembered so that it can be reopened.
struct ClosedTab {
    std::wstring path;  // empty for a memo
    std::string text;   // whole UTF-8 text of a closed memo; empty for file tabs
    std::wstring title;
};

inline constexpr size_t kMaxClosedTabs = 20;
// A closed memo keeps its text only when it is 1 to this many bytes long.
inline constexpr int64_t kMaxClosedMemoBytes = 4'194'303;

struct TabList {
    std::vector<std::unique_ptr<Tab>> tabs;  // display order
    int active = -1;
    std::vector<ClosedTab> closedTabs;  // oldest first

    int Count() const { return static_cast<int>(tabs.size()); }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    Tab* Active() const { return Valid(active) ? tabs[active].get() : nullptr; }
};

int PinnedCount(const TabList& list);

// Where a new tab goes: right after `target` when it indexes a tab, else after the active tab, else
// at the end; never among the pinned tabs.
int InsertionIndex(const TabList& list, int target = -1);

// Inserts a tab at `index`, moved into its group (a pinned tab no later than the pinned count, an
// unpinned one no earlier); the active index follows its tab. Returns where the tab went.
int InsertTab(TabList& list, std::unique_ptr<Tab> tab, int index);

// Makes `index` active; false (nothing changed) when it indexes no tab.
bool Activate(TabList& list, int index);

// Moves the tab at `from` to `to`, clamped to the places its group allows. The active tab stays the
// same tab. Returns the tab's new index, or -1 for an invalid `from`.
int MoveTab(TabList& list, int from, int to);

// Pins or unpins a tab: a newly pinned tab goes to the end of the pinned group, a newly unpinned one
// becomes the first unpinned tab. Returns its new index, or -1 for an invalid index.
int TogglePin(TabList& list, int index);

// Takes a tab out for closing. `active` becomes -1 and `next` is the index to activate now (-1 when
// the list became empty: the caller puts a fresh memo in). `tab` is null for an invalid index.
struct RemovedTab {
    std::unique_ptr<Tab> tab;
    int next = -1;
};
RemovedTab RemoveTab(TabList& list, int index);

// Remembers a closing tab. `readText` (a callable returning the memo's UTF-8 text) is called only for
// a memo of 1..kMaxClosedMemoBytes bytes, given as `length`. A record with neither path nor text is
// not kept. The oldest record goes when there are more than kMaxClosedTabs. Returns whether kept.
bool PushClosedTab(TabList& list, ClosedTab record);
template <typename ReadText>
bool PushClosedTab(TabList& list, const Tab& tab, int64_t length, ReadText&& readText) {
    ClosedTab record{tab.path, {}, tab.title};
    if (tab.path.empty() && length >= 1 && length <= kMaxClosedMemoBytes) record.text = readText();
    return PushClosedTab(list, std::move(record));
}

// The newest closed tab, taken off the stack.
std::optional<ClosedTab> PopClosedTab(TabList& list);

// The index of the tab whose path names the same file (ignoring case), or -1. An empty path (a memo)
// matches nothing.
int FindTabByPath(const TabList& list, std::wstring_view path);

// Puts `path` at the front of the recent-files list, dropping any equal entry (ignoring case) and
// keeping at most kMaxRecentFiles. An empty path changes nothing.
void AddRecentFile(std::vector<std::wstring>& recent, const std::wstring& path);

// A file tab's name (the text after the last backslash or slash), a memo's title, or "새 메모".
std::wstring TabTitle(const Tab& tab);

// A memo's title from the start of its UTF-8 text (only the first 400 bytes are read): the first
// piece between CR/LF breaks that is not blank, without leading and trailing spaces and tabs, cut to
// at most 40 UTF-16 units (never between the two units of a surrogate pair).
std::wstring MemoTitleFromText(std::string_view utf8);
inline constexpr size_t kMemoTitleBytes = 400;
inline constexpr size_t kMemoTitleUnits = 40;

// "*" when unsaved, the tab's title, " - 루멘판".
std::wstring WindowTitle(const Tab& tab);

}  // namespace lumen
