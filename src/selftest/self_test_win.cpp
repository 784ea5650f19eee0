// The self-test: checks run against the real window, editor, tab model and file code, with messages
// pumped between steps so painting and notifications happen as they would for a user.
#include "selftest/self_test.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/bands.h"
#include "app/commands.h"
#include "app/edit_step.h"
#include "app/editor_calls.h"
#include "app/quit_decisions.h"
#include "app/saving.h"
#include "app/settings_pages.h"
#include "app/tabs.h"
#include "app/theme_apply.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"
#include "files/data_folder.h"
#include "files/open_files.h"
#include "files/read_whole_file.h"
#include "files/save_file.h"
#include "files/session.h"
#include "files/settings.h"
#include "files/print.h"
#include "files/text_codecs.h"
#include "tools/find_card.h"

namespace lumen {

using namespace quill;

void Check(SelfTestResults& results, std::string_view name, bool ok, std::string_view detail) {
    ++(ok ? results.passed : results.failed);
    results.lines += ok ? "PASS  " : "FAIL  ";
    results.lines += name;
    if (!detail.empty()) {
        results.lines += "  (";
        results.lines += detail;
        results.lines += ")";
    }
    results.lines += "\r\n";
}

std::string SelfTestReport(const SelfTestResults& results) {
    char summary[64];
    std::snprintf(summary, sizeof(summary), "selftest: %d passed, %d failed\r\n", results.passed,
                  results.failed);
    return summary + results.lines;
}

void SetEditorText(App& app, std::string_view utf8) {
    const std::string text(utf8);
    Ed(app, SCI_SETTEXT, 0, text.c_str());
}

std::string EditorText(App& app) {
    return std::string(EditorWholeText(app));
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / frequency;
}

std::wstring TestFolder(const wchar_t* name) {
    const std::wstring folder = DataFolder() + L"\\" + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void FinishTestRun(App& app, const std::string& report) {
    HANDLE file = CreateFileW(app.testPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
        CloseHandle(file);
    }
    for (auto& tab : app.tabs.tabs)
        tab->dirty = false;
    PostMessageW(app.hwnd, WM_CLOSE, 0, 0);
}

namespace {

std::string Number(int64_t value) {
    return std::to_string(value);
}

// Opening the same text written in each of the five encodings.
void CheckOpenEncodings(App& app, SelfTestResults& r, const std::wstring& folder) {
    const struct {
        const char* name;
        TextEncoding encoding;
    } files[] = {{"utf8.txt", TextEncoding::Utf8},
                 {"utf8bom.txt", TextEncoding::Utf8Bom},
                 {"utf16le.txt", TextEncoding::Utf16Le},
                 {"utf16be.txt", TextEncoding::Utf16Be},
                 {"ansi.txt", TextEncoding::Ansi}};
    for (const auto& f : files) {
        const std::string text =
            f.encoding == TextEncoding::Ansi ? "가나다 abc\r\n둘째 줄" : "가나다 abc\r\n둘째 줄 ✓";
        const std::wstring path = folder + L"\\" + Utf8ToWide(f.name);
        const std::string bytes = EncodeFromUtf8(text, f.encoding);
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
            CloseHandle(file);
        }
        OpenFiles(app, {path});
        PumpMessages();
        const Tab* tab = app.tabs.Active();
        const bool ok = tab && tab->path == path && EditorText(app) == text &&
                        tab->encoding == static_cast<uint32_t>(f.encoding);
        Check(r, std::string("open ") + f.name, ok, tab ? "enc=" + Number(tab->encoding) : "no tab");
    }
}

void CheckDuplicateOpen(App& app, SelfTestResults& r, const std::wstring& folder) {
    const std::wstring path = folder + L"\\utf8.txt";
    const int before = app.tabs.Count();
    OpenFiles(app, {path});
    PumpMessages();
    const Tab* tab = app.tabs.Active();
    Check(r, "duplicate open reuses tab", app.tabs.Count() == before && tab && tab->path == path,
          "tabs " + Number(before) + " -> " + Number(app.tabs.Count()));
}

// The line commands through the dispatcher, as the keys and menus send them. A case without its own
// text works on the previous result; the selection is the given line range, or everything.
void CheckLineCommands(App& app, SelfTestResults& r) {
    NewTab(app);
    SetFocus(app.editor);
    const struct {
        const char* name;
        const char* text;
        int first, last;  // lines to select; -1: all
        int command;
        const char* expected;
    } cases[] = {
        {"line up", "one\r\ntwo\r\nthree", 1, 1, 153, "two\r\none\r\nthree"},
        {"line down", "one\r\ntwo\r\nthree", 1, 1, 154, "one\r\nthree\r\ntwo"},
        {"line delete", "one\r\nthree\r\ntwo", 0, 0, 155, "three\r\ntwo"},
        {"line join", "alpha  \r\n    beta\r\ngamma", 0, 1, 156, "alpha beta\r\ngamma"},
        {"trim trailing", "a \t\r\n\r\n  \r\nb\t\r\n\tc", -1, -1, 158, "a\r\n\r\n\r\nb\r\n\tc"},
        {"remove blank", nullptr, -1, -1, 161, "a\r\nb\r\n\tc"},
        {"tabs to spaces", nullptr, -1, -1, 159, "a\r\nb\r\n    c"},
        {"spaces to tabs", nullptr, -1, -1, 160, "a\r\nb\r\n\tc"},
        {"dedup", "b\r\na\r\nb", -1, -1, 147, "b\r\na"},
    };
    for (const auto& c : cases) {
        if (c.text) SetEditorText(app, c.text);
        if (c.first < 0) {
            Ed(app, SCI_SELECTALL);
        } else {
            Ed(app, SCI_SETSEL, static_cast<uintptr_t>(Ed(app, SCI_POSITIONFROMLINE, c.first)),
               Ed(app, SCI_POSITIONFROMLINE, c.last) + 1);
        }
        DispatchCommand(app, c.command);
        PumpMessages();
        const std::string text = EditorText(app);
        const bool ok = text == c.expected;
        Check(r, c.name, ok, ok ? std::string() : "got " + std::to_string(text.size()) + " bytes");
    }
}

void CheckPinning(App& app, SelfTestResults& r) {
    const int later = app.tabs.Count() - 2;
    const Tab* tab = app.tabs.Valid(later) ? app.tabs.tabs[later].get() : nullptr;
    TogglePin(app, later);
    PumpMessages();
    Check(r, "pin moves to front", tab && app.tabs.tabs[0].get() == tab && tab->pinned);
    TogglePin(app, 0);
    PumpMessages();
    int at = -1;
    for (int i = 0; i < app.tabs.Count(); ++i)
        if (app.tabs.tabs[i].get() == tab) at = i;
    Check(r, "unpin", tab && !tab->pinned && at >= PinnedCount(app.tabs), "index " + Number(at));
}

// The find card on a new memo: the count with each toggle, replace all, replace all with nothing.
void CheckFind(App& app, SelfTestResults& r) {
    NewTab(app);
    FindCardState& f = app.find;
    auto search = [&](const wchar_t* needle, const wchar_t* replacement) {
        OpenFindCard(app, replacement ? FindMode::Replace : FindMode::Find);
        SetWindowTextW(f.findEdit, needle);
        if (replacement) SetWindowTextW(f.replaceEdit, replacement);
        PumpMessages();
    };
    SetEditorText(app, "apple Apple apple pineapple");
    Ed(app, SCI_SETEMPTYSELECTION, 0);
    f.matchCase = f.wholeWord = false;
    search(L"apple", nullptr);
    const struct {
        const char* name;
        bool matchCase, wholeWord;
        int32_t count;
    } counts[] = {{"find count", false, false, 4},
                  {"find match case", true, false, 3},
                  {"find whole word", true, true, 2}};
    for (const auto& c : counts) {
        f.matchCase = c.matchCase;
        f.wholeWord = c.wholeWord;
        RecountMatches(app);
        PumpMessages();
        Check(r, c.name, f.matchCount == c.count, "count " + Number(f.matchCount));
    }
    search(L"apple", L"pear");
    ReplaceAll(app);
    PumpMessages();
    Check(r, "replace all", EditorText(app) == "pear Apple pear pineapple", EditorText(app));
    f.matchCase = f.wholeWord = false;
    SetEditorText(app, "xxxx-axxb");
    search(L"x", L"");
    ReplaceAll(app);
    PumpMessages();
    Check(r, "replace all with nothing", EditorText(app) == "-ab", EditorText(app));
    f.matchCase = f.wholeWord = false;
    CloseFindCard(app);
    CloseTab(app, app.tabs.active, false);
}

void CheckCounters(App& app, SelfTestResults& r) {
    NewTab(app);
    SetEditorText(app, "하나 둘\xE3\x80\x80셋\r\nfour");
    Ed(app, SCI_SETEMPTYSELECTION, 0);
    const int32_t saved = app.settings.count;
    const struct {
        const char* name;
        int32_t mode;
        const wchar_t* expected;
    } cases[] = {{"word count", 1, L"4단어"}, {"line count", 2, L"2줄"}};
    for (const auto& c : cases) {
        app.settings.count = c.mode;
        RefreshCounts(app);
        PumpMessages();
        Check(r, c.name, app.status.countText == c.expected, WideToUtf8(app.status.countText));
    }
    app.settings.count = saved;
    RefreshCounts(app);
}

// Typing into the middle of a long line and taking it out again re-lays out only part of the line:
// positions and widths must agree with the untouched line at every step.
void CheckLongLinePatch(App& app, SelfTestResults& r, bool wrap) {
    Ed(app, SCI_SETWRAPMODE, wrap ? SC_WRAP_WORD : SC_WRAP_NONE);
    NewTab(app);
    std::string line;
    for (int i = 0; i < 500; ++i)  // 12 characters each: 6,000 in all
        line += "가나다 abc 123 ";
    SetEditorText(app, line);
    const int64_t p = Ed(app, SCI_POSITIONRELATIVE, 0, 3000);
    const int64_t samples[] = {0, p - 18, p - 1, p, p + 18, p + 180, static_cast<int64_t>(line.size())};
    struct Point {
        int64_t x = 0, y = 0;
        bool operator==(const Point&) const = default;
    };
    // Positions relative to the start of the line, so scrolling does not count.
    auto at = [&](int64_t q) {
        const Point origin{Ed(app, SCI_POINTXFROMPOSITION, 0, 0), Ed(app, SCI_POINTYFROMPOSITION, 0, 0)};
        return Point{Ed(app, SCI_POINTXFROMPOSITION, 0, q) - origin.x,
                     Ed(app, SCI_POINTYFROMPOSITION, 0, q) - origin.y};
    };
    Ed(app, SCI_GOTOPOS, static_cast<uintptr_t>(p));
    PumpMessages();
    std::vector<Point> before;
    for (int64_t q : samples)
        before.push_back(at(q));
    const int64_t rowsBefore = Ed(app, SCI_WRAPCOUNT, 0);

    bool ok = p > 0;
    std::string detail;
    const struct {
        const char* text;
        int64_t offset;  // bytes inserted before it
    } inserts[] = {{"한", 0}, {"\xF0\x9F\x98\x80", 3}};
    for (const auto& insert : inserts) {
        const int64_t length = static_cast<int64_t>(std::string_view(insert.text).size());
        Ed(app, SCI_ADDTEXT, static_cast<uintptr_t>(length), insert.text);
        PumpMessages();
        const int64_t width = Ed(app, SCI_TEXTWIDTH, STYLE_DEFAULT, insert.text);
        const Point start = at(p + insert.offset), end = at(p + insert.offset + length);
        ok = ok && Ed(app, SCI_GETCURRENTPOS) == p + insert.offset + length;
        if (!wrap) {
            // The text before the insertion keeps its place; everything after moves by the width.
            ok = ok && std::abs(end.x - start.x - width) <= 1 && at(p - 18) == before[1];
            const int64_t shift = at(p + insert.offset + length + 18).x - before[4].x;
            ok = ok && shift == at(p + insert.offset + length + 180).x - before[5].x;
        } else {
            ok = ok && at(0) == before[0] && end.y >= start.y;
        }
        if (!ok && detail.empty())
            detail = std::string("after inserting ") + (insert.offset ? "emoji" : "Hangul");
    }
    Ed(app, SCI_DELETEBACK);
    Ed(app, SCI_DELETEBACK);
    PumpMessages();
    ok = ok && EditorText(app) == line && Ed(app, SCI_GETCURRENTPOS) == p &&
         Ed(app, SCI_WRAPCOUNT, 0) == rowsBefore;
    for (size_t i = 0; i < std::size(samples); ++i) {
        if (!(at(samples[i]) == before[i])) {
            ok = false;
            if (detail.empty()) detail = "position " + Number(samples[i]) + " moved";
        }
    }
    Check(r, wrap ? "long line patch (wrapped)" : "long line patch", ok, detail);
    CloseTab(app, app.tabs.active, false);
    Ed(app, SCI_SETWRAPMODE, app.settings.wrap ? SC_WRAP_WORD : SC_WRAP_NONE);
}

std::string ReadFile(const std::wstring& path) {
    std::string bytes;
    uint32_t error = 0;
    ReadWholeFile(path, bytes, error);
    return bytes;
}

// Each file opened by CheckOpenEncodings, spoilt on disk and saved again from its tab, holds what was
// written first: the same encoding, byte-order mark and line breaks.
void CheckSaveEncodings(App& app, SelfTestResults& r, const std::wstring& folder) {
    for (const char* name : {"utf8.txt", "utf8bom.txt", "utf16le.txt", "utf16be.txt", "ansi.txt"}) {
        const std::wstring path = folder + L"\\" + Utf8ToWide(name);
        const std::string first = ReadFile(path);
        const int index = FindTabByPath(app.tabs, path);
        WriteNewFile(path, "spoilt");
        bool saved = false;
        if (index >= 0) {
            app.tabs.tabs[index]->dirty = true;
            saved = SaveTab(app, index, false);
        }
        const std::string now = ReadFile(path);
        Check(r, std::string("save ") + name,
              saved && !first.empty() && now == first && !IsUnsaved(*app.tabs.Active()),
              index < 0 ? "no tab" : Number(static_cast<int64_t>(now.size())) + " bytes");
    }
}

// The session file written by the edit step reads back as the tabs it was made from.
void CheckSessionRoundTrip(App& app, SelfTestResults& r) {
    app.lastSessionText.clear();
    ScheduleSessionSave(app);
    app.writer.Stop();
    Session read;
    const bool ok = ReadSessionFile(SessionPath(), read);
    const Session written = SessionOfTabs(app.tabs);
    Check(r, "session round trip", ok && read == written,
          Number(static_cast<int64_t>(read.entries.size())) + " of " +
              Number(static_cast<int64_t>(written.entries.size())) + " tabs");
}

// With autosave on, an edited file tab reaches its file once typing stops, through the real timer.
void CheckAutosave(App& app, SelfTestResults& r, const std::wstring& folder) {
    const std::wstring path = folder + L"\\autosave.txt";
    WriteNewFile(path, "before\n");
    OpenFiles(app, {path});
    PumpMessages();
    app.settings.autosave = true;
    Ed(app, SCI_DOCUMENTEND);
    Ed(app, SCI_ADDTEXT, 5, "after");
    std::string now;
    for (const double until = NowMs() + 4000; NowMs() < until && now != "before\nafter"; Sleep(20)) {
        PumpMessages();
        now = ReadFile(path);
    }
    app.settings.autosave = false;
    const Tab* tab = app.tabs.Active();
    Check(r, "autosave", now == "before\nafter" && tab && !IsUnsaved(*tab) && tab->backupName.empty(),
          std::to_string(now.size()) + " bytes");
}

// With keeplast on, closing the last tab leaves an empty memo and the window open.
void CheckKeepLastTab(App& app, SelfTestResults& r) {
    app.settings.keeplast = true;
    while (app.tabs.Count() > 1)
        CloseTab(app, app.tabs.Count() - 1, false);
    const bool closed = CloseTab(app, 0, false);
    MSG msg;
    const bool closing = PeekMessageW(&msg, app.hwnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE) != FALSE;
    const Tab* tab = app.tabs.Active();
    Check(r, "keep last tab",
          closed && !closing && app.tabs.Count() == 1 && tab && tab->path.empty() && EditorLength(app) == 0 &&
              IsWindow(app.hwnd));
    app.settings.keeplast = false;
}

// Changes through the settings window's apply function reach the editor and the palette at once, and
// the record written to a settings file reads back the same. The settings are put back afterwards.
void CheckSettingsRoundTrip(App& app, SelfTestResults& r, const std::wstring& folder) {
    const Settings before = app.settings;
    const int32_t tabChoice = TabWidthChoice(before.tab) == 0 ? 2 : 0;
    ApplySetting(app, kSetTabWidth, tabChoice);
    ApplySetting(app, kSetWhitespace, before.ws ? 0 : 1);
    ApplySetting(app, kSetNewEol, before.neweol == 2 ? 0 : 1);
    ApplySetting(app, kSetAccent, 3);
    ApplySetting(app, kSetTheme, 2);
    PumpMessages();
    const bool applied =
        Ed(app, SCI_GETTABWIDTH) == TabWidthOfChoice(tabChoice) &&
        (Ed(app, SCI_GETVIEWWS) != 0) == !before.ws && app.palette.dark &&
        Ed(app, SCI_STYLEGETBACK, STYLE_DEFAULT) == static_cast<intptr_t>(app.palette.editorBack);
    const std::wstring path = folder + L"\\settings.ini";
    const bool saved = SaveSettingsFile(path, app.settings, SettingsLoad{});
    Settings read;
    const SettingsLoad load = LoadSettingsFile(path, read);
    const bool same = load.readOk && read == app.settings;
    Check(r, "settings round trip", applied && saved && same,
          std::string(applied ? "" : "not applied ") + (saved ? "" : "not saved ") + (same ? "" : "differs"));
    app.settings = before;
    ResolveTheme(app);
    ApplyTheme(app);
}

// Printing a document of wrapping and Korean lines into a file on the PDF printer, when there is one.
void CheckPrint(App& app, SelfTestResults& r, const std::wstring& folder) {
    const wchar_t* printer = L"Microsoft Print to PDF";
    HDC probe = CreateDCW(L"WINSPOOL", printer, nullptr, nullptr);
    if (!probe) {
        r.lines += "SKIP  print to PDF (no PDF printer)\r\n";
        return;
    }
    DeleteDC(probe);
    NewTab(app);
    std::string text;
    for (int i = 1; i <= 40; ++i)
        text +=
            "\tThe quick brown fox jumps over the lazy dog, again and again and again until the line "
            "wraps.\r\n인쇄 시험 줄 " +
            Number(i) + "\r\n";
    SetEditorText(app, text);
    PumpMessages();
    const std::wstring output = folder + L"\\print.pdf";
    DeleteFileW(output.c_str());
    const std::optional<int32_t> pages = PrintTextToPrinter(printer, Utf8ToWide(EditorText(app)), output,
                                                            TabTitle(*app.tabs.Active()), app.settings);
    WIN32_FILE_ATTRIBUTE_DATA file{};
    const bool written = GetFileAttributesExW(output.c_str(), GetFileExInfoStandard, &file) &&
                         (file.nFileSizeLow || file.nFileSizeHigh);
    Check(r, "print to PDF", pages.value_or(0) > 0 && written, Number(pages.value_or(0)) + " pages");
    CloseTab(app, app.tabs.active, false);
}

}  // namespace

void RunSelfTest(App& app) {
    SelfTestResults results;
    const std::wstring folder = TestFolder(L"selftest");
    CheckOpenEncodings(app, results, folder);
    CheckSaveEncodings(app, results, folder);
    CheckDuplicateOpen(app, results, folder);
    CheckLineCommands(app, results);
    CheckFind(app, results);
    CheckPinning(app, results);
    CheckCounters(app, results);
    CheckLongLinePatch(app, results, false);
    CheckLongLinePatch(app, results, true);
    CheckSessionRoundTrip(app, results);
    CheckAutosave(app, results, folder);
    CheckKeepLastTab(app, results);
    CheckSettingsRoundTrip(app, results, folder);
    CheckPrint(app, results, folder);
    FinishTestRun(app, SelfTestReport(results));
}

}  // namespace lumen
