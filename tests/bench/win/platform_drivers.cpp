// The platform's own EDIT and RichEdit controls, for comparison. Both take UTF-16, so opening
// decodes the file's UTF-8 first, as a program using them must.
#include <richedit.h>

#include <cmath>

#include "control_driver.h"

namespace lumen::bench {
namespace {

void DestroyOld(HWND& hwnd) {
    if (hwnd) DestroyWindow(hwnd);
    hwnd = nullptr;
}

std::wstring Widen(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring wide(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)),
                      L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

class EditDriver : public ControlDriver {
public:
    ~EditDriver() override {
        if (font_) DeleteObject(font_);
    }
    HWND Create(HWND parent, bool wrap) override {
        DestroyOld(hwnd_);
        // EDIT wraps unless it scrolls horizontally; the style cannot change later, hence re-creation.
        DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL;
        if (!wrap) style |= WS_HSCROLL | ES_AUTOHSCROLL;
        const RECT rc = ControlArea(parent);
        hwnd_ = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, rc.right, rc.bottom, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
        SendMessageW(hwnd_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
        SetFocus(hwnd_);
        return hwnd_;
    }
    void SetFont(const std::wstring& face, double points) override {
        if (!font_) {
            HDC screen = GetDC(nullptr);
            LOGFONTW lf = {};
            lf.lfHeight = -std::lround(points * GetDeviceCaps(screen, LOGPIXELSY) / 72);
            lf.lfWeight = FW_NORMAL;
            lf.lfCharSet = DEFAULT_CHARSET;
            face.copy(lf.lfFaceName, LF_FACESIZE - 1);
            ReleaseDC(nullptr, screen);
            font_ = CreateFontIndirectW(&lf);
        }
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    void Load(const std::string& utf8) override {
        const std::wstring wide = Widen(utf8);
        SendMessageW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    int64_t Length() override { return SendMessageW(hwnd_, WM_GETTEXTLENGTH, 0, 0); }
    void SetCaret(int64_t position) override {
        SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(position), static_cast<LPARAM>(position));
        SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
    }
    std::pair<int64_t, int64_t> CaretLineColumn() override {
        DWORD start = 0, caret = 0;  // the return value holds only 16 bits of each
        SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&caret));
        const LRESULT line = SendMessageW(hwnd_, EM_LINEFROMCHAR, caret, 0);
        return {line, caret - SendMessageW(hwnd_, EM_LINEINDEX, static_cast<WPARAM>(line), 0)};
    }

private:
    HFONT font_ = nullptr;
};

class RichEditDriver : public ControlDriver {
public:
    HWND Create(HWND parent, bool wrap) override {
        static const HMODULE library = LoadLibraryW(L"Msftedit.dll");
        (void)library;
        DestroyOld(hwnd_);
        const DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                            ES_AUTOHSCROLL | ES_NOHIDESEL;
        const RECT rc = ControlArea(parent);
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
    // Plain text has one format: the default one, which text set later keeps.
    void SetFont(const std::wstring& face, double points) override {
        CHARFORMAT2W format = {};
        format.cbSize = sizeof format;
        format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_BOLD | CFM_ITALIC;
        format.yHeight = std::lround(points * 20);  // twips
        format.bCharSet = DEFAULT_CHARSET;
        face.copy(format.szFaceName, LF_FACESIZE - 1);
        SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
        SendMessageW(hwnd_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    }
    void Load(const std::string& utf8) override {
        const std::wstring wide = Widen(utf8);
        SETTEXTEX how = {ST_DEFAULT, 1200};  // UTF-16
        SendMessageW(hwnd_, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                     reinterpret_cast<LPARAM>(wide.c_str()));
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
    std::pair<int64_t, int64_t> CaretLineColumn() override {
        CHARRANGE range = {};
        SendMessageW(hwnd_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        const LRESULT line = SendMessageW(hwnd_, EM_EXLINEFROMCHAR, 0, range.cpMax);
        return {line, range.cpMax - SendMessageW(hwnd_, EM_LINEINDEX, static_cast<WPARAM>(line), 0)};
    }
};

const RegisterDriver kEdit("edit", "EDIT", [] { return std::make_unique<EditDriver>(); });
const RegisterDriver kRichEdit("richedit", "RichEdit 5", [] { return std::make_unique<RichEditDriver>(); });

}  // namespace
}  // namespace lumen::bench
