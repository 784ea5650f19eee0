// A view driven through its message interface with the fixed test font and a host that records
// notifications and keeps a clipboard in memory, for the native tests of the control's behaviour.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "edit/font_fixed.h"
#include "edit/sci_messages.h"
#include "edit/view.h"

namespace quill::test {

struct Sent {
    unsigned code;
    Notification n;
    std::string text;  // SCN_MODIFIED's bytes
};

struct ControlHost : ViewHost {
    std::vector<Sent> sent;
    int posts = 0;
    std::string clipboard;
    bool hasClipboard = false;
    bool focusAsked = false;

    void StartTimer(int, uint32_t) override {}
    void StopTimer(int) override {}
    void InvalidateAll() override {}
    void InvalidateRect(int32_t, int32_t, int32_t, int32_t) override {}
    bool ScrollPixels(int32_t) override { return true; }
    void SetScrollBar(bool, const ScrollValues&) override {}
    int32_t Dpi() override { return 96; }
    void Notify(Notification& n) override {
        Sent s{n.nmhdr.code, n, {}};
        if (n.text && n.length > 0) s.text.assign(n.text, static_cast<size_t>(n.length));
        s.n.text = nullptr;
        sent.push_back(s);
    }
    void PostUpdate() override { ++posts; }
    void TakeFocus() override { focusAsked = true; }
    bool CopyToClipboard(const std::string& utf8) override {
        clipboard = utf8;
        hasClipboard = true;
        return true;
    }
    bool ReadClipboard(std::string* utf8) override {
        if (!hasClipboard) return false;
        *utf8 = clipboard;
        return true;
    }
    bool ClipboardHasText() override { return hasClipboard; }

    int Count(unsigned code) const {
        int n = 0;
        for (const Sent& s : sent)
            n += s.code == code ? 1 : 0;
        return n;
    }
};

struct Control {
    ControlHost* host;
    std::unique_ptr<View> view;

    explicit Control(int32_t width = 400, int32_t height = 200) {
        auto h = std::make_unique<ControlHost>();
        host = h.get();
        view = std::make_unique<View>(std::move(h), [] { return std::make_unique<FixedFontSource>(); });
        view->SetClientSize(width, height);
    }
    intptr_t Send(unsigned m, uintptr_t w = 0, intptr_t l = 0) { return view->Message(m, w, l); }
    intptr_t Send(unsigned m, uintptr_t w, const char* text) {
        return Send(m, w, reinterpret_cast<intptr_t>(text));
    }
    intptr_t Send(unsigned m, uintptr_t w, const std::string& text) { return Send(m, w, text.c_str()); }
    std::string Text() { return view->GetDocument()->GetText(0, view->GetDocument()->Length()); }
    void SetText(const std::string& text) { Send(SCI_SETTEXT, 0, text); }
    int64_t Caret() { return Send(SCI_GETCURRENTPOS); }
    int64_t Anchor() { return Send(SCI_GETANCHOR); }
    void Type(const std::u16string& units) {
        for (char16_t u : units)
            view->TypeUnit(u);
    }
    int64_t Steps() { return view->GetDocument()->History().CurrentStep(); }
};

}  // namespace quill::test
