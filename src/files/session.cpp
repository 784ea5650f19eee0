#include "files/session.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <limits>
#include <set>

#include "files/backup_name.h"
#include "files/code_page.h"
#include "files/data_folder.h"
#include "files/read_whole_file.h"

namespace lumen {
namespace {

// An optional "-", then decimal digits up to the first other character; no digits give 0. A value
// beyond the 64-bit range stops at its ends rather than wrapping.
int64_t ReadInt64(std::string_view v) {
    const bool negative = !v.empty() && v[0] == '-';
    // Accumulated as a negative number, whose range reaches one further than the positive one.
    int64_t n = 0;
    constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
    for (size_t i = negative ? 1 : 0; i < v.size() && v[i] >= '0' && v[i] <= '9'; ++i) {
        const int digit = v[i] - '0';
        n = n < (kMin + digit) / 10 ? kMin : n * 10 - digit;
    }
    if (negative) return n;
    return n == kMin ? std::numeric_limits<int64_t>::max() : -n;
}

int32_t ReadInt32(std::string_view v) {
    return static_cast<int32_t>(std::clamp<int64_t>(ReadInt64(v), std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

void AppendField(std::string& line, std::string_view field) {
    line += '\t';
    line += field;
}

void AppendNumber(std::string& line, int64_t value) {
    char buffer[24];
    const int n = std::snprintf(buffer, sizeof buffer, "\t%" PRId64, value);
    line.append(buffer, static_cast<size_t>(n));
}

// Cuts a tab line at its TABs into at most kSessionMaxFields fields; the last takes the rest.
size_t SplitFields(std::string_view line, std::string_view (&fields)[kSessionMaxFields]) {
    size_t count = 0;
    while (count + 1 < kSessionMaxFields) {
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos) break;
        fields[count++] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    fields[count++] = line;
    return count;
}

}  // namespace

std::string SessionText(const Session& session) {
    std::string out(kSessionHeader);
    out += "\nactive=" + std::to_string(session.active) + "\n";
    for (const SessionEntry& e : session.entries) {
        std::string title = WideToUtf8(e.title);
        std::replace_if(
            title.begin(), title.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
        out += "tab";
        AppendField(out, WideToUtf8(e.path));
        AppendField(out, WideToUtf8(e.backupName));
        AppendField(out, e.dirty ? "1" : "0");
        AppendNumber(out, e.encoding);
        AppendNumber(out, e.eol);
        AppendNumber(out, e.anchor);
        AppendNumber(out, e.caret);
        AppendNumber(out, e.firstLine);
        AppendField(out, title);
        if (e.pinned) AppendField(out, "1");
        out += '\n';
    }
    return out;
}

Session ParseSession(std::string_view bytes) {
    Session session;
    int64_t active = 0;
    while (!bytes.empty()) {
        const size_t lf = bytes.find('\n');
        std::string_view line = bytes.substr(0, lf);
        bytes.remove_prefix(lf == std::string_view::npos ? bytes.size() : lf + 1);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);

        if (line.starts_with("active=")) {
            active = ReadInt64(line.substr(7));
            continue;
        }
        if (!line.starts_with("tab\t")) continue;
        std::string_view f[kSessionMaxFields];
        const size_t count = SplitFields(line, f);
        if (count < kSessionMinFields) continue;
        SessionEntry& e = session.entries.emplace_back();
        e.path = Utf8ToWide(f[1]);
        e.backupName = Utf8ToWide(f[2]);
        e.dirty = ReadInt64(f[3]) != 0;
        e.encoding = ReadInt32(f[4]);
        e.eol = ReadInt32(f[5]);
        e.anchor = ReadInt64(f[6]);
        e.caret = ReadInt64(f[7]);
        e.firstLine = ReadInt64(f[8]);
        if (count > 9) e.title = Utf8ToWide(f[9]);
        if (count > 10) e.pinned = ReadInt64(f[10]) != 0;
    }
    const bool inRange = active >= 0 && active < static_cast<int64_t>(session.entries.size());
    session.active = inRange ? static_cast<int32_t>(active) : 0;
    return session;
}

std::wstring SessionPath() {
    return DataFolder() + L"\\session.txt";
}

bool ReadSessionFile(const std::wstring& path, Session& session) {
    std::string bytes;
    uint32_t error = 0;
    if (!ReadWholeFile(path, bytes, error)) return false;
    session = ParseSession(bytes);
    return !session.entries.empty();
}

bool ShouldRestoreSession(bool restoreSetting, bool sessionFileExists, bool selfTest, bool secondary) {
    return !selfTest && !secondary && (restoreSetting || sessionFileExists);
}

RestorePlan PlanRestore(const Session& session, bool restoreSetting) {
    const auto& entries = session.entries;
    // Backup names go first to the tabs that need their text from them, then to the rest.
    std::vector<bool> ownsBackup(entries.size(), false);
    std::set<std::wstring_view> claimed;
    for (bool unsavedPass : {true, false}) {
        for (size_t i = 0; i < entries.size(); ++i) {
            const SessionEntry& e = entries[i];
            if (e.dirty != unsavedPass || !IsPlainBackupName(e.backupName)) continue;
            ownsBackup[i] = claimed.insert(e.backupName).second;
        }
    }

    RestorePlan plan;
    const bool keepLoneMemo = restoreSetting && entries.size() == 1;
    for (size_t i = 0; i < entries.size(); ++i) {
        const SessionEntry& e = entries[i];
        const bool unsaved = e.dirty && ownsBackup[i];
        const bool kept = !e.path.empty() || unsaved || keepLoneMemo;
        if (kept) {
            SessionEntry& t = plan.tabs.emplace_back(e);
            if (!ownsBackup[i]) t.backupName.clear();
            t.dirty = unsaved;
            t.encoding = std::clamp(e.encoding, 0, 4);
            t.eol = std::clamp(e.eol, 0, 2);
            t.anchor = std::max<int64_t>(e.anchor, 0);
            t.caret = std::max<int64_t>(e.caret, 0);
            t.firstLine = std::max<int64_t>(e.firstLine, 0);
        }
        // The active entry's tab, or when it is dropped the last tab kept before it.
        const int32_t last = static_cast<int32_t>(plan.tabs.size()) - 1;
        if (static_cast<int64_t>(i) == session.active) plan.active = std::max(last, 0);
    }
    const int32_t count = static_cast<int32_t>(plan.tabs.size());
    plan.active = count == 0 ? -1 : std::clamp(plan.active, 0, count - 1);
    return plan;
}

}  // namespace lumen
