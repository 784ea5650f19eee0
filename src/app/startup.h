// Start-up: from the entry point's decisions to a running message loop; the font-cache warm-up
// thread; start-up time marks and the "--bench" line.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace lumen {

struct App;

// Fills the application object, loads the settings, creates and shows the main window, runs the
// message loop and returns the exit code (1 when the window could not be created).
int RunApplication(HINSTANCE instance, const std::vector<std::wstring>& files, bool bench,
                   const std::wstring& benchArg, int showCommand, const std::wstring& testPath);

DWORD WINAPI WarmFontCache(void*);

// Milliseconds since the process was created.
double ElapsedMs();
// Appends ElapsedMs() to the time marks (at most 24) in bench mode.
void RecordTimeMark();
// The benchmark line: elapsed ms, working set and private bytes in KiB, "notfg " when the window is
// not in front, then the time marks; appended to the bench file when one was named.
void WriteBenchLine(App& app);

}  // namespace lumen
