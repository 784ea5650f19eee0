// The crash test's driver: not a test by itself. scripts/crash-test.sh runs it beside the real
// program (lumenpad.exe) in one Wine prefix, in three phases chosen by LUMENPAD_CRASH_PHASE:
//   type    types random Hangul and Latin bursts into the program's tabs (file tabs and memos),
//           journalling every burst with its times, until the program is killed;
//   files   after the kill, before the restart: the session and settings files are whole, every
//           backup the session names holds a state of its tab, every user file holds a state the
//           user typed (never empty or torn);
//   verify  after the restart: every tab is back with everything typed 1.5 s or more before the kill.
// While typing it also saves file tabs now and then (command 102) and toggles line numbers (116, which
// rewrites settings.ini), so that user files and settings are written too, not only backups and the
// session. LUMENPAD_CRASH_AIM (file, backup, session or settings) makes the writes the script
// is aiming its kill at more frequent; LUMENPAD_CRASH_BIG names a large file tab that gets half of the
// bursts in the file and backup rounds, so that its writes last long enough to be cut off.
// Tabs are read from outside with window messages only: a tab is activated with its command
// (300 + index, 308 the last), its text read with WM_GETTEXT from the editor and its name from the
// main window's title. Every tab's title is unique (file names; memos start with a tag "[m<k>]").
// Environment: LUMENPAD_CRASH_DIR (journal and results), LUMENPAD_CRASH_DATA (the data folder),
// LUMENPAD_CRASH_FILES (the folder of the file tabs' files), LUMENPAD_CRASH_SEED, LUMENPAD_CRASH_MEMOS
// (memos to keep open), LUMENPAD_CRASH_KILL (kill time, Unix ns, for files and verify). Each phase prints one
// line "crash-driver <phase>: ..." and fails the case on a fault.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "files/code_page.h"
#include "files/read_whole_file.h"
#include "files/session.h"

namespace lumen {
namespace {

constexpr UINT kSciDocumentEnd = 2318, kSciNewLine = 2329;
constexpr WPARAM kNewTab = 100, kSave = 102, kLineNumbers = 116, kFirstTab = 300, kLastTab = 308;
constexpr int kMaxTabs = 8;
constexpr wchar_t kUntitled[] = L"새 메모";       // an empty memo's title
constexpr int64_t kKeepWindowNs = 1'500'000'000;  // everything typed this long before the kill is back

std::string Env(const char* name, const char* fallback = "") {
    const char* v = std::getenv(name);
    return v ? v : fallback;
}

int64_t NowNs() {
    FILETIME ft;
    GetSystemTimePreciseAsFileTime(&ft);
    const int64_t t = (int64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
    return (t - 116444736000000000) * 100;  // the Unix clock the script reads with date +%s%N
}

// Texts are compared with every line break as LF; the journal keeps them one line each.
std::wstring Normal(std::wstring s) {
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L'\r' && i + 1 < s.size() && s[i + 1] == L'\n') continue;
        out += s[i] == L'\r' ? L'\n' : s[i];
    }
    return out;
}
std::string Escape(const std::wstring& s) {
    std::string out;
    for (char c : WideToUtf8(s))
        out += c == '\n' ? "\\n" : c == '\t' ? "\\t" : c == '\\' ? "\\\\" : std::string(1, c);
    return out;
}
std::wstring Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        out += s[i] != '\\' || i + 1 == s.size() ? s[i] : s[++i] == 'n' ? '\n' : s[i] == 't' ? '\t' : s[i];
    return Utf8ToWide(out);
}
bool StartsWith(const std::wstring& s, const std::wstring& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}
std::wstring FilePath(const std::wstring& name) {
    return Utf8ToWide(Env("LUMENPAD_CRASH_FILES")) + L"\\" + name;
}

struct Program {
    HWND main = nullptr, editor = nullptr;

    bool Find(int waitMs) {
        for (int waited = 0; waited <= waitMs; waited += 100, Sleep(100)) {
            main = FindWindowW(L"Lumenpad.Main", nullptr);
            editor = main ? FindWindowExW(main, nullptr, L"QuillEdit", nullptr) : nullptr;
            if (editor && GetWindowTextLengthW(main) > 0) return true;
        }
        return false;
    }
    bool Send(HWND to, UINT message, WPARAM w = 0, LPARAM l = 0, DWORD_PTR* result = nullptr) {
        DWORD_PTR r = 0;
        const bool ok = SendMessageTimeoutW(to, message, w, l, SMTO_ABORTIFHUNG, 5000, &r) != 0;
        if (result) *result = r;
        return ok;
    }
    bool Command(WPARAM id) { return Send(main, WM_COMMAND, id); }
    // The active tab's name: the window title without the unsaved mark and the program's name.
    std::wstring Title() {
        wchar_t buffer[512] = {};
        GetWindowTextW(main, buffer, 512);
        std::wstring t = buffer;
        if (StartsWith(t, L"*")) t.erase(0, 1);
        const size_t suffix = t.rfind(L" - 루멘판");
        return suffix == std::wstring::npos ? t : t.substr(0, suffix);
    }
    // False when the program did not answer (it may have been killed just now).
    bool Text(std::wstring& out) {
        DWORD_PTR length = 0, got = 0;
        if (!Send(editor, WM_GETTEXTLENGTH, 0, 0, &length)) return false;
        std::wstring text(length + 1, L'\0');
        if (!Send(editor, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &got)) return false;
        text.resize(std::min<size_t>(got, length));
        out = Normal(text);
        return true;
    }
};

struct TabText {
    std::wstring title, text;
    bool Memo() const { return StartsWith(title, L"[m") || title == kUntitled; }
    // A memo's tag ("[m3]"), which stays at the start of its title; a file's name.
    std::wstring Name() const { return Memo() ? title.substr(0, title.find(L']') + 1) : title; }
};

// Every tab in order, by activating each one. The last tab's title ends the walk.
bool ReadTabs(Program& p, std::vector<TabText>& tabs) {
    if (!p.Command(kLastTab)) return false;
    const std::wstring last = p.Title();
    for (int i = 0; i < kMaxTabs; ++i) {
        tabs.push_back({});
        if (!p.Command(kFirstTab + i) || !p.Text(tabs.back().text)) return false;
        tabs.back().title = p.Title();
        // A command that changed nothing (or two tabs of one name) would read one tab twice.
        if (i > 0 && tabs[i].title == tabs[i - 1].title) return false;
        if (tabs.back().title == last) return true;
    }
    return false;
}

// One tab's history in the journal: what it held at the start, and each burst with the times its
// typing began and ended (0 when the kill came first). Typing always appends, so every state is the
// start text and a prefix of everything typed; the journal keeps each burst's units only, which
// keeps it small next to a large tab.
struct History {
    TabText start;
    std::wstring file;   // a file tab's file content at the start
    std::wstring typed;  // every burst's units, in order
    struct Burst {
        int64_t begin, end;
        size_t typed;  // typed.size() after the burst
    };
    std::vector<Burst> bursts;
    std::wstring Final() const { return start.text + typed; }
    // What must be back: the text after the last burst finished before the cut-off.
    std::wstring Required(int64_t cutoff) const {
        size_t n = 0;
        for (const auto& b : bursts)
            if (b.end && b.end <= cutoff) n = b.typed;
        return start.text + typed.substr(0, n);
    }
    // Every text the tab held between bursts.
    bool IsState(const std::wstring& text) const {
        if (text == file) return true;
        if (!StartsWith(text, start.text)) return false;
        const size_t n = text.size() - start.text.size();
        if (n && std::none_of(bursts.begin(), bursts.end(), [&](const Burst& b) { return b.typed == n; }))
            return false;
        return text.compare(start.text.size(), n, typed, 0, n) == 0;
    }
};

std::vector<History> ReadJournal(const std::string& path) {
    std::vector<History> tabs;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string kind, a, b, c;
        std::getline(fields, kind, '\t'), std::getline(fields, a, '\t'), std::getline(fields, b, '\t');
        std::getline(fields, c, '\t');
        if (kind == "T") tabs.push_back({{Unescape(a), Unescape(b)}, Unescape(c), {}, {}});
        if (kind == "B" && std::stoul(b) < tabs.size()) {
            History& h = tabs[std::stoul(b)];
            h.typed += Unescape(c);
            h.bursts.push_back({std::stoll(a), 0, h.typed.size()});
        }
        if (kind == "E" && std::stoul(b) < tabs.size() && !tabs[std::stoul(b)].bursts.empty())
            tabs[std::stoul(b)].bursts.back().end = std::stoll(a);
    }
    return tabs;
}

class Journal {
public:
    explicit Journal(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
    ~Journal() {
        if (file_) std::fclose(file_);
    }
    void Line(const std::string& line) {
        std::fputs((line + "\n").c_str(), file_);
        std::fflush(file_);
    }

private:
    FILE* file_;
};

std::wstring RandomUnit(std::mt19937& random, bool lineStart) {
    const int pick = random() % 100;
    if (pick < 50) return std::wstring(1, static_cast<wchar_t>(0xAC00 + random() % 11172));
    if (pick < 75) return std::wstring(1, static_cast<wchar_t>((random() % 2 ? L'a' : L'A') + random() % 26));
    if (pick < 82) return std::wstring(1, static_cast<wchar_t>(L'0' + random() % 10));
    if (pick < 87) return std::wstring(1, L".,!?"[random() % 4]);
    // No blank at a line start: automatic indentation would repeat it on the next line.
    if (lineStart) return L"가";
    return pick < 95 ? L" " : L"\n";
}

// Types `units` into the active tab (at its end) and journals the burst as tab `index`.
bool TypeBurst(Program& p, Journal& journal, int index, std::wstring& text, const std::wstring& units,
               std::mt19937& random) {
    journal.Line("B\t" + std::to_string(NowNs()) + "\t" + std::to_string(index) + "\t" + Escape(units));
    if (!p.Send(p.editor, kSciDocumentEnd)) return false;
    for (wchar_t unit : units) {
        if (!(unit == L'\n' ? p.Send(p.editor, kSciNewLine) : p.Send(p.editor, WM_CHAR, unit))) return false;
        Sleep(15 + random() % 20);
    }
    text += units;
    journal.Line("E\t" + std::to_string(NowNs()) + "\t" + std::to_string(index));
    return true;
}

void TypePhase(const std::string& dir) {
    Program p;
    ASSERT_TRUE(p.Find(30000)) << "no Lumenpad.Main window with an editor";
    std::vector<TabText> tabs;
    ASSERT_TRUE(ReadTabs(p, tabs)) << "could not walk the tabs with commands 300 to 308 (more than 8 tabs, "
                                      "two with one title, or the commands do nothing)";
    Journal journal(dir + "\\journal.txt");
    int nextTag = 1;
    for (const TabText& tab : tabs)
        if (StartsWith(tab.title, L"[m"))
            nextTag = std::max(nextTag, std::stoi(WideToUtf8(tab.title.substr(2))) + 1);
    // An untitled empty memo (a start without tabs) gets a tag as its first words, like a new one.
    std::vector<int> untagged;
    for (size_t i = 0; i < tabs.size(); ++i) {
        std::string file;
        uint32_t error = 0;
        if (!tabs[i].Memo()) ReadWholeFile(FilePath(tabs[i].title), file, error);
        if (tabs[i].title == kUntitled) {
            tabs[i].title = L"[m" + std::to_wstring(nextTag++) + L"] ";
            untagged.push_back(static_cast<int>(i));
        }
        journal.Line("T\t" + Escape(tabs[i].title) + "\t" + Escape(tabs[i].text) + "\t" +
                     Escape(Normal(Utf8ToWide(file))));
    }
    std::mt19937 random(std::stoul(Env("LUMENPAD_CRASH_SEED", "1")));
    for (int i : untagged)
        if (!p.Command(kFirstTab + i) || !TypeBurst(p, journal, i, tabs[i].text, tabs[i].title, random))
            return;
    // New memos go after the last tab and begin with their tag.
    int memos = static_cast<int>(std::count_if(tabs.begin(), tabs.end(), [](auto& t) { return t.Memo(); }));
    for (int want = std::stoi(Env("LUMENPAD_CRASH_MEMOS", "3")); memos < want && tabs.size() < kMaxTabs;
         ++memos) {
        if (!p.Command(kLastTab) || !p.Command(kNewTab)) return;
        ASSERT_EQ(p.Title(), kUntitled) << "command 100 made no new memo";
        const std::wstring tag = L"[m" + std::to_wstring(nextTag++) + L"] ";
        tabs.push_back({tag, L""});
        journal.Line("T\t" + Escape(tag) + "\t");
        if (!TypeBurst(p, journal, static_cast<int>(tabs.size()) - 1, tabs.back().text, tag, random)) return;
    }
    const std::string aim = Env("LUMENPAD_CRASH_AIM");
    const bool fileAim = aim == "file";
    const auto big = std::find_if(tabs.begin(), tabs.end(),
                                  [](auto& t) { return t.title == Utf8ToWide(Env("LUMENPAD_CRASH_BIG")); });
    const int saveChance = fileAim ? 40 : 10, settingsChance = aim == "settings" ? 100 : 10;
    int bursts = 0;
    // Short bursts (under half a second) and pauses longer than the one-second backup delay, as a
    // person types; until the program is killed.
    for (;; ++bursts) {
        const int index = big != tabs.end() && (fileAim || aim == "backup") && random() % 2
                              ? static_cast<int>(big - tabs.begin())
                              : static_cast<int>(random() % tabs.size());
        if (!p.Command(kFirstTab + index)) break;
        std::wstring units;
        bool lineStart = tabs[index].text.empty() || tabs[index].text.back() == L'\n';
        for (int n = 3 + random() % 8; n > 0; --n) {
            units += RandomUnit(random, lineStart);
            lineStart = units.back() == L'\n';
        }
        if (!TypeBurst(p, journal, index, tabs[index].text, units, random)) break;
        if (!tabs[index].Memo() && static_cast<int>(random() % 100) < saveChance && !p.Command(kSave)) break;
        if (static_cast<int>(random() % 100) < settingsChance && !p.Command(kLineNumbers)) break;
        const int pause = 1200 + random() % 1800;
        for (int slept = 0; slept < pause && IsWindow(p.main); slept += 100)
            Sleep(100);
    }
    std::printf("crash-driver type: %zu tabs, %d bursts\n", tabs.size(), bursts);
}

void FilesPhase(const std::string& dir, const std::wstring& data, int64_t kill) {
    const std::vector<History> tabs = ReadJournal(dir + "\\journal.txt");
    ASSERT_FALSE(tabs.empty()) << "no journal";
    int checked = 0;
    std::string faults;
    // The session is written by replacing it: whole, and every backup it names holds a state of its
    // tab. A memo's backup must be there; a file tab's may have been deleted by a save whose session
    // write the kill cut off, and then the tab comes back from its file, which is checked below.
    std::string bytes;
    uint32_t error = 0;
    if (ReadWholeFile(data + L"\\session.txt", bytes, error)) {
        if (!bytes.starts_with("lumenpad-session 1\nactive=") || !bytes.ends_with("\n"))
            faults += " session-torn";
        for (const SessionEntry& e : ParseSession(bytes).entries) {
            if (!e.dirty || e.backupName.empty()) continue;
            const std::wstring name = e.path.substr(e.path.find_last_of(L'\\') + 1);
            const auto tab = std::find_if(tabs.begin(), tabs.end(), [&](const History& h) {
                return e.path.empty() ? h.start.Memo() && StartsWith(e.title, h.start.Name())
                                      : !h.start.Memo() && h.start.title == name;
            });
            std::string backup;
            if (!ReadWholeFile(data + L"\\backup\\" + e.backupName + L".txt", backup, error)) {
                if (e.path.empty()) faults += " missing-backup:" + WideToUtf8(e.backupName);
            } else if (tab != tabs.end() && !tab->IsState(Normal(Utf8ToWide(backup)))) {
                faults += " torn-backup:" + WideToUtf8(e.backupName);
            }
        }
    }
    // Settings are replaced the same way: the one line the script wrote, or the program's whole text.
    if (ReadWholeFile(data + L"\\settings.ini", bytes, error) &&
        !(bytes.ends_with("\n") &&
          ((bytes.starts_with("autosave=") && bytes.size() <= 11) ||
           (bytes.starts_with("font=") && bytes.find("\naccent=") != std::string::npos))))
        faults += " settings-torn";
    // User files hold one of the states typed, never a part of one.
    std::map<std::wstring, const History*> byName;
    for (const History& h : tabs)
        if (!h.start.Memo()) byName[h.start.title] = &h;
    for (const auto& [name, history] : byName) {
        ++checked;
        std::string content;
        if (!ReadWholeFile(FilePath(name), content, error))
            faults += " missing-file:" + WideToUtf8(name);
        else if (content.empty() || !history->IsState(Normal(Utf8ToWide(content))))
            faults += " torn-file:" + WideToUtf8(name);
    }
    std::printf("crash-driver files: kill at %lld, %d files checked, faults:%s\n",
                static_cast<long long>(kill), checked, faults.empty() ? " none" : faults.c_str());
    EXPECT_EQ(faults, "");
}

void VerifyPhase(const std::string& dir, int64_t kill) {
    const std::vector<History> expected = ReadJournal(dir + "\\journal.txt");
    ASSERT_FALSE(expected.empty()) << "no journal";
    Program p;
    ASSERT_TRUE(p.Find(30000)) << "the program did not come back";
    std::vector<TabText> back;
    ASSERT_TRUE(ReadTabs(p, back)) << "could not walk the restored tabs";
    std::string faults;
    size_t j = 0;
    int checked = 0, dropped = 0;
    for (const History& h : expected) {
        const std::wstring required = h.Required(kill - kKeepWindowNs), final = h.Final();
        const bool here = j < back.size() && back[j].Name() == h.start.Name();
        if (!here) {
            if (required.empty() && h.start.Memo())
                ++dropped;  // a memo with nothing typed long enough ago: rightly not restored
            else
                faults += " lost-tab:" + WideToUtf8(h.start.title);
            continue;
        }
        const std::wstring& got = back[j++].text;
        ++checked;
        if (!StartsWith(got, required) || !StartsWith(final, got))
            faults += " wrong-text:" + WideToUtf8(h.start.title) + "(" + std::to_string(got.size()) + " of " +
                      std::to_string(required.size()) + ".." + std::to_string(final.size()) + ")";
    }
    for (; j < back.size(); ++j)
        faults += " extra-tab:" + WideToUtf8(back[j].title);
    std::printf("crash-driver verify: %d tabs checked, %d empty memos dropped, faults:%s\n", checked, dropped,
                faults.empty() ? " none" : faults.c_str());
    EXPECT_EQ(faults, "");
}

TEST(CrashDriver, DISABLED_Run) {
    const std::string phase = Env("LUMENPAD_CRASH_PHASE"), dir = Env("LUMENPAD_CRASH_DIR");
    ASSERT_FALSE(dir.empty()) << "LUMENPAD_CRASH_DIR is not set";
    const int64_t kill = std::stoll(Env("LUMENPAD_CRASH_KILL", "0"));
    if (phase == "type")
        TypePhase(dir);
    else if (phase == "files")
        FilesPhase(dir, Utf8ToWide(Env("LUMENPAD_CRASH_DATA")), kill);
    else if (phase == "verify")
        VerifyPhase(dir, kill);
    else
        FAIL() << "LUMENPAD_CRASH_PHASE must be type, files or verify";
}

}  // namespace
}  // namespace lumen
