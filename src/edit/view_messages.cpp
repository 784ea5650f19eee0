// The control's message interface: the dispatcher and the messages it ignores. Each section of the
// interface (text, lines, document, selection, scrolling, styles, drawing, layout options,
// indicators, target, find) has a handler of its own, in the view_messages_*.cpp files.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>

#include "edit/eol_conversion.h"
#include "edit/sci_messages.h"
#include "edit/view.h"
#include "edit/view_message_args.h"

namespace quill {
namespace {

// Whether the message is one of the messages that only read or set a value that never changes
// anything: the ignored list.
bool IsIgnored(unsigned m) {
    static constexpr unsigned kIgnored[] = {2035, 2037, 2070, 2071, 2072, 2086, 2244, 2246, 2262, 2264, 2272,
                                            2280, 2290, 2291, 2366, 2371, 2382, 2383, 2394, 2401, 2402, 2403,
                                            2423, 2458, 2460, 2467, 2472, 2480, 2512, 2516, 2563, 2565, 2575,
                                            2598, 2611, 2614, 2630, 2631, 2668, 2674, 2679, 2692, 2696, 2702,
                                            2705, 2709, 2717, 2760, 2763, 2765, 2774, 2780, 2782};
    return std::find(std::begin(kIgnored), std::end(kIgnored), m) != std::end(kIgnored);
}

// Message numbers below this have their handler remembered (the interface's numbers are all below).
constexpr unsigned kRoutedMessages = 4096;

}  // namespace

intptr_t View::Message(unsigned m, uintptr_t wParam, intptr_t lParam) {
    using Section = std::optional<intptr_t> (View::*)(unsigned, const MessageArgs&);
    static constexpr Section kSections[] = {
        &View::TextMessage,          &View::LineMessage,
        &View::DocumentMessage,      &View::SelectionMessage,
        &View::ScrollMessage,        &View::PointAndFocusMessage,
        &View::StyleMessage,         &View::DrawingMessage,
        &View::IndentAndWrapMessage, &View::MarginAndScrollOptionMessage,
        &View::IndicatorMessage,     &View::TargetMessage,
        &View::FindMessage,
    };
    // Which handler answers a message number is learnt on its first use: every number goes to one
    // handler whatever its arguments, and asking each section in turn costs more than the work of a
    // small message (counting matches sends four of them per match).
    constexpr uint8_t kUnknown = 0, kIgnored = 1, kCommand = 2, kUnhandled = 3, kFirstSection = 4;
    static std::atomic<uint8_t> routes[kRoutedMessages];
    std::atomic<uint8_t>* route = m < kRoutedMessages ? &routes[m] : nullptr;
    const uint8_t known = route ? route->load(std::memory_order_relaxed) : kUnknown;
    if (known == kIgnored || known == kUnhandled) return 0;
    if (known >= kFirstSection) {
        const MessageArgs args(*doc_, wParam, lParam);
        const Section section = kSections[known - kFirstSection];
        return (this->*section)(m, args).value_or(0);
    }
    auto learn = [route](size_t how) {
        if (route) route->store(static_cast<uint8_t>(how), std::memory_order_relaxed);
    };
    if (known != kCommand && IsIgnored(m)) {
        learn(kIgnored);
        return 0;
    }
    if (ExecuteCommand(m)) {
        learn(kCommand);
        return 0;
    }
    const MessageArgs args(*doc_, wParam, lParam);
    size_t k = kFirstSection;
    for (Section section : kSections) {
        if (const std::optional<intptr_t> result = (this->*section)(m, args)) {
            learn(k);
            return *result;
        }
        ++k;
    }
    learn(kUnhandled);
    return 0;
}

void View::ConvertEols(int mode) {
    Document& d = *doc_;
    if (mode > 2 || d.IsReadOnly()) return;
    const int64_t length = d.Length();
    const std::string old = d.GetText(0, length);
    const std::string text = ConvertLineBreaks(old, EolText(mode));
    if (text == old) return;
    // The caret, the anchor and the scroll position stay on their lines and columns.
    const int64_t caretLine = d.LineFromPosition(caret_), anchorLine = d.LineFromPosition(anchor_);
    const int64_t caretColumn = caret_ - d.LineStart(caretLine);
    const int64_t anchorColumn = anchor_ - d.LineStart(anchorLine);
    const int64_t first = firstLine_;
    const int32_t topRow = topRow_, x = xOffset_;
    d.BeginGroup();
    d.DeleteChars(0, length, kCoalesceNone);
    d.InsertString(0, text.data(), static_cast<int64_t>(text.size()), kCoalesceNone);
    d.EndGroup();
    auto at = [&](int64_t line, int64_t column) {
        return d.LineStart(line) + std::min(column, d.LineEnd(line) - d.LineStart(line));
    };
    SetSelection(at(anchorLine, anchorColumn), at(caretLine, caretColumn));
    firstLine_ = std::clamp<int64_t>(first, 0, d.LineCount() - 1);
    topRow_ = topRow;
    xOffset_ = Wrapping() ? 0 : x;
    UpdateScrollBars();
    host_->InvalidateAll();
}

}  // namespace quill
