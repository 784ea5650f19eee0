// A view driven through its message interface with the fixed test font and a host that records
// what the view asks of its window (timers, invalidations, scrolls, scroll-bar values,
// notifications) and keeps a clipboard in memory: the one recording host of the native tests.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "edit/font_fixed.h"
#include "edit/layout_support.h"
#include "edit/sci_messages.h"
#include "edit/view.h"

namespace quill::test {

using Span = std::pair<int64_t, int64_t>;  // an anchor and a caret

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
    bool running[4] = {};  // timers by id
    int invalidateAll = 0;
    std::vector<std::array<int32_t, 4>> rects;
    std::vector<int32_t> scrolled;
    ScrollValues vertical, horizontal;
    int scrollSets = 0;

    void StartTimer(int id, uint32_t) override { running[id] = true; }
    void StopTimer(int id) override { running[id] = false; }
    void InvalidateAll() override { ++invalidateAll; }
    void InvalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) override {
        rects.push_back({l, t, r, b});
    }
    bool ScrollPixels(int32_t dy) override {
        scrolled.push_back(dy);
        return true;
    }
    void SetScrollBar(bool v, const ScrollValues& values) override {
        ++scrollSets;
        (v ? vertical : horizontal) = values;
    }
    int32_t Dpi() override { return 96; }
    void Notify(Notification& n) override {
        Sent s{n.nmhdr.code, n, {}};
        if (n.text && n.length > 0) s.text.assign(n.text, static_cast<size_t>(n.length));
        s.n.text = nullptr;
        sent.push_back(s);
    }
    void PostUpdate() override { ++posts; }
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
    // Messages sent in order, each reply checked unless it is kAny: compact tables of set and get.
    static constexpr intptr_t kAny = INTPTR_MIN;
    struct Msg {
        unsigned m;
        uintptr_t w = 0;
        intptr_t l = 0;
        intptr_t want = kAny;
    };
    void Run(std::initializer_list<Msg> msgs) {
        int row = 0;
        for (const Msg& m : msgs) {
            const intptr_t got = Send(m.m, m.w, m.l);
            if (m.want != kAny) {
                EXPECT_EQ(got, m.want) << "row " << row << ", message " << m.m;
            }
            ++row;
        }
    }
    std::string Text() { return view->GetDocument()->GetText(0, view->GetDocument()->Length()); }
    void SetText(const std::string& text) { Send(SCI_SETTEXT, 0, text); }
    int64_t Caret() { return Send(SCI_GETCURRENTPOS); }
    int64_t Anchor() { return Send(SCI_GETANCHOR); }
    std::pair<int64_t, int64_t> Sel() { return {Anchor(), Caret()}; }
    int64_t CaretLine() { return Send(SCI_LINEFROMPOSITION, static_cast<uintptr_t>(Caret())); }
    // Sends a command and returns where the caret went.
    int64_t Key(unsigned command) {
        Send(command);
        return Caret();
    }
    void Type(const std::u16string& units) {
        for (char16_t u : units)
            view->TypeUnit(u);
    }
    int64_t Steps() { return view->GetDocument()->History().CurrentStep(); }
    Document& doc() { return *view->GetDocument(); }
    // A layout of the line made from scratch with the view's fonts and settings.
    LineLayout Fresh(int64_t line) {
        const int64_t start = doc().LineStart(line), end = doc().LineEnd(line);
        const std::string text = doc().GetText(start, end - start);
        LineLayout l;
        LayoutParams p{view->TabWidth(), view->WrapMode(), view->Wrapping() ? view->WrapWidth() : 0};
        BuildLineLayout(l, text.data(), static_cast<int32_t>(text.size()),
                        static_cast<int32_t>(doc().LineStart(line + 1) - end), p, view->TextFonts());
        return l;
    }
};

}  // namespace quill::test
