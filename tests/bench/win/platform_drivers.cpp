// The platform's own EDIT and RichEdit controls, for comparison.
#include <richedit.h>

#include "files/code_page.h"
#include "control_driver.h"

namespace lumen::bench {
namespace {

void DestroyOld(HWND& hwnd) {
    if (hwnd) DestroyWindow(hwnd);
    hwnd = nullptr;
}

RECT ClientOf(HWND parent) {
    RECT rc;
    GetClientRect(parent, &rc);
    return rc;
}

class EditDriver : public ControlDriver {
public:
    HWND Create(HWND parent, bool wrap) override {
        DestroyOld(hwnd_);
        // EDIT wraps unless it scrolls horizontally; the style cannot change later, hence re-creation.
        DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
        if (!wrap) style |= WS_HSCROLL | ES_AUTOHSCROLL;
        const RECT rc = ClientOf(parent);
        hwnd_ = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, rc.right, rc.bottom, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        SendMessageW(hwnd_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
        SetFocus(hwnd_);
        return hwnd_;
    }
    void Load(const std::string& utf8) override {
        const std::wstring wide = Utf8ToWide(utf8);
        SendMessageW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    int64_t Length() override { return SendMessageW(hwnd_, WM_GETTEXTLENGTH, 0, 0); }
    void SetCaret(int64_t position) override {
        SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(position), static_cast<LPARAM>(position));
        SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
    }
};

class RichEditDriver : public ControlDriver {
public:
    HWND Create(HWND parent, bool wrap) override {
        static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
        (void)library;
        DestroyOld(hwnd_);
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                            ES_AUTOHSCROLL | ES_NOHIDESEL;
        const RECT rc = ClientOf(parent);
        hwnd_ = CreateWindowExW(0, MSFTEDIT_CLASS, L"", style, 0, 0, rc.right, rc.bottom, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        if (!hwnd_) return nullptr;
        SendMessageW(hwnd_, EM_EXLIMITTEXT, 0, 0x7FFFFFFE);
        SendMessageW(hwnd_, EM_SETTEXTMODE, TM_PLAINTEXT, 0);
        // A null target device with width 0 wraps to the window; width 1 turns wrapping off.
        SendMessageW(hwnd_, EM_SETTARGETDEVICE, 0, wrap ? 0 : 1);
        SetFocus(hwnd_);
        return hwnd_;
    }
    void Load(const std::string& utf8) override {
        SETTEXTEX how = {ST_DEFAULT, CP_UTF8};
        SendMessageW(hwnd_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                     reinterpret_cast<LPARAM>(utf8.c_str()));
    }
    int64_t Length() override {
        GETTEXTLENGTHEX how = {GTL_DEFAULT, 1200};
        return SendMessageW(hwnd_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0);
    }
    void SetCaret(int64_t position) override {
        CHARRANGE range = {static_cast<LONG>(position), static_cast<LONG>(position)};
        SendMessageW(hwnd_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
    }
};

const RegisterDriver kEdit("edit", "EDIT", [] { return std::make_unique<EditDriver>(); });
const RegisterDriver kRichEdit("richedit", "RichEdit 5", [] { return std::make_unique<RichEditDriver>(); });

}  // namespace
}  // namespace lumen::bench
