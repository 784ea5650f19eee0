// The built-in self-test ("--selftest <report>"): a fixed list of checks run against the real main
// window, editor, tab model and file code inside the private data folder of test mode, then a
// plain-text report (the summary line first, one line per check) and a close request.
#pragma once

#include <string>
#include <string_view>

namespace lumen {

struct App;

struct SelfTestResults {
    int passed = 0;
    int failed = 0;
    std::string lines;  // the check lines, UTF-8, CR LF
};

// Counts a check and appends its line: "PASS  " or "FAIL  ", the name, then "  (detail)" when a
// detail is given.
void Check(SelfTestResults& results, std::string_view name, bool ok, std::string_view detail = {});
// The report: "selftest: P passed, F failed" then the check lines.
std::string SelfTestReport(const SelfTestResults& results);

// Runs every check, writes the report to app.testPath and asks the main window to close.
void RunSelfTest(App& app);

// The helpers the checks (and the performance test) drive the program with.
void SetEditorText(App& app, std::string_view utf8);
std::string EditorText(App& app);
// Handles every pending message of the thread (painting, notifications, posted work).
void PumpMessages();
// Milliseconds from the high-resolution counter.
double NowMs();
// The folder the checks write their files into: the data folder + "\" + name, created if missing.
std::wstring TestFolder(const wchar_t* name);
// Writes the report text to app.testPath; clears the extra unsaved flag of every tab so closing asks
// nothing, and posts the close request.
void FinishTestRun(App& app, const std::string& report);

}  // namespace lumen
