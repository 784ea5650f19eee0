// Input-method composition: the text being composed is shown inside the caret's line (layout puts
// it there) and never enters the document until the input method commits it as typing.
#include <algorithm>

#include "edit/char_classes.h"
#include "edit/utf8.h"
#include "edit/view.h"

namespace quill {
namespace {

// UTF-16 of a UTF-8 range, with the byte offset where each unit's character starts (one more
// entry for the end).
void ToUnits(const char* bytes, int64_t count, std::u16string* text, std::vector<uint32_t>* byteOfUnit) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    text->clear();
    byteOfUnit->clear();
    for (int64_t i = 0; i < count;) {
        int width = 1;
        const char32_t cp = DecodeUtf8(p + i, static_cast<size_t>(count - i), &width);
        const auto at = static_cast<uint32_t>(i);
        if (cp >= 0x10000) {
            text->push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
            text->push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
            byteOfUnit->push_back(at);
        } else {
            text->push_back(static_cast<char16_t>(cp));
        }
        byteOfUnit->push_back(at);
        i += std::max(1, width);
    }
    byteOfUnit->push_back(static_cast<uint32_t>(count));
}

// The first unit starting at or after byte `offset`.
uint32_t UnitOfByte(const std::vector<uint32_t>& byteOfUnit, int64_t offset) {
    return static_cast<uint32_t>(std::lower_bound(byteOfUnit.begin(), byteOfUnit.end(), offset) -
                                 byteOfUnit.begin());
}

}  // namespace

void View::StartComposition() {
    composing_ = true;
    PositionImeWindows();
}

void View::SetComposition(const std::u16string& text, const std::vector<uint8_t>& attributes,
                          int32_t cursor) {
    // As typing, so that the committed text joins the deletion in one undo step.
    if (!text.empty() && !SelectionEmpty()) DeleteSelection(kCoalesceTyping);
    const bool wasShown = Composing();
    compositionText_ = text;
    compositionAttributes_ = attributes;
    compositionAttributes_.resize(text.size(), 0);
    compositionCursor_ = std::clamp<int32_t>(cursor, 0, static_cast<int32_t>(text.size()));
    if (!text.empty()) composing_ = true;
    if (text.empty() && !wasShown) return;
    ShowCompositionChange();
    ScrollCaretIntoView(caret_, false);
    caretOn_ = true;
    if (focused_) RestartCaretTimer();
    UpdateSystemCaret();
    PositionImeWindows();
}

void View::CommitComposition(const std::u16string& result) {
    SetComposition({}, {}, 0);
    if (result.empty()) return;
    std::string utf8;
    for (size_t i = 0; i < result.size(); ++i) {
        char32_t cp = result[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < result.size() && result[i + 1] >= 0xDC00 &&
            result[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (result[++i] - 0xDC00);
        }
        utf8 += EncodeCharacter(cp);
    }
    TypeText(utf8);
    ScrollCaretIntoView(caret_, false);
}

void View::EndComposition() {
    composing_ = false;
    compositionAttributes_.clear();
    if (compositionText_.empty()) return;
    compositionText_.clear();
    compositionCursor_ = 0;
    ShowCompositionChange();
    UpdateSystemCaret();
}

void View::ShowCompositionChange() {
    const int64_t line = doc_->LineFromPosition(caret_);
    const int64_t rowsBefore = RowCount(line);
    // A long line is patched in place, as typing patches it; other lines are laid out again.
    const std::optional<RowRange> patched = PatchCompositionLayout(line);
    if (!patched) {
        DropLayout(line);
        LayoutLine(line);
    }
    // The rows below move only when the line's row count changed.
    if (RowCount(line) != rowsBefore) {
        InvalidateLines(line, -1);
    } else if (patched) {
        InvalidateRows(DisplayRowOfLine(line) + patched->first, DisplayRowOfLine(line) + patched->last);
    } else {
        InvalidateLines(line, 1);
    }
}

void View::CompleteComposition() {
    if (!InComposition()) return;
    host_->CompleteImeComposition();
    // An input method that did not answer (or none at all) leaves nothing shown behind.
    if (Composing()) SetComposition({}, {}, 0);
    composing_ = false;
}

void View::CompositionPoint(int32_t index, int32_t* x, int32_t* y) {
    const int64_t line = doc_->LineFromPosition(caret_);
    const LineLayout& l = LayoutLine(line);
    uint32_t unit = l.UnitOfOffset(static_cast<uint32_t>(caret_ - doc_->LineStart(line)));
    if (l.compositionStart >= 0)
        unit = static_cast<uint32_t>(l.compositionStart + std::clamp(index, 0, l.compositionLength));
    const int32_t row = l.RowOfUnit(unit);
    *x = TextLeft() - xOffset_ + l.xs[unit] - l.xs[l.RowStart(row)];
    const int64_t dy = (DisplayRowOfLine(line) + row - TopRow()) * LineHeight();
    *y = static_cast<int32_t>(std::clamp<int64_t>(dy, -0x3FFFFFFF, 0x3FFFFFFF));
}

void View::PositionImeWindows() {
    int32_t x = 0, y = 0;
    CompositionPoint(0, &x, &y);
    host_->PositionImeWindows(x, y, LineHeight());
}

bool View::ReconversionText(bool feed, std::u16string* text, uint32_t* start, uint32_t* length) {
    const int64_t line = doc_->LineFromPosition(SelectionStart());
    if (doc_->LineFromPosition(SelectionEnd()) != line) return false;
    const int64_t lineStart = doc_->LineStart(line), lineEnd = doc_->LineEnd(line);
    if (!feed && (lineEnd == lineStart || SelectionEnd() > lineEnd)) return false;
    std::vector<uint32_t> byteOfUnit;
    ToUnits(doc_->RangePointer(lineStart, lineEnd - lineStart), lineEnd - lineStart, text, &byteOfUnit);
    const int64_t from = feed ? caret_ : SelectionStart(), to = feed ? caret_ : SelectionEnd();
    *start = UnitOfByte(byteOfUnit, from - lineStart);
    *length = UnitOfByte(byteOfUnit, to - lineStart) - *start;
    return true;
}

void View::SelectLineUnits(uint32_t start, uint32_t length) {
    const int64_t line = doc_->LineFromPosition(SelectionStart());
    const int64_t lineStart = doc_->LineStart(line), lineEnd = doc_->LineEnd(line);
    std::u16string text;
    std::vector<uint32_t> byteOfUnit;
    ToUnits(doc_->RangePointer(lineStart, lineEnd - lineStart), lineEnd - lineStart, &text, &byteOfUnit);
    const size_t last = byteOfUnit.size() - 1;
    const size_t a = std::min<size_t>(start, last), b = std::min<size_t>(size_t{start} + length, last);
    SetSelection(lineStart + byteOfUnit[a], lineStart + byteOfUnit[b], true);
}

std::u16string View::HanjaCandidate() {
    if (InComposition() || !SelectionEmpty() || caret_ >= doc_->Length()) return {};
    const int64_t next = doc_->PositionAfter(caret_);
    std::u16string text;
    std::vector<uint32_t> byteOfUnit;
    ToUnits(doc_->RangePointer(caret_, next - caret_), next - caret_, &text, &byteOfUnit);
    if (text.empty() || text[0] < 0x80) return {};
    return text;
}

}  // namespace quill
