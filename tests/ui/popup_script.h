// Driving the toolkit's modal loops (menu, dialog) from inside in Wine tests: a script of steps that a
// thread timer runs while the loop under test dispatches it. A script always ends its loop: at its
// deadline it posts WM_QUIT, which both loops honour, and the test then fails on the unfinished script.
//
// Script words (Add): key names (Down Up Left Right Home End Tab ShiftTab Enter Space Escape x) and
// Alt, F10 as system keys; "down@P", "up@P", "rup@P", "move@P" mouse messages at the screen point
// that `where` gives for P; "count=N" checks that N windows of the class are open; "close" posts
// WM_CLOSE; "destroy" destroys the window. Keys and mouse messages go to a window of the class.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
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

// Visible top-level windows of this thread with the class name.
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

inline RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

// The pixel that reached a window's client area, as COLORREF.
inline COLORREF WindowPixel(HWND hwnd, int32_t x, int32_t y) {
    const HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

class Script {
public:
    using Where = std::function<POINT(const std::string&)>;
    explicit Script(const wchar_t* className = L"", Where where = {}, double deadlineMs = 6000)
        : class_(className), where_(std::move(where)), deadlineMs_(deadlineMs) {}
    ~Script() {
        Stop();
        MSG msg;
        if (timedOut_) PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    Script(const Script&) = delete;  // its steps hold `this`
    Script& operator=(const Script&) = delete;

    // One action per tick: input posted by one step is handled before the next tick comes.
    Script& Do(std::function<void()> action) {
        return Until([a = std::move(action)] { return a(), true; });
    }
    // Waits at this step until the condition holds.
    Script& Until(std::function<bool()> condition) {
        steps_.push_back(std::move(condition));
        return *this;
    }
    Script& Add(const std::string& words) {
        std::istringstream in(words);
        for (std::string w; in >> w;)
            Word(w);
        return *this;
    }
    HWND Window() const {
        const std::vector<HWND> found = ThreadWindows(class_);
        return found.empty() ? nullptr : found.front();
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
    void Post(UINT msg, WPARAM wp, LPARAM lp = 0) {
        Do([=, this] { PostMessageW(Window(), msg, wp, lp); });
    }
    static void Shift(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }
    void Word(const std::string& w) {
        static const std::pair<const char*, WPARAM> keys[] = {
            {"Down", VK_DOWN},   {"Up", VK_UP},   {"Left", VK_LEFT},    {"Right", VK_RIGHT},
            {"Home", VK_HOME},   {"End", VK_END}, {"Tab", VK_TAB},      {"Enter", VK_RETURN},
            {"Space", VK_SPACE}, {"x", 'X'},      {"Escape", VK_ESCAPE}};
        static const std::pair<const char*, UINT> mice[] = {
            {"down", WM_LBUTTONDOWN}, {"up", WM_LBUTTONUP}, {"rup", WM_RBUTTONUP}, {"move", WM_MOUSEMOVE}};
        for (const auto& [name, vk] : keys) {
            if (w == name) return Post(WM_KEYDOWN, vk);
        }
        if (w == "Alt" || w == "F10") return Post(WM_SYSKEYDOWN, w == "Alt" ? VK_MENU : VK_F10);
        if (w == "ShiftTab") {
            Do([] { Shift(true); }).Post(WM_KEYDOWN, VK_TAB);
            Do([] { Shift(false); });
            return;
        }
        if (w == "close") return Post(WM_CLOSE, 0);
        if (w == "destroy") return (void)Do([this] { DestroyWindow(Window()); });
        if (w.rfind("count=", 0) == 0) {
            return (void)Do(
                [this, w] { EXPECT_EQ(ThreadWindows(class_).size(), std::stoul(w.substr(6))) << w; });
        }
        const size_t at = w.find('@');
        for (const auto& [name, msg] : mice) {
            if (at == std::string::npos || w.substr(0, at) != name) continue;
            return (void)Do([this, msg = msg, where = w.substr(at + 1)] {
                POINT p = where_(where);
                ScreenToClient(Window(), &p);
                PostMessageW(Window(), msg, msg == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(p.x, p.y));
            });
        }
        ADD_FAILURE() << "unknown script word " << w;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* s = current_;
        if (!s || s->Finished() || s->timedOut_) return;
        if (NowMs() - s->start_ > s->deadlineMs_) {
            s->timedOut_ = true;
            PostQuitMessage(0);
        } else if (s->steps_[s->next_]()) {
            ++s->next_;
        }
    }

    static inline Script* current_ = nullptr;
    const wchar_t* class_;
    Where where_;
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

    // Handles what waits in the queue (paints, posted messages).
    static void Pump() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

private:
    HWND hwnd_ = nullptr;
};

}  // namespace lumen::ui::test
