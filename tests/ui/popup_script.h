// Driving the toolkit's modal loops (menu, dialog) from inside in Wine tests: a script of steps that a
// thread timer runs while the loop under test dispatches it, an owner window, and reading back what
// reached a window. A script always ends its loop: at its deadline it posts WM_QUIT, which both loops
// honour, and the test then fails on the unfinished script.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumen::ui::test {

inline double NowMs() {
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

class Script {
public:
    explicit Script(double deadlineMs = 6000) : deadlineMs_(deadlineMs) {}
    ~Script() {
        Stop();
        MSG msg;
        if (timedOut_) PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    // One action per tick; posted input is handled by the loop before the next tick comes.
    Script& Do(std::function<void()> action) {
        steps_.push_back([a = std::move(action)] {
            a();
            return true;
        });
        return *this;
    }
    // Waits at this step until the condition holds.
    Script& Until(std::function<bool()> condition) {
        steps_.push_back(std::move(condition));
        return *this;
    }
    Script& Wait(double ms) {
        auto until = std::make_shared<double>(-1);
        steps_.push_back([until, ms] {
            if (*until < 0) *until = NowMs() + ms;
            return NowMs() >= *until;
        });
        return *this;
    }
    void Start() {
        current_ = this;
        start_ = NowMs();
        timer_ = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, &Script::Tick);
    }
    void Stop() {
        if (timer_) KillTimer(nullptr, timer_);
        timer_ = 0;
        if (current_ == this) current_ = nullptr;
    }
    bool Finished() const { return next_ == steps_.size(); }
    bool TimedOut() const { return timedOut_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* s = current_;
        if (!s) return;
        if (s->Finished()) return;
        if (NowMs() - s->start_ > s->deadlineMs_) {
            if (!s->timedOut_) PostQuitMessage(0);
            s->timedOut_ = true;
            return;
        }
        if (s->steps_[s->next_]()) ++s->next_;
    }

    static inline Script* current_ = nullptr;
    std::vector<std::function<bool()>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    double start_ = 0, deadlineMs_;
    bool timedOut_ = false;
};

// A plain visible top-level window to own the popups.
class OwnerWindow {
public:
    OwnerWindow(int32_t x, int32_t y, int32_t w, int32_t h) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"LumenpadTest.Owner";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr,
                                nullptr, wc.hInstance, nullptr);
        Pump();
    }
    ~OwnerWindow() { DestroyWindow(hwnd_); }
    HWND hwnd() const { return hwnd_; }

    // Handles what is waiting in the queue (paints, posted messages).
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }

private:
    HWND hwnd_ = nullptr;
};

// Visible top-level windows of this thread with the class name, in no particular order.
inline std::vector<HWND> ThreadWindows(const wchar_t* className) {
    std::pair<const wchar_t*, std::vector<HWND>> found{className, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* f = reinterpret_cast<std::pair<const wchar_t*, std::vector<HWND>>*>(lp);
            wchar_t name[64] = {};
            GetClassNameW(hwnd, name, 64);
            if (IsWindowVisible(hwnd) && std::wstring(name) == f->first) f->second.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.second;
}

// The pixel that reached a window's client area, as COLORREF.
inline COLORREF WindowPixel(HWND hwnd, int32_t x, int32_t y) {
    const HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

inline RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

}  // namespace lumen::ui::test
