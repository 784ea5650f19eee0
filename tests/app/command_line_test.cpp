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

// A resolver that marks what it made absolute, so the tests see which arguments went through it.
std::wstring Resolve(const std::wstring& arg) {
    return L"C:\\work\\" + arg;
}

StartupOptions Read(const Args& args) {
    return ReadStartupOptions(args, Resolve);
}

TEST(ReadStartupOptions, FilesInOrderAndNewAnywhere) {
    const StartupOptions o = Read({L"a.txt", L"--new", L"b.txt"});
    EXPECT_EQ(o.files, (Args{L"C:\\work\\a.txt", L"C:\\work\\b.txt"}));
    EXPECT_TRUE(o.forceNew);
    EXPECT_FALSE(o.bench);
    EXPECT_TRUE(o.testPath.empty());
}

TEST(ReadStartupOptions, EmptyArgumentsAreIgnored) {
    const StartupOptions o = Read({L"", L"a.txt", L""});
    EXPECT_EQ(o.files, (Args{L"C:\\work\\a.txt"}));
}

TEST(ReadStartupOptions, SwitchesAreExactAndCaseSensitive) {
    const StartupOptions o = Read({L"--NEW", L"--new ", L"-new", L"--news", L"--Bench"});
    EXPECT_FALSE(o.forceNew);
    EXPECT_FALSE(o.bench);
    EXPECT_EQ(o.files.size(), 5u) << "each is a file name";
}

TEST(ReadStartupOptions, BenchTakesTheNextArgumentAsWritten) {
    StartupOptions o = Read({L"--bench", L"out\\bench.csv", L"a.txt"});
    EXPECT_TRUE(o.bench);
    EXPECT_EQ(o.benchOutput, L"out\\bench.csv") << "not made absolute";
    EXPECT_EQ(o.files, (Args{L"C:\\work\\a.txt"}));

    o = Read({L"--bench", L"--new"});
    EXPECT_TRUE(o.bench);
    EXPECT_EQ(o.benchOutput, L"--new") << "whatever follows is the output, even a switch";
    EXPECT_FALSE(o.forceNew);

    o = Read({L"a.txt", L"--bench"});
    EXPECT_TRUE(o.bench);
    EXPECT_TRUE(o.benchOutput.empty());
    EXPECT_EQ(o.files.size(), 1u);
}

TEST(ReadStartupOptions, SelfTestAndPerfTest) {
    StartupOptions o = Read({L"--selftest", L"report.txt"});
    EXPECT_EQ(o.testPath, L"C:\\work\\report.txt");
    EXPECT_FALSE(o.perfTest);
    EXPECT_TRUE(o.files.empty());

    o = Read({L"--perftest", L"perf.txt"});
    EXPECT_EQ(o.testPath, L"C:\\work\\perf.txt");
    EXPECT_TRUE(o.perfTest);
}

TEST(ReadStartupOptions, LaterTestPathReplacesEarlier) {
    StartupOptions o = Read({L"--selftest", L"one.txt", L"--perftest", L"two.txt"});
    EXPECT_EQ(o.testPath, L"C:\\work\\two.txt");
    EXPECT_TRUE(o.perfTest);

    // The perf-test environment switch, once set, stays set.
    o = Read({L"--perftest", L"one.txt", L"--selftest", L"two.txt"});
    EXPECT_EQ(o.testPath, L"C:\\work\\two.txt");
    EXPECT_TRUE(o.perfTest);
}

TEST(ReadStartupOptions, TestSwitchAsLastArgumentIsAFile) {
    StartupOptions o = Read({L"--selftest"});
    EXPECT_TRUE(o.testPath.empty());
    EXPECT_EQ(o.files, (Args{L"C:\\work\\--selftest"}));

    o = Read({L"a.txt", L"--perftest"});
    EXPECT_TRUE(o.testPath.empty());
    EXPECT_FALSE(o.perfTest);
    EXPECT_EQ(o.files, (Args{L"C:\\work\\a.txt", L"C:\\work\\--perftest"}));
}

TEST(ReadStartupOptions, TestPathSwallowsASwitchAfterIt) {
    const StartupOptions o = Read({L"--selftest", L"--new"});
    EXPECT_EQ(o.testPath, L"C:\\work\\--new");
    EXPECT_FALSE(o.forceNew);
}

TEST(ReadStartupOptions, WholeCommandLine) {
    const StartupOptions o =
        Read(SplitCommandLine(L"lumenpad.exe \"my notes.txt\" --new \"\" --selftest r.txt"));
    EXPECT_EQ(o.files, (Args{L"C:\\work\\my notes.txt"}));
    EXPECT_TRUE(o.forceNew);
    EXPECT_EQ(o.testPath, L"C:\\work\\r.txt");
}

}  // namespace
}  // namespace lumen
