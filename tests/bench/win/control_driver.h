// A text control driven by window messages alone, as the control benchmark sees it. One driver per
// control class; each registers itself under a short name ("edit", "richedit", ...).
#pragma once

// clang-format off
#include <windows.h>
#include <imm.h>
// clang-format on

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace lumen::bench {

// The host's status strip runs along the bottom of the frame; a control fills the rest.
constexpr int kStatusStripHeight = 22;

inline RECT ControlArea(HWND frame) {
    RECT rc;
    GetClientRect(frame, &rc);
    rc.bottom -= kStatusStripHeight;
    return rc;
}

class ControlDriver {
public:
    virtual ~ControlDriver() = default;
    // Creates the control as a child filling `parent`'s ControlArea, destroying any earlier one.
    virtual HWND Create(HWND parent, bool wrap) = 0;
    // Sets the face and size (points) of all text, the control's own way.
    virtual void SetFont(const std::wstring& face, double points) = 0;
    // Replaces the whole text with the file bytes `utf8`, decoded as this control needs them.
    virtual void Load(const std::string& utf8) = 0;
    // Text length in the control's own position units.
    virtual int64_t Length() = 0;
    virtual void SetCaret(int64_t position) = 0;
    // The caret's line and column (from 0), asked of the control as a host asks for its status
    // bar.
    virtual std::pair<int64_t, int64_t> CaretLineColumn() = 0;
    // Types one character as the keyboard would deliver it.
    virtual void Type(wchar_t c) { SendMessageW(hwnd_, WM_CHAR, c, 1); }
    virtual void PageDown() {
        SendMessageW(hwnd_, WM_KEYDOWN, VK_NEXT, 1);
        SendMessageW(hwnd_, WM_KEYUP, VK_NEXT, 0xC0000001);
    }
    // Shows `text` as the input method's composition at the caret, through the window's input
    // context as an input method hands it over.
    virtual void Compose(const std::wstring& text) {
        if (HIMC imc = ImmGetContext(hwnd_)) {
            ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(text.c_str()),
                                     static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0);
            ImmReleaseContext(hwnd_, imc);
        }
    }
    // Asks the input method to commit what it is composing.
    virtual void CompleteComposition() {
        if (HIMC imc = ImmGetContext(hwnd_)) {
            ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
            ImmReleaseContext(hwnd_, imc);
        }
    }
    // Document swapping, as a tabbed program shows one of several open texts in one control:
    // opens each text as a document of its own (false when the control has no such thing), then
    // shows document `index` with the caret and scroll position it had when it was left.
    virtual bool OpenDocuments(const std::vector<std::string>& /*texts*/) { return false; }
    virtual void ShowDocument(size_t /*index*/) {}
    HWND hwnd() const { return hwnd_; }

protected:
    HWND hwnd_ = nullptr;
};

using DriverFactory = std::function<std::unique_ptr<ControlDriver>()>;

struct DriverEntry {
    std::string name;
    std::string title;  // shown in the report
    DriverFactory make;
};

std::vector<DriverEntry>& Drivers();

struct RegisterDriver {
    RegisterDriver(std::string name, std::string title, DriverFactory make) {
        Drivers().push_back({std::move(name), std::move(title), std::move(make)});
    }
};

}  // namespace lumen::bench
