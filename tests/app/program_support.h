// The real program (lumenpad.exe beside the tests) started with a data folder of the test's own, and
// its windows found and read from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace lumen::test {

inline std::wstring ProgramPath() {
    wchar_t self[MAX_PATH];
    std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"lumenpad.exe";
}

inline std::wstring WindowText(HWND hwnd) {
    wchar_t text[1024] = {};
    GetWindowTextW(hwnd, text, 1024);
    return text;
}

// Polls until the condition holds or about `ms` milliseconds passed.
template <typename Condition>
bool WaitFor(Condition condition, int ms = 10000) {
    for (int waited = 0; waited < ms; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

// The top-level windows of a class, of one process (0: any), only the visible ones if asked.
inline std::vector<HWND> TopWindows(DWORD process, const wchar_t* className, bool visibleOnly = false) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if ((process == 0 || owner == process) && (!visibleOnly || IsWindowVisible(w))) found.push_back(w);
    }
    return found;
}

class Program {
public:
    // Starts `exe` with `arguments` (already quoted) and the data folder in `data`.
    Program(const std::wstring& arguments, const TempFolder& data, const std::wstring& exe = ProgramPath()) {
        SetEnvironmentVariableW(L"LOCALAPPDATA", data.Wide().c_str());
        SetEnvironmentVariableW(L"LUMENPAD_NOWARM", L"1");
        std::wstring line = L"\"" + exe + L"\" " + arguments;
        STARTUPINFOW si{};
        si.cb = sizeof(si);
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                                  &pi_) != FALSE;
    }
    // Closes what is open, the modal windows first; ends the process if it does not go.
    ~Program() {
        if (!started_) return;
        for (const wchar_t* modal : {L"Lumenpad.About", L"Lumenpad.Dialog", L"Lumenpad.Settings"})
            if (HWND w = Find(modal)) PostMessageW(w, WM_CLOSE, 0, 0);
        if (HWND w = Window()) PostMessageW(w, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 99);
        CloseHandle(pi_.hThread);
        CloseHandle(pi_.hProcess);
    }
    bool Started() const { return started_; }
    HWND Window() const {
        const auto windows = TopWindows(pi_.dwProcessId, L"Lumenpad.Main");
        return windows.empty() ? nullptr : windows[0];
    }
    // A visible top-level window of the process.
    HWND Find(const wchar_t* className) const {
        const auto windows = TopWindows(pi_.dwProcessId, className, true);
        return windows.empty() ? nullptr : windows[0];
    }
    HWND WaitFind(const wchar_t* className) const {
        HWND w = nullptr;
        WaitFor([&] { return (w = Find(className)) != nullptr; });
        return w;
    }
    // Waits for the window's title to name the active tab.
    HWND WaitForTitle(const std::wstring& title, int ms = 10000) const {
        HWND w = nullptr;
        WaitFor([&] { return (w = Window()) && WindowText(w) == title; }, ms);
        return w;
    }
    // The exit code once the process ended within `ms`, else -1.
    long ExitCode(int ms) const {
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }
    HANDLE MainThread() const { return pi_.hThread; }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

}  // namespace lumen::test
