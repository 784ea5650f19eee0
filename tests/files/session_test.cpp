// The session file: its exact text, forgiving reading of damaged or crafted files, the restore
// decision as a table of sessions, and backup names.
#include "files/session.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>

#include "files/backup_name.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

constexpr int64_t kMax64 = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin64 = std::numeric_limits<int64_t>::min();

TEST(Session, TextOfPinnedFileAndUnsavedMemo) {
    Session s;
    s.active = 1;
    s.entries.push_back({L"C:\\노트\\a.txt", L"", false, 3, 2, 5, 7, 1, L"", true});
    s.entries.push_back({L"", L"01db2c5e9a3f4b1000a7", true, 0, 0, -1, 12, 0, L"제목\tA\r\nB", false});
    const std::string text = SessionText(s);
    EXPECT_EQ(text,
              "lumenpad-session 1\nactive=1\n"
              "tab\tC:\\\xEB\x85\xB8\xED\x8A\xB8\\a.txt\t\t0\t3\t2\t5\t7\t1\t\t1\n"
              "tab\t\t01db2c5e9a3f4b1000a7\t1\t0\t0\t-1\t12\t0\t\xEC\xA0\x9C\xEB\xAA\xA9 A  B\n");
    s.entries[1].title = L"제목 A  B";
    EXPECT_EQ(ParseSession(text), s);
}

TEST(Session, ReadingTable) {
    const std::string tab9 = "tab\tp\tb\t1\t2\t1\t10\t20\t30";
    // clang-format off
    const struct { std::string bytes; int active; std::vector<SessionEntry> entries; } cases[] = {
        {"", 0, {}},
        {std::string("garbage") + '\0' + "\xFF\nactive=x\ntab\n\ttab\tp\n", 0, {}},
        // 8 fields are too few; 9 give an entry with no title, unpinned; the version line is not checked.
        {"lumenpad-session 99\ntab\tp\tb\t1\t2\t1\t10\t20\n" + tab9 + "\n", 0,
         {{L"p", L"b", true, 2, 1, 10, 20, 30, L"", false}}},
        // CRLF lines; the last line needs no LF; a later "active=" wins; out of range gives 0.
        {"active=1\r\n" + tab9 + "\tT\r\n" + tab9 + "\t\t7junk\r\nactive=7", 0,
         {{L"p", L"b", true, 2, 1, 10, 20, 30, L"T", false}, {L"p", L"b", true, 2, 1, 10, 20, 30, L"", true}}},
        {"active=1\n" + tab9 + "\n" + tab9 + "\n", 1,
         {{L"p", L"b", true, 2, 1, 10, 20, 30, L"", false}, {L"p", L"b", true, 2, 1, 10, 20, 30, L"", false}}},
        {"active=-1\n" + tab9 + "\n", 0, {{L"p", L"b", true, 2, 1, 10, 20, 30, L"", false}}},
        // Numbers read as far as they are digits and stop at the ends of their range; the 11th field
        // takes the rest of the line; one CR only is dropped before the LF.
        {"tab\t\t\t00\t99999999999\t-4294967296\t99999999999999999999\t-99999999999999999999\t"
         "9223372036854775807x\tT\r\t1\tmore\r\r\n", 0,
         {{L"", L"", false, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::min(), kMax64,
           kMin64, kMax64, L"T\r", true}}},
        {"tab\t\t\t-\t-0\t12ab\t-\t+5\t 3\t\t0", 0, {{L"", L"", false, 0, 12, 0, 0, 0, L"", false}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Session s = ParseSession(c.bytes);
        EXPECT_EQ(s.active, c.active) << c.bytes;
        EXPECT_EQ(s.entries, c.entries) << c.bytes;
    }
}

// "*f1 M2:b m3": f/m a file tab or a memo, capital when dirty, the id (a file's path or a memo's
// title), ":" and a backup name, "*" the active tab.
Session Picture(const std::string& picture) {
    Session s;
    std::istringstream in(picture);
    for (std::string t; in >> t;) {
        if (t[0] == '*') s.active = static_cast<int>(s.entries.size()), t.erase(0, 1);
        SessionEntry& e = s.entries.emplace_back();
        const size_t colon = t.find(':');
        const std::wstring id(t.begin() + 1, t.begin() + std::min(colon, t.size()));
        (tolower(t[0]) == 'f' ? e.path : e.title) = id;
        e.dirty = isupper(t[0]);
        if (colon != std::string::npos) e.backupName.assign(t.begin() + colon + 1, t.end());
    }
    return s;
}
std::string Picture(const RestorePlan& plan) {
    std::string out;
    for (size_t i = 0; i < plan.tabs.size(); ++i) {
        const SessionEntry& e = plan.tabs[i];
        const char kind = e.path.empty() ? 'm' : 'f';
        out += (out.empty() ? "" : " ") + std::string(static_cast<int>(i) == plan.active ? "*" : "") +
               static_cast<char>(e.dirty ? toupper(kind) : kind) + WideToUtf8(e.path + e.title) +
               (e.backupName.empty() ? "" : ":" + WideToUtf8(e.backupName));
    }
    return out;
}

TEST(Session, RestoreTable) {
    // clang-format off
    const struct { const char* session; bool restore; const char* plan; } cases[] = {
        // Memos that would not come back unsaved go; the active one hands over to the tab before it.
        {"f1 M2:b2 *m3 M4", true, "f1 *M2:b2"},
        {"m1 *m2 f3", true, "*f3"},
        {"m1 *M2:b2", false, "*M2:b2"},
        {"*m1 m2", true, ""},
        // A session of one memo keeps it when restoring is on (a forced quit's session with it off).
        {"*m1", true, "*m1"}, {"*M1", true, "*m1"}, {"*m1", false, ""},
        // A file tab always comes back; without a backup it is clean and reads its file.
        {"*F1 f2:x", true, "*f1 f2:x"}, {"F1:b1 *f2", true, "F1:b1 *f2"},
        // Backup names: one per tab, unsaved tabs first; names that could leave the folder are not taken.
        {"M1:b M2:b *M3:b", true, "*M1:b"}, {"f1:b *M2:b", true, "f1 *M2:b"},
        {"M1:..\\x M2:a/b M3:C: M4:.b M5:ok.1_-", true, "*M5:ok.1_-"},
        {"*M1:b f2", true, "*M1:b f2"},
    };
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(Picture(PlanRestore(Picture(c.session), c.restore)), c.plan)
            << c.session << " " << c.restore;

    // Stored values are brought into range.
    Session s;
    s.entries.push_back({L"p", L"", false, 9, 7, -5, kMin64, -1, L"", false});
    s.entries.push_back({L"p", L"", false, -3, -1, kMax64, 4, 2, L"", false});
    const RestorePlan plan = PlanRestore(s, true);
    ASSERT_EQ(plan.tabs.size(), 2u);
    EXPECT_EQ(plan.tabs[0], (SessionEntry{L"p", L"", false, 4, 2, 0, 0, 0, L"", false}));
    EXPECT_EQ(plan.tabs[1], (SessionEntry{L"p", L"", false, 0, 0, kMax64, 4, 2, L"", false}));

    // 10,000 memos naming one backup: all are read, one comes back, the active one hands over to it.
    std::string many;
    for (int i = 0; i < 10000; ++i)
        many += "tab\t\tb\t1\t0\t0\t0\t0\t0\tT\n";
    const Session big = ParseSession(many + "active=9999\n");
    EXPECT_EQ(big.entries.size(), 10000u);
    EXPECT_EQ(big.active, 9999);
    EXPECT_EQ(Picture(PlanRestore(big, true)), "*MT:b");

    // Whether start-up restores at all: restore on, or a session left behind; never in a test or a
    // second instance.
    EXPECT_TRUE(ShouldRestoreSession(true, false, false, false));
    EXPECT_TRUE(ShouldRestoreSession(false, true, false, false));
    EXPECT_FALSE(ShouldRestoreSession(false, false, false, false));
    EXPECT_FALSE(ShouldRestoreSession(true, true, true, false));
    EXPECT_FALSE(ShouldRestoreSession(true, true, false, true));

    // The file counts only when it names a tab.
    test::TempFolder dir;
    EXPECT_FALSE(ReadSessionFile(dir.Wide(L"session.txt"), s));
    dir.Write(L"session.txt", "lumenpad-session 1\nactive=0\n");
    EXPECT_FALSE(ReadSessionFile(dir.Wide(L"session.txt"), s));
    dir.Write(L"session.txt", "tab\tC:\\a.txt\t\t0\t0\t0\t0\t0\t0\t");
    EXPECT_TRUE(ReadSessionFile(dir.Wide(L"session.txt"), s) && s.entries.at(0).path == L"C:\\a.txt");
}

TEST(BackupName, FormatUniquenessAndSafety) {
    EXPECT_EQ(FormatBackupName(0x01db2c5e9a3f4b10ull, 0x100a7), L"01db2c5e9a3f4b1000a7");
    const uint64_t before = CurrentFileTime();
    const std::wstring a = MakeBackupName(), b = MakeBackupName();
    EXPECT_NE(a, b);
    EXPECT_TRUE(IsPlainBackupName(a));
    const uint64_t stamp = std::stoull(WideToUtf8(a.substr(0, 16)), nullptr, 16);
    EXPECT_GE(stamp, before);
    EXPECT_LE(stamp, CurrentFileTime());
    EXPECT_EQ(BackupFilePath(L"D:\\backup", a), L"D:\\backup\\" + a + L".txt");

    for (const wchar_t* bad :
         {L"", L".", L"..", L".hidden", L"a\\b", L"a/b", L"c:x", L"a b", L"한글", L"x\t"})
        EXPECT_FALSE(IsPlainBackupName(bad)) << WideToUtf8(bad);
    EXPECT_FALSE(IsPlainBackupName(std::wstring(65, L'a')));
    EXPECT_TRUE(IsPlainBackupName(std::wstring(64, L'a')));
}

}  // namespace
}  // namespace lumen
