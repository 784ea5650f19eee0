// The session file "session.txt": the tab list as it stood at the last change, so that every tab,
// saved or not, comes back at the next start. Memos and unsaved file tabs name a backup file (see
// backup_name.h) that holds their text.
//
// Format: UTF-8, LF line ends. "lumenpad-session 1", "active=<index>", then one line per tab:
// "tab" and nine TAB-separated fields (path, backup name, dirty, encoding, line breaks, anchor,
// caret, first line, title), plus a tenth field "1" for a pinned tab.
//
// Reading is forgiving in the way the settings file is: a line it cannot use is skipped, numbers
// are read as far as they are digits (stopping at the ends of their range), and start-up clamps
// what it takes from the file. Any bytes at all give a usable, possibly empty, session.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumen {

struct SessionEntry {
    std::wstring path;        // empty for a memo
    std::wstring backupName;  // the tab's backup file while it is unsaved, else empty
    bool dirty = false;       // the tab was unsaved
    int32_t encoding = 0;     // TextEncoding as stored
    int32_t eol = 0;          // EolStyle as stored
    int64_t anchor = 0;       // saved selection anchor and caret (byte positions)
    int64_t caret = 0;
    int64_t firstLine = 0;  // first visible document line
    std::wstring title;     // memo title; empty for file tabs
    bool pinned = false;

    bool operator==(const SessionEntry&) const = default;
};

struct Session {
    int32_t active = 0;
    std::vector<SessionEntry> entries;  // in tab order

    bool operator==(const Session&) const = default;
};

inline constexpr std::string_view kSessionHeader = "lumenpad-session 1";
// Tab lines carry "tab" and at most ten more fields; fewer than nine in all is no entry.
inline constexpr size_t kSessionMinFields = 9;
inline constexpr size_t kSessionMaxFields = 11;

// The file content: every TAB, CR and LF of a title becomes a space so the line stays one line.
std::string SessionText(const Session& session);

// Reads file content. An "active=" index outside the entries becomes 0.
Session ParseSession(std::string_view bytes);

// DataFolder() + "\session.txt".
std::wstring SessionPath();

// Reads and parses the file at `path`; true when it was read and names at least one tab.
bool ReadSessionFile(const std::wstring& path, Session& session);

// What start-up makes of a session: the tabs to create (unloaded), in order, and which is active.
// Each tab's fields are ready to copy into a Tab: encoding clamped to 0..4, line breaks to 0..2,
// positions not below 0, `dirty` only when a backup name comes with it.
struct RestorePlan {
    std::vector<SessionEntry> tabs;
    int32_t active = -1;  // -1 exactly when `tabs` is empty
};

// Start-up restores only in a first instance outside the self-test, and only when the `restore`
// setting is on or a session file was left behind anyway (by a quit while Windows shut down).
bool ShouldRestoreSession(bool restoreSetting, bool sessionFileExists, bool selfTest, bool secondary);

// The tabs of `session` that come back. A memo that would not come back unsaved is dropped, except
// the only entry of a session when `restoreSetting` is on. A backup name that could leave the
// backup folder, or that an earlier tab already uses, is not taken (two tabs writing one backup
// would lose one of them); tabs that come back unsaved claim their names first.
RestorePlan PlanRestore(const Session& session, bool restoreSetting);

}  // namespace lumen
