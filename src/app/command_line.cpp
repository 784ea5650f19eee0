#include "app/command_line.h"

namespace lumen {

std::vector<std::wstring> SplitCommandLine(std::wstring_view commandLine) {
    std::vector<std::wstring> args;
    size_t i = 0;
    const size_t n = commandLine.size();
    auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    bool first = true;
    while (i < n) {
        while (i < n && blank(commandLine[i]))
            ++i;
        if (i >= n) break;
        std::wstring arg;
        bool quoted = false;
        for (; i < n; ++i) {
            const wchar_t c = commandLine[i];
            if (c == L'"') {
                quoted = !quoted;
            } else if (!quoted && blank(c)) {
                break;
            } else {
                arg += c;
            }
        }
        if (first) {
            first = false;  // the program path
        } else {
            args.push_back(std::move(arg));
        }
    }
    return args;
}

StartupOptions ReadStartupOptions(const std::vector<std::wstring>& args, const PathResolver& fullPath) {
    StartupOptions options;
    const size_t n = args.size();
    for (size_t i = 0; i < n; ++i) {
        const std::wstring& arg = args[i];
        const bool hasNext = i + 1 < n;
        if (arg == L"--bench") {
            options.bench = true;
            if (hasNext) options.benchOutput = args[++i];
        } else if (arg == L"--new") {
            options.forceNew = true;
        } else if (arg == L"--selftest" && hasNext) {
            options.testPath = fullPath(args[++i]);
        } else if (arg == L"--perftest" && hasNext) {
            options.testPath = fullPath(args[++i]);
            options.perfTest = true;
        } else if (!arg.empty()) {
            options.files.push_back(fullPath(arg));
        }
    }
    return options;
}

}  // namespace lumen
