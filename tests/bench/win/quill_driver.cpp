// QuillEdit driven the way the program drives it: through the direct-call function, opening text
// through a loader and attaching the document, as opening a file does.
#include <cmath>

#include "control_driver.h"
#include "edit/loader.h"
#include "edit/quill_window_win.h"
#include "edit/sci_messages.h"
#include "files/code_page.h"

namespace lumen::bench {
namespace {

// The direct-call function's public form: (pointer, message, wParam, lParam).
using DirectFunction = intptr_t (*)(intptr_t, unsigned, uintptr_t, intptr_t);

class QuillDriver : public ControlDriver {
public:
    HWND Create(HWND parent, bool wrap) override {
        if (hwnd_) DestroyWindow(hwnd_);
        hwnd_ = nullptr;
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        if (!quill::RegisterQuillEditClass(instance)) return nullptr;
        const RECT rc = ControlArea(parent);
        // No scroll-bar styles: the control draws its own overlay bars, as in the program.
        hwnd_ = CreateWindowExW(0, quill::kQuillEditClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                                rc.right, rc.bottom, parent, reinterpret_cast<HMENU>(1), instance, nullptr);
        if (!hwnd_) return nullptr;
        fn_ = reinterpret_cast<DirectFunction>(SendMessageW(hwnd_, quill::SCI_GETDIRECTFUNCTION, 0, 0));
        ptr_ = SendMessageW(hwnd_, quill::SCI_GETDIRECTPOINTER, 0, 0);
        if (!fn_ || !ptr_) return nullptr;
        Call(quill::SCI_SETWRAPMODE, wrap ? quill::SC_WRAP_WORD : quill::SC_WRAP_NONE);
        SetFocus(hwnd_);
        return hwnd_;
    }
    // As the program sets its editor font: on the default style, which every style then copies.
    void SetFont(const std::wstring& face, double points) override {
        const std::string utf8 = WideToUtf8(face);
        Call(quill::SCI_STYLESETFONT, quill::STYLE_DEFAULT, reinterpret_cast<intptr_t>(utf8.c_str()));
        Call(quill::SCI_STYLESETSIZEFRACTIONAL, quill::STYLE_DEFAULT, std::lround(points * 100));
        Call(quill::SCI_STYLECLEARALL);
    }
    // The bytes go to the control as they are: it keeps UTF-8.
    void Load(const std::string& utf8) override {
        auto* loader = reinterpret_cast<quill::ILoader*>(Call(quill::SCI_CREATELOADER, utf8.size()));
        if (!loader) return;
        if (loader->AddData(utf8.data(), static_cast<int64_t>(utf8.size())) != 0) {
            loader->Release();
            return;
        }
        quill::Document* doc = loader->ConvertToDocument();
        Call(quill::SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(doc));
        Call(quill::SCI_RELEASEDOCUMENT, 0, reinterpret_cast<intptr_t>(doc));  // the view holds its own
    }
    int64_t Length() override { return Call(quill::SCI_GETLENGTH); }
    bool OpenDocuments(const std::vector<std::string>& texts) override {
        for (const std::string& text : texts) {
            Load(text);
            auto* doc = reinterpret_cast<quill::Document*>(Call(quill::SCI_GETDOCPOINTER));
            Call(quill::SCI_ADDREFDOCUMENT, 0, reinterpret_cast<intptr_t>(doc));
            tabs_.push_back({doc});
            WaitForWrapping();
        }
        shown_ = tabs_.size() - 1;
        return true;
    }
    // What the tabbed shell does on a tab switch: keep the old tab's place, show the other
    // document, put its place back.
    void ShowDocument(size_t index) override {
        Tab& old = tabs_[shown_];
        old.anchor = Call(quill::SCI_GETANCHOR);
        old.caret = Call(quill::SCI_GETCURRENTPOS);
        old.top = Call(quill::SCI_GETFIRSTVISIBLELINE);
        old.x = Call(quill::SCI_GETXOFFSET);
        const Tab& tab = tabs_[index];
        Call(quill::SCI_SETDOCPOINTER, 0, reinterpret_cast<intptr_t>(tab.doc));
        Call(quill::SCI_SETSEL, static_cast<uintptr_t>(tab.anchor), tab.caret);
        Call(quill::SCI_SETFIRSTVISIBLELINE, static_cast<uintptr_t>(tab.top));
        Call(quill::SCI_SETXOFFSET, static_cast<uintptr_t>(tab.x));
        shown_ = index;
    }
    // The control answers SCI_GETCOLUMN from marks it keeps along the line last asked about, so
    // asking on every key of the 2 MB line does not count from the line's start each time.
    std::pair<int64_t, int64_t> CaretLineColumn() override {
        const intptr_t caret = Call(quill::SCI_GETCURRENTPOS);
        return {Call(quill::SCI_LINEFROMPOSITION, static_cast<uintptr_t>(caret)),
                Call(quill::SCI_GETCOLUMN, static_cast<uintptr_t>(caret))};
    }
    // Positions are bytes: a caret is put where a user's could be, at the start of the character
    // that holds the byte.
    void SetCaret(int64_t position) override {
        if (position > 0 && position < Length()) position = Call(quill::SCI_POSITIONBEFORE, position + 1);
        Call(quill::SCI_GOTOPOS, static_cast<uintptr_t>(position));
    }

private:
    struct Tab {
        quill::Document* doc;
        intptr_t anchor = 0, caret = 0, top = 0, x = 0;
    };
    // Lets the background wrapper finish, as it does while a user reads.
    void WaitForWrapping() {
        quill::View* view = quill::ViewFromWindow(hwnd_);
        MSG msg;
        while (view && view->WrapPending()) {
            if (GetMessageW(&msg, nullptr, 0, 0) <= 0) break;
            DispatchMessageW(&msg);
        }
    }
    intptr_t Call(unsigned message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return fn_(ptr_, message, wParam, lParam);
    }
    DirectFunction fn_ = nullptr;
    intptr_t ptr_ = 0;
    std::vector<Tab> tabs_;
    size_t shown_ = 0;
};

const RegisterDriver kQuill("quill", "QuillEdit", [] { return std::make_unique<QuillDriver>(); });

}  // namespace
}  // namespace lumen::bench
