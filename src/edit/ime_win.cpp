// The input-method side of a QuillEdit window: composition strings read from the window's input
// context, its windows placed under the composition, its queries answered.
#include "edit/ime_win.h"

#include <imm.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "edit/key_map.h"
#include "edit/sci_messages.h"
#include "edit/view_host_win.h"

namespace quill {
namespace {

// The input context of a window for the length of a scope.
class Context {
public:
    explicit Context(HWND hwnd) : hwnd_(hwnd), imc_(ImmGetContext(hwnd)) {}
    ~Context() {
        if (imc_) ImmReleaseContext(hwnd_, imc_);
    }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    HIMC get() const { return imc_; }
    explicit operator bool() const { return imc_ != nullptr; }

private:
    HWND hwnd_;
    HIMC imc_;
};

std::u16string ReadString(HIMC imc, DWORD kind) {
    const LONG bytes = ImmGetCompositionStringW(imc, kind, nullptr, 0);
    if (bytes <= 0) return {};
    std::u16string text(static_cast<size_t>(bytes) / 2, u'\0');
    ImmGetCompositionStringW(imc, kind, text.data(), static_cast<DWORD>(bytes));
    return text;
}

std::vector<uint8_t> ReadAttributes(HIMC imc) {
    const LONG bytes = ImmGetCompositionStringW(imc, GCS_COMPATTR, nullptr, 0);
    if (bytes <= 0) return {};
    std::vector<uint8_t> attributes(static_cast<size_t>(bytes));
    ImmGetCompositionStringW(imc, GCS_COMPATTR, attributes.data(), static_cast<DWORD>(bytes));
    return attributes;
}

void Composition(View& view, HWND hwnd, LPARAM flags) {
    Context imc(hwnd);
    if (!imc) return;
    // Keyed on the flags alone: input methods send composition strings outside a start/end pair
    // and results inside messages that also carry an empty composition.
    if (flags & GCS_RESULTSTR) view.CommitComposition(ReadString(imc.get(), GCS_RESULTSTR));
    // A message with only the cursor (Wine sends one after each composition string) keeps the
    // composition: taken as a cancel it would hide every jamo as soon as it is shown.
    if (flags & (GCS_COMPSTR | GCS_CURSORPOS)) {
        std::u16string text = ReadString(imc.get(), GCS_COMPSTR);
        std::vector<uint8_t> attributes;
        if (flags & GCS_COMPATTR) attributes = ReadAttributes(imc.get());
        if (!(flags & GCS_COMPSTR)) attributes = view.CompositionAttributes();
        int32_t cursor = static_cast<int32_t>(text.size());
        if (flags & GCS_CURSORPOS)
            cursor = LOWORD(ImmGetCompositionStringW(imc.get(), GCS_CURSORPOS, nullptr, 0));
        view.SetComposition(text, attributes, cursor);
    } else if (!(flags & GCS_RESULTSTR)) {
        view.SetComposition({}, {}, 0);  // cancelled
    }
    view.PositionImeWindows();
}

void SetCompositionFont(View& view, HWND hwnd) {
    Context imc(hwnd);
    if (!imc) return;
    LOGFONTW font{};
    auto* handle = static_cast<HFONT>(view.TextFonts().Handle(0));
    if (handle && GetObjectW(handle, sizeof(font), &font)) ImmSetCompositionFontW(imc.get(), &font);
}

// The reconversion record: the header, then the line's text.
LRESULT Reconversion(View& view, HWND hwnd, bool feed, RECONVERTSTRING* record) {
    Context imc(hwnd);
    if (!imc) return 0;
    std::u16string text;
    uint32_t start = 0, length = 0;
    if (!view.ReconversionText(feed, &text, &start, &length)) return 0;
    const DWORD size = static_cast<DWORD>(sizeof(RECONVERTSTRING) + (text.size() + 1) * 2);
    if (!record) return size;
    record->dwSize = size;
    record->dwVersion = 0;
    record->dwStrLen = static_cast<DWORD>(text.size());
    record->dwStrOffset = sizeof(RECONVERTSTRING);
    record->dwCompStrOffset = record->dwTargetStrOffset = start * 2;
    record->dwCompStrLen = record->dwTargetStrLen = length;
    auto* out = reinterpret_cast<char16_t*>(reinterpret_cast<char*>(record) + sizeof(RECONVERTSTRING));
    std::copy(text.begin(), text.end(), out);
    out[text.size()] = u'\0';
    if (!feed && ImmSetCompositionStringW(imc.get(), SCS_QUERYRECONVERTSTRING, record, size, nullptr, 0))
        view.SelectLineUnits(record->dwCompStrOffset / 2, record->dwCompStrLen);
    return size;
}

LRESULT CharacterPosition(View& view, HWND hwnd, IMECHARPOSITION* record) {
    if (!record) return 0;
    int32_t x = 0, y = 0;
    view.CompositionPoint(static_cast<int32_t>(record->dwCharPos), &x, &y);
    POINT pt{x, y};
    ClientToScreen(hwnd, &pt);
    record->pt = pt;
    record->cLineHeight = static_cast<UINT>(view.LineHeight());
    RECT rc{};
    GetClientRect(hwnd, &rc);
    MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    record->rcDocument = rc;
    return 1;
}

LRESULT Request(View& view, HWND hwnd, WPARAM kind, LPARAM lParam) {
    switch (kind) {
        case IMR_RECONVERTSTRING:
        case IMR_DOCUMENTFEED:
            return Reconversion(view, hwnd, kind == IMR_DOCUMENTFEED,
                                reinterpret_cast<RECONVERTSTRING*>(lParam));
        case IMR_QUERYCHARPOSITION:
            return CharacterPosition(view, hwnd, reinterpret_cast<IMECHARPOSITION*>(lParam));
        default:
            return 0;
    }
}

void Hanja(View& view, HWND hwnd) {
    std::u16string character = view.HanjaCandidate();
    if (character.empty()) return;
    Context imc(hwnd);
    if (!imc) return;
    view.PositionImeWindows();
    character.push_back(u'\0');
    if (ImmEscapeW(GetKeyboardLayout(0), imc.get(), IME_ESC_HANJA_MODE, character.data())) {
        const int64_t caret = view.Caret();
        view.SetSelection(caret, view.GetDocument()->PositionAfter(caret), true);
    }
}

// The test string of the hook, shared by all views of the process.
std::u16string& TestString() {
    static std::u16string text;
    return text;
}

LRESULT TestHook(View& view, HWND hwnd, WPARAM action, LPARAM lParam) {
    std::u16string& text = TestString();
    switch (action) {
        // The string is built unit by unit and used up by each action that takes it.
        case 0: {
            const std::u16string shown = std::move(text);
            text.clear();
            if (!view.InComposition()) view.StartComposition();
            view.SetComposition(shown, {}, static_cast<int32_t>(shown.size()));
            return 0;
        }
        case 1: {
            const std::u16string typed = std::move(text);
            text.clear();
            view.CommitComposition(typed);
            return 0;
        }
        case 2:
            view.EndComposition();
            return 0;
        case 3:
            text.push_back(static_cast<char16_t>(lParam));
            return 0;
        case 4: {
            Context imc(hwnd);
            if (imc)
                ImmSetCompositionStringW(imc.get(), SCS_SETSTR, text.data(),
                                         static_cast<DWORD>(text.size() * 2), nullptr, 0);
            text.clear();
            return 0;
        }
        case 5:
            view.CompleteComposition();
            return 0;
        case 6:
            return view.InComposition() ? static_cast<LRESULT>(view.CompositionText().size()) + 1 : 0;
        default:
            return 0;
    }
}

}  // namespace

bool ImeMessage(View& view, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    switch (message) {
        case WM_IME_SETCONTEXT:
            // The composition is drawn inline: the input method's own window is not wanted.
            if (wParam) lParam &= ~static_cast<LPARAM>(ISC_SHOWUICOMPOSITIONWINDOW);
            *result = DefWindowProcW(hwnd, message, wParam, lParam);
            return true;
        case WM_IME_STARTCOMPOSITION:
            SetCompositionFont(view, hwnd);
            view.StartComposition();
            return true;
        case WM_IME_COMPOSITION:
            Composition(view, hwnd, lParam);
            return true;
        case WM_IME_ENDCOMPOSITION:
            view.EndComposition();
            return true;
        case WM_IME_CHAR:
            return true;  // the result came with the composition message
        case WM_IME_REQUEST:
            *result = Request(view, hwnd, wParam, lParam);
            return true;
        case WM_IME_KEYDOWN:
        case WM_KEYDOWN:
            if (wParam != vk::Hanja) return false;
            Hanja(view, hwnd);
            return true;
        case QM_TESTHOOK: {
            static const bool enabled = std::getenv("QUILLEDIT_TEST") != nullptr;
            if (!enabled) return false;
            *result = TestHook(view, hwnd, wParam, lParam);
            return true;
        }
        default:
            return false;
    }
}

void WinViewHost::PositionImeWindows(int32_t x, int32_t y, int32_t lineHeight) {
    HIMC imc = ImmGetContext(hwnd_);
    if (!imc) return;
    COMPOSITIONFORM composition{};
    composition.dwStyle = CFS_POINT;
    composition.ptCurrentPos = {x, y};
    ImmSetCompositionWindow(imc, &composition);
    CANDIDATEFORM candidate{};
    candidate.dwIndex = 0;
    candidate.dwStyle = CFS_EXCLUDE;
    candidate.ptCurrentPos = {x, y + lineHeight};
    candidate.rcArea = {x, y, x + 1, y + lineHeight};
    ImmSetCandidateWindow(imc, &candidate);
    ImmReleaseContext(hwnd_, imc);
}

void WinViewHost::CompleteImeComposition() {
    HIMC imc = ImmGetContext(hwnd_);
    if (!imc) return;
    ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ImmReleaseContext(hwnd_, imc);
}

}  // namespace quill
