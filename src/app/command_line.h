// Splitting the process command line and reading its switches into StartupOptions.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumen {

struct StartupOptions {
    std::vector<std::wstring> files;  // full paths, in command-line order
    bool forceNew = false;            // "--new"
    bool bench = false;               // "--bench"
    std::wstring benchOutput;         // the argument after "--bench", as written
    std::wstring testPath;            // full path after "--selftest"/"--perftest"; non-empty: test mode
    bool perfTest = false;            // "--perftest" took effect: LUMENPAD_PERFTEST=1 must be set
};

// The arguments after the program path. Spaces and tabs outside quotes separate arguments; a double
// quote toggles quoting and is dropped; there is no backslash escaping; "" gives an empty argument.
std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine);

// Makes a path absolute; returns the argument unchanged when that is impossible.
using PathResolver = std::function<std::wstring(const std::wstring&)>;

// Reads the switches from the arguments (without the program path). Comparisons are exact and
// case-sensitive. A later "--selftest"/"--perftest" replaces an earlier test path; either of them
// as the last argument is a file name. Empty arguments are ignored.
StartupOptions ReadStartupOptions(const std::vector<std::wstring>& args, const PathResolver& fullPath);

// GetFullPathNameW with a 32,768-unit buffer; the argument unchanged when the call fails or the
// result would not fit. Windows build only.
std::wstring FullPath(const std::wstring& arg);

}  // namespace lumen
