// The program's entry point: reads the command line, chooses the mode (test, bench, or the
// single-instance protocol that hands the files to a running instance) and runs the application.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "app/command_line.h"
#include "app/hand_over.h"
#include "app/main_window.h"
#include "app/startup.h"
#include "files/system_library_win.h"

namespace lumen {
namespace {

constexpr wchar_t kInstanceMutex[] = L"Local\\Lumenpad.SingleInstance.v1";
constexpr int kFindAttempts = 150;
constexpr DWORD kFindPauseMs = 20;
constexpr UINT kHandOverTimeoutMs = 5000;

// Test mode: a fresh data folder under the temporary folder, removed afterwards unless LUMENPAD_KEEP
// is set; no single-instance check.
int RunTestMode(HINSTANCE instance, const StartupOptions& options, int show) {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder =
        std::wstring(temp) + L"LumenpadSelfTest" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(L"LOCALAPPDATA", folder.c_str());
    const int result = RunApplication(instance, {}, false, L"", show, options.testPath);
    if (GetEnvironmentVariableW(L"LUMENPAD_KEEP", nullptr, 0) == 0 &&
        GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
        std::wstring from = folder;
        from.push_back(L'\0');  // the list ends with two NULs
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
        static const auto fileOperation =
            SystemFunction<decltype(&SHFileOperationW)>(L"shell32.dll", "SHFileOperationW");
        if (fileOperation) fileOperation(&op);
    }
    return result;
}

// A second launch: hands the files to the running instance's window. False when no window answered
// in time; the caller then runs as a second instance.
bool HandOver(const std::vector<std::wstring>& files) {
    HWND target = nullptr;
    for (int i = 0; i < kFindAttempts && !(target = FindWindowW(kMainWindowClass, nullptr)); ++i)
        Sleep(kFindPauseMs);
    if (!target) return false;
    const std::u16string text = EncodeHandOver(files);
    DWORD process = 0;
    GetWindowThreadProcessId(target, &process);
    AllowSetForegroundWindow(process);
    COPYDATASTRUCT data{};
    data.dwData = kHandOverMagic;
    data.cbData = static_cast<DWORD>(text.size() * 2);
    data.lpData = text.empty() ? nullptr : const_cast<char16_t*>(text.data());
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             kHandOverTimeoutMs, &answer))
        return false;
    SetForegroundWindow(target);
    return true;
}

int Run(HINSTANCE instance, int show) {
    // Per-monitor DPI awareness; a system that refuses it (or knows only the first version) is not
    // an error.
    if (!SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2))
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    const StartupOptions options = ReadStartupOptions(SplitCommandLine(GetCommandLineW()), FullPath);
    if (options.perfTest) SetEnvironmentVariableW(L"LUMENPAD_PERFTEST", L"1");
    if (!options.testPath.empty()) return RunTestMode(instance, options, show);
    if (options.bench) return RunApplication(instance, options.files, true, options.benchOutput, show, L"");

    // The mutex marks a running instance; its handle lives as long as the process.
    CreateMutexW(nullptr, FALSE, kInstanceMutex);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        SetEnvironmentVariableW(L"LUMENPAD_SECONDARY", L"1");
        if (!options.forceNew && HandOver(options.files)) return 0;
    }
    return RunApplication(instance, options.files, false, L"", show, L"");
}

}  // namespace
}  // namespace lumen

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    return lumen::Run(instance, show);
}
