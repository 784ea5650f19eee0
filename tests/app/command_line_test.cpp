// Splitting the command line and reading its switches.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace lumen {
namespace {

using Args = std::vector<std::wstring>;

TEST(SplitCommandLine, Table) {
    struct Case {
        const wchar_t* line;
        Args expected;
    } cases[] = {
        {L"", {}},
        {L"lumenpad.exe", {}},
        {L"\"C:\\Program Files\\Lumenpad\\lumenpad.exe\" a.txt", {L"a.txt"}},
        {L"lumenpad.exe a.txt b.txt", {L"a.txt", L"b.txt"}},
        {L"lumenpad.exe   a.txt\t\tb.txt  ", {L"a.txt", L"b.txt"}},
        {L"lumenpad.exe \"my file.txt\"", {L"my file.txt"}},
        {L"lumenpad.exe \"tab\there\"", {L"tab\there"}},
        {L"lumenpad.exe my\" \"file.txt", {L"my file.txt"}},
        {L"lumenpad.exe \"\" x", {L"", L"x"}},
        {L"lumenpad.exe x \"\"", {L"x", L""}},
        {L"lumenpad.exe a\"\"b", {L"ab"}},
        {L"lumenpad.exe \"unterminated quote and spaces", {L"unterminated quote and spaces"}},
        {L"lumenpad.exe C:\\dir\\\"x y\"", {L"C:\\dir\\x y"}},
        {L"lumenpad.exe back\\\\slash\\", {L"back\\\\slash\\"}},
        {L"\t lumenpad.exe\ta", {L"a"}},
        {L"lumenpad.exe 한글 파일.txt", {L"한글", L"파일.txt"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SplitCommandLine(c.line), c.expected)
            << "line: [" << testing::PrintToString(std::wstring(c.line)) << "]";
    }
}

// Files come out through a resolver that marks what it made absolute ("C:\work\" in front), so the
// table shows which arguments went through it.
TEST(ReadStartupOptions, Table) {
    struct Case {
        Args args;
        Args files;
        bool forceNew = false;
        bool bench = false;
        std::wstring benchOutput = {};
        std::wstring testPath = {};
        bool perfTest = false;
    } cases[] = {
        {{L"a.txt", L"--new", L"b.txt"}, {L"a.txt", L"b.txt"}, true},
        {{L"", L"a.txt", L""}, {L"a.txt"}},  // empty arguments are ignored
        // Switches are exact and case-sensitive: each of these is a file name.
        {{L"--NEW", L"--new ", L"-new", L"--news", L"--Bench"},
         {L"--NEW", L"--new ", L"-new", L"--news", L"--Bench"}},
        // The argument after --bench is its output as written, even a switch; as the last one it has none.
        {{L"--bench", L"out\\bench.csv", L"a.txt"}, {L"a.txt"}, false, true, L"out\\bench.csv"},
        {{L"--bench", L"--new"}, {}, false, true, L"--new"},
        {{L"a.txt", L"--bench"}, {L"a.txt"}, false, true},
        // A test switch takes the next argument as its path, even a switch; a later one replaces it, and
        // the perf-test environment switch, once set, stays set.
        {{L"--selftest", L"report.txt"}, {}, false, false, {}, L"report.txt"},
        {{L"--perftest", L"perf.txt"}, {}, false, false, {}, L"perf.txt", true},
        {{L"--selftest", L"one.txt", L"--perftest", L"two.txt"}, {}, false, false, {}, L"two.txt", true},
        {{L"--perftest", L"one.txt", L"--selftest", L"two.txt"}, {}, false, false, {}, L"two.txt", true},
        {{L"--selftest", L"--new"}, {}, false, false, {}, L"--new"},
        // As the last argument a test switch is a file name.
        {{L"--selftest"}, {L"--selftest"}},
        {{L"a.txt", L"--perftest"}, {L"a.txt", L"--perftest"}},
        {SplitCommandLine(L"lumenpad.exe \"my notes.txt\" --new \"\" --selftest r.txt"),
         {L"my notes.txt"},
         true,
         false,
         {},
         L"r.txt"},
    };
    const auto absolute = [](const std::wstring& arg) { return L"C:\\work\\" + arg; };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const StartupOptions o = ReadStartupOptions(c.args, absolute);
        Args files;
        for (const std::wstring& f : c.files)
            files.push_back(absolute(f));
        EXPECT_EQ(o.files, files);
        EXPECT_EQ(o.forceNew, c.forceNew);
        EXPECT_EQ(o.bench, c.bench);
        EXPECT_EQ(o.benchOutput, c.benchOutput);
        EXPECT_EQ(o.testPath, c.testPath.empty() ? L"" : absolute(c.testPath));
        EXPECT_EQ(o.perfTest, c.perfTest);
    }
}

}  // namespace
}  // namespace lumen
