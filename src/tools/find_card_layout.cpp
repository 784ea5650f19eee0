#include "tools/find_card_layout.h"

#include <algorithm>

namespace lumen {

namespace {

BandRect Offset(BandRect r, int32_t d) {
    if (r.Empty()) return {};
    return {r.left + d, r.top + d, r.right + d, r.bottom + d};
}

// An EDIT inside its framed box: inset by 10 on the left, `reserve` kept free on the right, 20 high
// and vertically centred.
BandRect EditIn(const FindCardLayout& l, const BandRect& box, int32_t reserve) {
    if (box.Empty()) return {};
    const int32_t height = l.Scale(20);
    const int32_t top = box.top + (box.bottom - box.top - height) / 2;
    const int32_t left = box.left + l.Scale(10);
    const int32_t right = std::max(left, box.right - l.Scale(reserve));
    return {left, top, right, top + height};
}

}  // namespace

FindCardLayout LayoutFindCard(const FindCardInput& in) {
    FindCardLayout l;
    l.dpi = in.dpi;
    const int32_t pad = l.Scale(8), button = l.Scale(32), gap = l.Scale(4);
    const int32_t w = in.editor.right - in.editor.left;
    BandRect* b = l.buttons;
    const int32_t top = pad, bottom = pad + button;
    if (in.mode != FindMode::GoToLine) {
        l.cardWidth = std::clamp(w - l.Scale(32), l.Scale(200), l.Scale(520));
        l.cardHeight = button + 2 * pad;
        if (in.mode == FindMode::Replace) l.cardHeight += l.Scale(6) + button;
        b[kFindToggleReplace] = {pad, top, pad + l.Scale(28), bottom};
        b[kFindClose] = {l.cardWidth - pad - button, top, l.cardWidth - pad, bottom};
        auto leftOf = [&](const BandRect& r, int32_t space) {
            return BandRect{r.left - space - button, top, r.left - space, bottom};
        };
        b[kFindWholeWord] = leftOf(b[kFindClose], l.Scale(4) + gap);
        b[kFindMatchCase] = leftOf(b[kFindWholeWord], gap);
        b[kFindNextButton] = leftOf(b[kFindMatchCase], 2 * gap);
        b[kFindPrevious] = leftOf(b[kFindNextButton], gap);
        l.findBox = {b[kFindToggleReplace].right + gap, top, b[kFindPrevious].left - gap - l.Scale(2),
                     bottom};
        l.counter = {l.findBox.right - l.Scale(84), top, l.findBox.right - l.Scale(10), bottom};
        if (in.mode == FindMode::Replace) {
            const int32_t top2 = pad + button + l.Scale(6), bottom2 = top2 + button;
            l.replaceBox = {l.findBox.left, top2, l.findBox.right, bottom2};
            const int32_t start = b[kFindPrevious].left, end = b[kFindClose].right;
            const int32_t width = (end - start - gap) * 9 / 20;
            b[kFindReplaceOne] = {start, top2, start + width, bottom2};
            b[kFindReplaceAll] = {start + width + gap, top2, end, bottom2};
        }
    } else {
        l.cardWidth = std::max(0, std::min(w - l.Scale(32), l.Scale(360)));
        l.cardHeight = button + 2 * pad;
        b[kFindClose] = {l.cardWidth - pad - button, top, l.cardWidth - pad, bottom};
        b[kFindGoTo] = {b[kFindClose].left - gap - l.Scale(64), top, b[kFindClose].left - gap, bottom};
        l.findBox = {pad, top, b[kFindGoTo].left - gap - l.Scale(2), bottom};
    }
    l.shadowMargin = l.Scale(6);
    for (BandRect& r : l.buttons)
        r = Offset(r, l.shadowMargin);
    l.findBox = Offset(l.findBox, l.shadowMargin);
    l.replaceBox = Offset(l.replaceBox, l.shadowMargin);
    l.counter = Offset(l.counter, l.shadowMargin);

    const int32_t left = in.editor.right - l.cardWidth - l.Scale(22) - l.shadowMargin;
    const int32_t windowTop = in.editor.top - l.shadowMargin + l.Scale(in.focusMode ? 12 : 8);
    l.window = {left, windowTop, left + l.cardWidth + 2 * l.shadowMargin,
                windowTop + l.cardHeight + l.Scale(10) + l.shadowMargin};
    l.findEdit = EditIn(l, l.findBox, in.mode == FindMode::GoToLine ? 10 : 92);
    l.replaceEdit = EditIn(l, l.replaceBox, 10);
    return l;
}

int32_t FindButtonAt(const FindCardLayout& l, int32_t x, int32_t y) {
    for (int32_t i = 0; i < kFindButtonCount; ++i)
        if (!l.buttons[i].Empty() && l.buttons[i].Contains(x, y)) return i;
    return -1;
}

int32_t FindBoxAt(const FindCardLayout& l, int32_t x, int32_t y) {
    if (FindButtonAt(l, x, y) >= 0) return 0;
    if (!l.findBox.Empty() && l.findBox.Contains(x, y)) return 1;
    if (!l.replaceBox.Empty() && l.replaceBox.Contains(x, y)) return 2;
    return 0;
}

std::wstring CounterText(int32_t matchCount, int32_t matchIndex) {
    if (matchCount < 0) return {};
    if (matchCount == 0) return L"결과 없음";
    std::wstring text = matchIndex < 1 ? L"\u2013" : std::to_wstring(matchIndex);
    text += L"/" + std::to_wstring(matchCount);
    if (matchCount >= kFindCountCap) text += L"+";
    return text;
}

std::wstring LineRangeHint(int64_t lineCount) {
    const std::wstring digits = std::to_wstring(lineCount);
    std::wstring grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0 && digits[i - 1] != L'-') grouped += L',';
        grouped += digits[i];
    }
    return L"1\u2013" + grouped;
}

int64_t DigitsNumber(std::string_view utf8) {
    constexpr int64_t kBound = 1'000'000'000'000'000;  // past any document's line count
    int64_t n = 0;
    for (char c : utf8) {
        if (c < '0' || c > '9') continue;
        n = n >= kBound / 10 ? kBound : n * 10 + (c - '0');
    }
    return n;
}

int64_t GoToLineTarget(std::string_view utf8, int64_t lineCount) {
    const int64_t n = DigitsNumber(utf8);
    if (n <= 0) return -1;
    return std::min(n, std::max<int64_t>(lineCount, 1)) - 1;
}

}  // namespace lumen
