// The real program, started as a user starts it: files on the command line (good and bad ones), a
// second launch handing its files over (also while the first is busy, and two at once), typing, and
// "--bench". State is read through the window: its title, and the editor's text by WM_GETTEXT.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/program_support.h"
#include "support/temp_folder.h"

namespace lumen {
namespace {

using test::Program;
using test::TopWindows;
using test::WaitFor;
using test::WindowText;

// The editor's whole text, asked across the process boundary.
std::wstring EditorText(HWND main) {
    HWND editor = FindWindowExW(main, nullptr, L"QuillEdit", nullptr);
    if (!editor) return L"<no editor>";
    std::wstring text(static_cast<size_t>(SendMessageW(editor, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<size_t>(
        SendMessageW(editor, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::wstring Quoted(const std::wstring& path) {
    return L"\"" + path + L"\"";
}

std::wstring Title(const std::wstring& name) {
    return name + L" - 루멘판";
}

// Every kind of path a user may pass: each ends in a tab named after the file or no tab at all, and
// the program keeps running.
TEST(Program, OpensEachKindOfPathFromTheCommandLine) {
    ASSERT_NE(GetFileAttributesW(test::ProgramPath().c_str()), INVALID_FILE_ATTRIBUTES)
        << "lumenpad.exe beside the tests";
    test::TempFolder files;
    files.Write(L"한글 이름 있는.txt", "첫 줄\r\n둘째");
    files.Write(L"empty.txt", "");
    CreateDirectoryW(files.Wide(L"folder").c_str(), nullptr);
    std::wstring deep = files.Wide();
    while (deep.size() < 292) {
        deep += L"\\" + std::wstring(60, L'd');
        CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr);
    }
    const std::wstring longPath = deep + L"\\long.txt";
    HANDLE h =
        CreateFileW((L"\\\\?\\" + longPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, "deep", 4, &written, nullptr);
    CloseHandle(h);
    ASSERT_GT(longPath.size(), 300u);

    struct Case {
        std::wstring arguments;
        std::wstring title;  // of the active tab
        std::wstring text;   // in the editor
    };
    std::vector<Case> cases = {
        {L"\t\"\" " + Quoted(files.Wide(L"empty.txt")) + L" \"\"", Title(L"empty.txt"), L""},
        {Quoted(files.Wide(L"missing.txt")), Title(L"missing.txt"), L""},
        {Quoted(files.Wide(L"folder")), Title(L"새 메모"), L""},
        {Quoted(longPath), Title(L"long.txt"), L"deep"},
    };
    // Wine stores file names in the encoding of the Unix locale: without a UTF-8 locale installed it
    // cannot make a Hangul name at all, whatever the ANSI code page.
    if (GetFileAttributesW(files.Wide(L"한글 이름 있는.txt").c_str()) != INVALID_FILE_ATTRIBUTES) {
        cases.push_back(
            {Quoted(files.Wide(L"한글 이름 있는.txt")), Title(L"한글 이름 있는.txt"), L"첫 줄\r\n둘째"});
    } else {
        std::printf("note: no Hangul file name here (no UTF-8 locale for Wine); that case is left out\n");
    }
    for (const auto& c : cases) {
        const test::TempFolder data;  // each start its own: a session would bring the last case's tabs back
        Program program(c.arguments, data);
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForTitle(c.title);
        EXPECT_EQ(WindowText(window), c.title) << c.arguments;
        EXPECT_EQ(EditorText(window), c.text) << c.arguments;
        EXPECT_EQ(program.ExitCode(0), -1) << "still running: " << c.arguments;
    }
}

// Typing marks the tab unsaved in the title; closing the window ends the process.
TEST(Program, TypingMarksTheTabUnsaved) {
    test::TempFolder files, data;
    files.Write(L"a.txt", "a");
    Program program(Quoted(files.Wide(L"a.txt")), data);
    HWND window = program.WaitForTitle(Title(L"a.txt"));
    ASSERT_NE(window, nullptr);
    HWND editor = FindWindowExW(window, nullptr, L"QuillEdit", nullptr);
    PostMessageW(editor, WM_CHAR, L'가', 0);
    EXPECT_NE(program.WaitForTitle(L"*" + Title(L"a.txt")), nullptr);
    EXPECT_EQ(EditorText(window), L"가a");
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(10000), 0);
}

// A second launch hands its files to the running window and ends with 0: one file, fifty, none.
TEST(Program, SecondLaunchHandsItsFilesOver) {
    test::TempFolder files, data;
    std::wstring fifty;
    for (int i = 1; i <= 50; ++i) {
        const std::wstring name = L"f" + std::to_wstring(i) + L".txt";
        files.Write(name, "file " + std::to_string(i));
        fifty += Quoted(files.Wide(name)) + L" ";
    }
    Program first(Quoted(files.Wide(L"f1.txt")), data);
    HWND window = first.WaitForTitle(Title(L"f1.txt"));
    ASSERT_NE(window, nullptr);
    const struct {
        std::wstring arguments, title, text;
    } launches[] = {
        {Quoted(files.Wide(L"f2.txt")), Title(L"f2.txt"), L"file 2"},
        {fifty, Title(L"f50.txt"), L"file 50"},
        {Quoted(files.Wide(L"F1.TXT")), Title(L"f1.txt"), L"file 1"},  // already open: only activated
        {L"", Title(L"새 메모"), L""},                                 // no files: a new memo
    };
    for (const auto& launch : launches) {
        Program second(launch.arguments, data);
        EXPECT_EQ(second.ExitCode(10000), 0) << launch.arguments.substr(0, 60);
        EXPECT_EQ(WindowText(first.WaitForTitle(launch.title)), launch.title);
        EXPECT_EQ(EditorText(window), launch.text);
    }
    EXPECT_EQ(TopWindows(0, L"Lumenpad.Main").size(), 1u);
}

// A running instance that does not answer: the second launch gives up after its time-out and opens
// its own window. Two launches at once end with one window holding both files.
TEST(Program, HandOverToABusyWindowAndTwoLaunchesAtOnce) {
    test::TempFolder files, data;
    files.Write(L"a.txt", "a");
    files.Write(L"b.txt", "b");
    {
        Program first(Quoted(files.Wide(L"a.txt")), data);
        ASSERT_NE(first.WaitForTitle(Title(L"a.txt")), nullptr);
        SuspendThread(first.MainThread());
        Program second(Quoted(files.Wide(L"b.txt")), data);
        EXPECT_NE(second.WaitForTitle(Title(L"b.txt"), 15000), nullptr) << "runs on its own";
        EXPECT_EQ(second.ExitCode(0), -1);
        ResumeThread(first.MainThread());
    }
    Program one(Quoted(files.Wide(L"a.txt")), data), other(Quoted(files.Wide(L"b.txt")), data);
    const bool handedOver = WaitFor([&] { return one.ExitCode(0) == 0 || other.ExitCode(0) == 0; });
    EXPECT_TRUE(handedOver);
    const Program& kept = one.ExitCode(0) == 0 ? other : one;
    HWND window = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        window = kept.Window();
        const std::wstring title = window ? WindowText(window) : L"";
        return title == Title(L"a.txt") || title == Title(L"b.txt");
    }));
    EXPECT_EQ(TopWindows(0, L"Lumenpad.Main").size(), 1u);
}

// "--bench FILE" appends one line per run and ends by itself.
TEST(Program, BenchAppendsOneLinePerRun) {
    test::TempFolder data;
    const std::wstring out = data.Wide(L"bench.txt");
    for (int run = 0; run < 2; ++run) {
        Program bench(L"--bench " + Quoted(out), data);
        EXPECT_EQ(bench.ExitCode(15000), 0);
    }
    const std::string lines = data.Read(L"bench.txt");
    ASSERT_EQ(std::count(lines.begin(), lines.end(), '\n'), 2) << lines;
    double elapsed = 0;
    size_t workingSet = 0;
    EXPECT_EQ(std::sscanf(lines.c_str(), "%lf,%zu,", &elapsed, &workingSet), 2) << lines;
    EXPECT_GT(elapsed, 0);
    EXPECT_GT(workingSet, 1000u);
}

}  // namespace
}  // namespace lumen
