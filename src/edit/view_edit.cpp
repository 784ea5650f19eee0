// The editing half of the view: hit-testing, keeping the caret on screen, the keyboard commands,
// typing, tab and back tab, the mouse selection modes and the clipboard. Everything here works on
// the document and the layouts only; the window turns system messages into these calls.
#include <algorithm>
#include <cstring>

#include "edit/char_classes.h"
#include "edit/eol_conversion.h"
#include "edit/indentation.h"
#include "edit/sci_messages.h"
#include "edit/view.h"
#include "edit/word_moves.h"

namespace quill {
namespace {

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

// A unit that belongs to the character before it: a zero-width continuation, the low half of a
// pair, or a combining mark.
bool JoinsPrevious(const LineLayout& l, uint32_t unit) {
    if (unit == 0 || unit >= static_cast<uint32_t>(l.Units())) return false;
    if ((l.flags[unit] & kUnitContinues) || IsLowSurrogate(l.chars[unit])) return true;
    return l.xs[unit + 1] == l.xs[unit] && IsCombiningCharacter(l.chars[unit]);
}

std::string Utf8Of(char32_t cp) {
    return EncodeCharacter(cp);
}

}  // namespace

// ---- scrolling arithmetic -----------------------------------------------------------------------

int64_t TopRowToShow(int64_t row, int64_t top, int64_t page, bool centre) {
    page = std::max<int64_t>(1, page);
    if (centre) return row - page / 2;
    if (row >= top && row < top + page) return top;
    if (row < top) return row >= top - page ? row : row - page / 2;
    return row < top + 2 * page ? row - page + 1 : row - page / 2;
}

int32_t XOffsetToShow(int32_t x, int32_t offset, int32_t width, int32_t caretWidth) {
    if (x >= offset && x + caretWidth <= offset + width) return offset;
    if (x >= offset) return x + caretWidth - width + width / 3;
    return x >= 2 * width / 3 ? x - width / 3 : 0;
}

// ---- hit-testing --------------------------------------------------------------------------------

int64_t View::PositionInRow(int64_t row, int32_t rowX) {
    if (row < 0) return 0;
    if (row >= TotalRows()) return doc_->Length();
    int64_t line = 0;
    int32_t rowInLine = 0;
    const LineLayout& l = LayoutOfRow(row, &line, &rowInLine);
    const uint32_t rs = l.RowStart(rowInLine), re = l.RowEnd(rowInLine);
    const int64_t lx = int64_t{rowX} + l.xs[rs];
    uint32_t u = rs;
    while (u < re && l.xs[u] < lx)
        ++u;
    if (u > rs && lx - l.xs[u - 1] < l.xs[u] - lx) --u;
    while (u < re && JoinsPrevious(l, u))
        ++u;
    if (u == re && rowInLine + 1 < l.Rows() && re > rs) {
        u = re - 1;
        while (u > rs && JoinsPrevious(l, u))
            --u;
    }
    return doc_->LineStart(line) + l.offsets[u];
}

int64_t View::PositionFromPoint(int32_t x, int32_t y, bool close) {
    if (close && (x < TextLeft() || x >= clientWidth_ || y < 0 || y >= clientHeight_)) return -1;
    const int32_t lh = LineHeight();
    const int64_t dy = y >= 0 ? y / lh : -((-int64_t{y} + lh - 1) / lh);
    const int64_t row = TopRow() + dy;
    return PositionInRow(row, x - TextLeft() + xOffset_);
}

int32_t View::RowX(int64_t position) {
    position = std::clamp<int64_t>(position, 0, doc_->Length());
    const int64_t line = doc_->LineFromPosition(position);
    const LineLayout& l = LayoutLine(line);
    const uint32_t unit = l.UnitOfOffset(static_cast<uint32_t>(position - doc_->LineStart(line)));
    return l.xs[unit] - l.xs[l.RowStart(l.RowOfUnit(unit))];
}

const LineLayout& View::LayoutOfRow(int64_t row, int64_t* line, int32_t* rowInLine) {
    LineFromDisplayRow(row, line, rowInLine);
    const LineLayout& l = LayoutLine(*line);
    *rowInLine = std::clamp(*rowInLine, 0, l.Rows() - 1);
    return l;
}

int64_t View::RowStartPosition(int64_t row) {
    int64_t line = 0;
    int32_t rowInLine = 0;
    const LineLayout& l = LayoutOfRow(row, &line, &rowInLine);
    return doc_->LineStart(line) + l.offsets[l.RowStart(rowInLine)];
}

int64_t View::RowEndPosition(int64_t row) {
    int64_t line = 0;
    int32_t rowInLine = 0;
    const LineLayout& l = LayoutOfRow(row, &line, &rowInLine);
    if (rowInLine + 1 >= l.Rows()) return doc_->LineEnd(line);
    const uint32_t rs = l.RowStart(rowInLine);
    uint32_t u = l.RowEnd(rowInLine);
    if (u > rs) --u;
    while (u > rs && JoinsPrevious(l, u))
        --u;
    return doc_->LineStart(line) + l.offsets[u];
}

void View::ScrollCaretIntoView(int64_t position, bool centre) {
    const int64_t row = DisplayRowOfPosition(position);
    const int64_t top = TopRow();
    const int64_t newTop = TopRowToShow(row, top, LinesOnScreen(), centre);
    if (newTop != top) ScrollToRow(newTop);
    if (!Wrapping()) {
        const int32_t width = std::max(1, clientWidth_ - marginRight_ - TextLeft());
        const int32_t x = RowX(position);
        SetXOffset(XOffsetToShow(x, xOffset_, width, caretWidth_));
    }
}

void View::ScrollRange(int64_t secondary, int64_t primary) {
    const int64_t a = DisplayRowOfPosition(secondary), b = DisplayRowOfPosition(primary);
    const int64_t lo = std::min(a, b), hi = std::max(a, b);
    const int64_t top = TopRow(), page = LinesOnScreen();
    if (!(lo >= top && hi < top + page)) {
        if (hi - lo + 1 >= page) {
            ScrollToRow(b - page / 2);
        } else if (lo < top - page || hi >= top + 2 * page) {
            ScrollToRow(lo - (page - (hi - lo + 1)) / 2);
        } else if (hi >= top + page) {
            ScrollToRow(hi - page + 1);
        } else {
            ScrollToRow(lo);
        }
    }
    if (!Wrapping()) {
        const int32_t width = std::max(1, clientWidth_ - marginRight_ - TextLeft());
        SetXOffset(XOffsetToShow(RowX(primary), xOffset_, width, caretWidth_));
    }
}

// ---- editing primitives -------------------------------------------------------------------------

void View::ReplaceSelection(const char* bytes, int64_t count, uint32_t coalesceKind) {
    if (doc_->IsReadOnly()) return;
    const int64_t s = SelectionStart();
    const int64_t length = SelectionEnd() - s;
    const bool group = length > 0 && coalesceKind == kCoalesceNone;
    if (group) doc_->BeginGroup();
    if (length > 0) doc_->DeleteChars(s, length, coalesceKind);
    if (count > 0) doc_->InsertString(s, bytes, count, coalesceKind);
    if (group) doc_->EndGroup();
    SetSelection(s + std::max<int64_t>(count, 0), s + std::max<int64_t>(count, 0), true);
}

void View::DeleteSelection(uint32_t coalesceKind) {
    if (doc_->IsReadOnly() || SelectionEmpty()) return;
    const int64_t s = SelectionStart();
    doc_->DeleteChars(s, SelectionEnd() - s, coalesceKind);
    SetSelection(s, s, true);
}

void View::SendCharAdded(char32_t cp) {
    Notification n;
    n.nmhdr.code = SCN_CHARADDED;
    n.ch = static_cast<int32_t>(cp);
    host_->Notify(n);
}

void View::TypeText(const std::string& utf8) {
    if (doc_->IsReadOnly() || utf8.empty()) return;
    const int64_t line = doc_->LineFromPosition(caret_);
    if (appearance_.overtype && SelectionEmpty() && caret_ < doc_->LineEnd(line)) {
        const int64_t at = caret_;
        doc_->BeginGroup();
        doc_->DeleteChars(at, doc_->PositionAfter(at) - at, kCoalesceTyping);
        doc_->InsertString(at, utf8.data(), static_cast<int64_t>(utf8.size()), kCoalesceTyping);
        doc_->EndGroup();
        const int64_t after = at + static_cast<int64_t>(utf8.size());
        SetSelection(after, after, true);
    } else {
        ReplaceSelection(utf8.data(), static_cast<int64_t>(utf8.size()), kCoalesceTyping);
    }
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    for (size_t i = 0; i < utf8.size();) {
        int width = 1;
        const char32_t cp = DecodeCharacter(p + i, static_cast<int64_t>(utf8.size() - i), &width);
        SendCharAdded(cp);
        i += static_cast<size_t>(std::max(1, width));
    }
}

void View::TypeUnit(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh_ = unit;
        return;
    }
    if (IsLowSurrogate(unit)) {
        if (pendingHigh_ == 0) return;
        const char32_t cp = 0x10000 + ((char32_t{pendingHigh_} - 0xD800) << 10) + (unit - 0xDC00);
        pendingHigh_ = 0;
        TypeCodePoint(cp);
        return;
    }
    pendingHigh_ = 0;
    TypeCodePoint(unit);
}

void View::TypeCodePoint(char32_t cp) {
    if (cp < 0x20 || cp == 0x7F || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return;
    TypeText(Utf8Of(cp));
    ScrollCaretIntoView(caret_, false);
}

void View::SetText(const char* bytes, int64_t count) {
    doc_->BeginGroup();
    doc_->DeleteChars(0, doc_->Length(), kCoalesceNone);
    SetSelection(0, 0);
    if (count > 0) doc_->InsertString(0, bytes, count, kCoalesceNone);
    doc_->EndGroup();
    SetSelection(0, 0);
}

void View::Undo() {
    if (Composing()) return;
    int64_t anchor = 0, caret = 0;
    if (doc_->Undo(&anchor, &caret)) SetSelection(anchor, caret, true);
}

void View::Redo() {
    if (Composing()) return;
    int64_t position = 0;
    if (doc_->Redo(&position)) SetSelection(position, position, true);
}

void View::DeleteRange(int64_t start, int64_t end, bool ownStep) {
    if (end <= start) return;
    if (ownStep) doc_->SealLastStep();
    doc_->DeleteChars(start, end - start, kCoalesceNone);
    if (ownStep) doc_->SealLastStep();
    SetSelection(start, start, true);
}

void View::SetLineIndentation(int64_t line, int32_t columns) {
    if (line < 0 || line >= doc_->LineCount() || doc_->IsReadOnly()) return;
    columns = std::max(0, columns);
    const int64_t start = doc_->LineStart(line);
    const int64_t indentEnd = IndentPosition(*doc_, line);
    const std::string text = IndentationText(columns, tabWidth_, useTabs_);
    if (doc_->GetText(start, indentEnd - start) == text) return;
    doc_->BeginGroup();
    doc_->DeleteChars(start, indentEnd - start, kCoalesceNone);
    doc_->InsertString(start, text.data(), static_cast<int64_t>(text.size()), kCoalesceNone);
    doc_->EndGroup();
}

void View::TabCommand(bool back) {
    if (doc_->IsReadOnly()) return;
    const int32_t step = IndentStep();
    const int64_t anchorLine = doc_->LineFromPosition(anchor_);
    const int64_t caretLine = doc_->LineFromPosition(caret_);
    if (anchorLine == caretLine) {
        const int64_t line = caretLine;
        if (!back) {
            if (useTabs_) {
                ReplaceSelection("\t", 1, kCoalesceTyping);
            } else {
                const int32_t column = ColumnOf(*doc_, SelectionStart(), tabWidth_);
                const std::string spaces(static_cast<size_t>(step - column % step), ' ');
                ReplaceSelection(spaces.data(), static_cast<int64_t>(spaces.size()), kCoalesceTyping);
            }
            return;
        }
        const int32_t indent = LineIndentation(*doc_, line, tabWidth_);
        if (caret_ > IndentPosition(*doc_, line) || indent < 1) return;
        SetLineIndentation(line, PreviousIndentStop(indent, step));
        const int64_t at = IndentPosition(*doc_, line);
        SetSelection(at, at, true);
        return;
    }
    const bool forward = anchor_ <= caret_;
    const int64_t first = doc_->LineFromPosition(SelectionStart());
    int64_t last = doc_->LineFromPosition(SelectionEnd());
    if (last > first && doc_->LineStart(last) == SelectionEnd()) --last;
    doc_->BeginGroup();
    for (int64_t line = last; line >= first; --line) {
        const int32_t indent = LineIndentation(*doc_, line, tabWidth_);
        if (!back) {
            if (doc_->LineEnd(line) > doc_->LineStart(line))
                SetLineIndentation(line, NextIndentStop(indent, step));
        } else if (indent > 0) {
            SetLineIndentation(line, PreviousIndentStop(indent, step));
        }
    }
    doc_->EndGroup();
    const int64_t start = doc_->LineStart(first);
    const int64_t end = doc_->LineStart(last + 1);
    if (forward) {
        SetSelection(start, end, true);
    } else {
        SetSelection(end, start, true);
    }
}

void View::ZoomBy(int32_t step) {
    const int32_t before = zoom_;
    SetZoom(zoom_ + step);
    if (zoom_ != before) {
        Notification n;
        n.nmhdr.code = SCN_ZOOM;
        host_->Notify(n);
    }
}

// ---- commands -----------------------------------------------------------------------------------

void View::MoveTo(int64_t position, bool extend) {
    SetSelection(extend ? anchor_ : position, position, true);
}

void View::MoveVertically(unsigned message, int64_t rows, bool extend) {
    const bool up = rows < 0;
    int64_t from = caret_;
    if (!extend && !SelectionEmpty()) from = up ? SelectionStart() : SelectionEnd();
    if (desiredX_ < 0) desiredX_ = RowX(from);
    const int32_t x = desiredX_;
    const int64_t row = DisplayRowOfPosition(from);
    const int64_t lastRow = TotalRows() - 1;
    const bool page = message == SCI_PAGEUP || message == SCI_PAGEUPEXTEND || message == SCI_PAGEDOWN ||
                      message == SCI_PAGEDOWNEXTEND;
    int64_t target = std::clamp<int64_t>(row + rows, 0, std::max<int64_t>(lastRow, 0));
    int64_t position;
    if (target == row) {
        position = page ? (up ? 0 : doc_->Length()) : from;
    } else {
        position = PositionInRow(target, x);
    }
    if (page) ScrollToRow(TopRow() + rows);
    SetSelection(extend ? anchor_ : position, position, true, true);
}

bool View::ExecuteCommand(unsigned message) {
    return MoveCommand(message) || ViewCommand(message) || EditCommand(message);
}

bool View::MoveCommand(unsigned message) {
    const int64_t length = doc_->Length();
    const int64_t line = doc_->LineFromPosition(caret_);
    switch (message) {
        case SCI_LINEDOWN:
        case SCI_LINEDOWNEXTEND:
            MoveVertically(message, 1, message == SCI_LINEDOWNEXTEND);
            return true;
        case SCI_LINEUP:
        case SCI_LINEUPEXTEND:
            MoveVertically(message, -1, message == SCI_LINEUPEXTEND);
            return true;
        case SCI_PAGEDOWN:
        case SCI_PAGEDOWNEXTEND:
        case SCI_PAGEUP:
        case SCI_PAGEUPEXTEND: {
            const int64_t rows = std::max<int64_t>(LinesOnScreen() - 1, 1);
            const bool up = message == SCI_PAGEUP || message == SCI_PAGEUPEXTEND;
            MoveVertically(message, up ? -rows : rows,
                           message == SCI_PAGEUPEXTEND || message == SCI_PAGEDOWNEXTEND);
            return true;
        }
        case SCI_CHARLEFT:
            MoveTo(SelectionEmpty() ? doc_->PositionBefore(caret_) : SelectionStart(), false);
            return true;
        case SCI_CHARRIGHT:
            MoveTo(SelectionEmpty() ? doc_->PositionAfter(caret_) : SelectionEnd(), false);
            return true;
        case SCI_CHARLEFTEXTEND:
            MoveTo(doc_->PositionBefore(caret_), true);
            return true;
        case SCI_CHARRIGHTEXTEND:
            MoveTo(doc_->PositionAfter(caret_), true);
            return true;
        case SCI_WORDLEFT:
        case SCI_WORDLEFTEXTEND:
            MoveTo(WordLeftTarget(*doc_, caret_), message == SCI_WORDLEFTEXTEND);
            return true;
        case SCI_WORDRIGHT:
        case SCI_WORDRIGHTEXTEND:
            MoveTo(WordRightTarget(*doc_, caret_), message == SCI_WORDRIGHTEXTEND);
            return true;
        case SCI_HOME:
        case SCI_HOMEEXTEND:
            MoveTo(doc_->LineStart(line), message == SCI_HOMEEXTEND);
            return true;
        case SCI_LINEEND:
        case SCI_LINEENDEXTEND:
            MoveTo(doc_->LineEnd(line), message == SCI_LINEENDEXTEND);
            return true;
        case SCI_HOMEDISPLAY:
        case SCI_HOMEDISPLAYEXTEND:
            MoveTo(RowStartPosition(DisplayRowOfPosition(caret_)), message == SCI_HOMEDISPLAYEXTEND);
            return true;
        case SCI_LINEENDDISPLAY:
        case SCI_LINEENDDISPLAYEXTEND:
            MoveTo(RowEndPosition(DisplayRowOfPosition(caret_)), message == SCI_LINEENDDISPLAYEXTEND);
            return true;
        case SCI_VCHOME:
        case SCI_VCHOMEEXTEND:
        case SCI_VCHOMEWRAP:
        case SCI_VCHOMEWRAPEXTEND: {
            const bool wrap = message == SCI_VCHOMEWRAP || message == SCI_VCHOMEWRAPEXTEND;
            MoveTo(SmartHomeTarget(wrap), message == SCI_VCHOMEEXTEND || message == SCI_VCHOMEWRAPEXTEND);
            return true;
        }
        case SCI_LINEENDWRAP:
        case SCI_LINEENDWRAPEXTEND: {
            const int64_t rowEnd = RowEndPosition(DisplayRowOfPosition(caret_));
            MoveTo(caret_ == rowEnd ? doc_->LineEnd(line) : rowEnd, message == SCI_LINEENDWRAPEXTEND);
            return true;
        }
        case SCI_DOCUMENTSTART:
        case SCI_DOCUMENTSTARTEXTEND:
            MoveTo(0, message == SCI_DOCUMENTSTARTEXTEND);
            return true;
        case SCI_DOCUMENTEND:
        case SCI_DOCUMENTENDEXTEND:
            MoveTo(length, message == SCI_DOCUMENTENDEXTEND);
            return true;
        default:
            return false;
    }
}

int64_t View::SmartHomeTarget(bool wrapAware) {
    const int64_t line = doc_->LineFromPosition(caret_);
    const int64_t rowStart = RowStartPosition(DisplayRowOfPosition(caret_));
    if (wrapAware && rowStart > doc_->LineStart(line) && caret_ != rowStart) return rowStart;
    const int64_t indent = IndentPosition(*doc_, line);
    return caret_ == indent ? doc_->LineStart(line) : indent;
}

bool View::ViewCommand(unsigned message) {
    switch (message) {
        case SCI_LINESCROLLDOWN:
            ScrollToRow(TopRow() + 1);
            return true;
        case SCI_LINESCROLLUP:
            ScrollToRow(TopRow() - 1);
            return true;
        case SCI_EDITTOGGLEOVERTYPE:
            appearance_.overtype = !appearance_.overtype;
            InvalidateCaret();
            return true;
        case SCI_CANCEL:
            return true;
        case SCI_SELECTALL:
            SetSelection(0, doc_->Length());
            return true;
        case SCI_ZOOMIN:
            ZoomBy(1);
            return true;
        case SCI_ZOOMOUT:
            ZoomBy(-1);
            return true;
        case SCI_UNDO:
            Undo();
            return true;
        case SCI_REDO:
            Redo();
            return true;
        case SCI_COPY:
            Copy();
            return true;
        case SCI_CUT:
            Cut();
            return true;
        case SCI_PASTE:
            Paste();
            return true;
        default:
            return false;
    }
}

namespace {

// The editing commands, and whether each deletes a selection instead of doing its own edit.
struct EditCommandInfo {
    unsigned message;
    bool selectionFirst;
};
constexpr EditCommandInfo kEditCommands[] = {
    {SCI_DELETEBACK, true},
    {SCI_DELETEBACKNOTLINE, true},
    {SCI_CLEAR, true},
    {SCI_DELWORDLEFT, true},
    {SCI_DELWORDRIGHT, true},
    {SCI_DELWORDRIGHTEND, true},
    {SCI_DELLINELEFT, true},
    {SCI_DELLINERIGHT, true},
    {SCI_LINEDELETE, false},
    {SCI_NEWLINE, false},
    {SCI_TAB, false},
    {SCI_BACKTAB, false},
    {SCI_SELECTIONDUPLICATE, false},
    {SCI_LINEDUPLICATE, false},
};

}  // namespace

bool View::EditCommand(unsigned message) {
    const auto* info = std::find_if(std::begin(kEditCommands), std::end(kEditCommands),
                                    [message](const EditCommandInfo& c) { return c.message == message; });
    if (info == std::end(kEditCommands)) return false;
    if (doc_->IsReadOnly()) return true;
    if (info->selectionFirst && !SelectionEmpty()) {
        DeleteSelection(kCoalesceNone);
        return true;
    }
    const int64_t length = doc_->Length();
    const int64_t line = doc_->LineFromPosition(caret_);
    switch (message) {
        case SCI_DELETEBACK:
        case SCI_DELETEBACKNOTLINE: {
            if (caret_ == 0) return true;
            int64_t from;
            if (caret_ >= 2 && doc_->ByteAt(caret_ - 2) == '\r' && doc_->ByteAt(caret_ - 1) == '\n') {
                from = caret_ - 2;
            } else {
                int width = 1;
                doc_->CharacterBefore(caret_, &width);
                from = caret_ - std::max(1, width);
            }
            const char before = doc_->ByteAt(caret_ - 1);
            if (message == SCI_DELETEBACKNOTLINE && (before == '\r' || before == '\n')) return true;
            doc_->DeleteChars(from, caret_ - from, kCoalesceBackspace);
            SetSelection(from, from, true);
            return true;
        }
        case SCI_CLEAR: {
            const int64_t at = caret_;
            const int64_t to = doc_->PositionAfter(at);
            if (to > at) doc_->DeleteChars(at, to - at, kCoalesceForwardDelete);
            SetSelection(at, at, true);
            return true;
        }
        case SCI_DELWORDLEFT:
            DeleteRange(WordLeftTarget(*doc_, caret_), caret_, true);
            return true;
        case SCI_DELWORDRIGHT:
            DeleteRange(caret_, WordRightTarget(*doc_, caret_), true);
            return true;
        case SCI_DELWORDRIGHTEND:
            DeleteRange(caret_, WordRightEndTarget(*doc_, caret_), true);
            return true;
        case SCI_DELLINELEFT:
            DeleteRange(doc_->LineStart(line), caret_, true);
            return true;
        case SCI_DELLINERIGHT:
            DeleteRange(caret_, doc_->LineEnd(line), true);
            return true;
        case SCI_LINEDELETE: {
            int64_t start = doc_->LineStart(line);
            const int64_t end = doc_->LineStart(line + 1);
            if (end >= length && line > 0) start = doc_->LineEnd(line - 1);
            DeleteRange(start, end, true);
            return true;
        }
        case SCI_NEWLINE: {
            const char* eol = EolText(doc_->EolMode());
            const int64_t n = static_cast<int64_t>(std::strlen(eol));
            ReplaceSelection(eol, n, kCoalesceTyping);
            for (int64_t i = 0; i < n; ++i)
                SendCharAdded(static_cast<unsigned char>(eol[i]));
            ScrollCaretIntoView(caret_, false);
            return true;
        }
        case SCI_TAB:
        case SCI_BACKTAB:
            TabCommand(message == SCI_BACKTAB);
            return true;
        case SCI_SELECTIONDUPLICATE:
        case SCI_LINEDUPLICATE: {
            const int64_t anchor = anchor_, caret = caret_;
            doc_->SealLastStep();
            if (message == SCI_SELECTIONDUPLICATE && !SelectionEmpty()) {
                const int64_t s = SelectionStart(), e = SelectionEnd();
                const std::string copy = doc_->GetText(s, e - s);
                doc_->InsertString(e, copy.data(), static_cast<int64_t>(copy.size()), kCoalesceNone);
            } else {
                const int64_t s = doc_->LineStart(line), e = doc_->LineEnd(line);
                const std::string copy = EolText(doc_->EolMode()) + doc_->GetText(s, e - s);
                doc_->InsertString(e, copy.data(), static_cast<int64_t>(copy.size()), kCoalesceNone);
            }
            doc_->SealLastStep();
            SetSelection(anchor, caret, true);
            return true;
        }
        default:
            return false;
    }
}

// ---- clipboard ----------------------------------------------------------------------------------

void View::Copy() {
    if (SelectionEmpty()) return;
    host_->CopyToClipboard(doc_->GetText(SelectionStart(), SelectionEnd() - SelectionStart()));
}

void View::Cut() {
    if (SelectionEmpty()) return;
    Copy();
    if (!doc_->IsReadOnly()) DeleteSelection(kCoalesceNone);
}

void View::Paste() {
    if (doc_->IsReadOnly()) return;
    std::string text;
    if (!host_->ReadClipboard(&text) || text.empty()) return;
    doc_->SealLastStep();
    ReplaceSelection(text.data(), static_cast<int64_t>(text.size()), kCoalesceNone);
    doc_->SealLastStep();
    ScrollCaretIntoView(caret_, false);
}

bool View::CanPaste() {
    return !doc_->IsReadOnly() && host_->ClipboardHasText();
}

// ---- mouse --------------------------------------------------------------------------------------

void View::MouseDown(int32_t x, int32_t y, int clicks, bool shift) {
    mouseX_ = x;
    mouseY_ = y;
    const int64_t position = PositionFromPoint(x, y);
    if (InMargin(x)) {
        const int64_t line = doc_->LineFromPosition(position);
        if (shift) {
            const int64_t anchorLine = doc_->LineFromPosition(anchor_);
            const int64_t lo = std::min(anchorLine, line), hi = std::max(anchorLine, line);
            dragStart_ = doc_->LineStart(anchorLine);
            dragEnd_ = doc_->LineStart(anchorLine + 1);
            if (line < anchorLine) {
                SetSelection(doc_->LineStart(hi + 1), doc_->LineStart(lo), true);
            } else {
                SetSelection(doc_->LineStart(lo), doc_->LineStart(hi + 1), true);
            }
        } else {
            dragStart_ = doc_->LineStart(line);
            dragEnd_ = doc_->LineStart(line + 1);
            SetSelection(dragStart_, dragEnd_, true);
        }
        mouseMode_ = kMouseLines;
        return;
    }
    if (clicks == 2) {
        const Range64 word = WordAround(*doc_, position);
        dragStart_ = word.start;
        dragEnd_ = word.end;
        SetSelection(word.start, word.end, true);
        mouseMode_ = kMouseWords;
    } else if (clicks == 3) {
        const int64_t line = doc_->LineFromPosition(position);
        dragStart_ = doc_->LineStart(line);
        dragEnd_ = doc_->LineStart(line + 1);
        SetSelection(dragStart_, dragEnd_, true);
        mouseMode_ = kMouseLines;
    } else {
        SetSelection(shift ? anchor_ : position, position, true);
        mouseMode_ = kMouseChars;
    }
}

void View::ExtendMouseTo(int64_t position) {
    switch (mouseMode_) {
        case kMouseChars:
            SetSelection(anchor_, position, true);
            break;
        case kMouseWords: {
            const Range64 word = WordAround(*doc_, position);
            if (position < dragStart_) {
                SetSelection(dragEnd_, std::min(word.start, dragStart_), true);
            } else {
                SetSelection(dragStart_, std::max(word.end, dragEnd_), true);
            }
            break;
        }
        case kMouseLines: {
            const int64_t line = doc_->LineFromPosition(position);
            if (position < dragStart_) {
                SetSelection(dragEnd_, doc_->LineStart(line), true);
            } else {
                SetSelection(dragStart_, std::max(doc_->LineStart(line + 1), dragEnd_), true);
            }
            break;
        }
        default:
            break;
    }
}

bool View::MouseDrag(int32_t x, int32_t y) {
    mouseX_ = x;
    mouseY_ = y;
    if (mouseMode_ == kMouseNone) return false;
    const int32_t right = clientWidth_ - marginRight_;
    const bool outside = y < 0 || y >= clientHeight_ || (!Wrapping() && (x < TextLeft() || x >= right));
    if (!outside) {
        ExtendMouseTo(PositionFromPoint(x, y));
        if (dragTimer_) {
            dragTimer_ = false;
            host_->StopTimer(kDragTimer);
        }
        return false;
    }
    if (!dragTimer_) {
        dragTimer_ = true;
        host_->StartTimer(kDragTimer, 40);
    }
    return true;
}

void View::DragTick() {
    if (mouseMode_ == kMouseNone) {
        if (dragTimer_) host_->StopTimer(kDragTimer);
        dragTimer_ = false;
        return;
    }
    const int32_t lh = LineHeight();
    if (mouseY_ < 0) {
        ScrollToRow(TopRow() - (1 + (-mouseY_) / lh));
    } else if (mouseY_ >= clientHeight_) {
        ScrollToRow(TopRow() + 1 + (mouseY_ - clientHeight_) / lh);
    }
    const int32_t right = clientWidth_ - marginRight_;
    const int32_t avg = std::max(1, textFonts_.averageCharWidth());
    if (!Wrapping()) {
        if (mouseX_ < TextLeft()) {
            SetXOffset(xOffset_ - std::max(avg, TextLeft() - mouseX_));
        } else if (mouseX_ >= right) {
            SetXOffset(xOffset_ + std::max(avg, mouseX_ - right));
        }
    }
    // The nearest visible point.
    const int32_t y = std::clamp(mouseY_, 0, std::max(0, static_cast<int32_t>(LinesOnScreen()) * lh - 1));
    const int32_t x = Wrapping() ? mouseX_ : std::clamp(mouseX_, TextLeft(), std::max(TextLeft(), right - 1));
    ExtendMouseTo(PositionFromPoint(x, y));
}

void View::MouseUp() {
    EndMouseMode();
}

void View::EndMouseMode() {
    mouseMode_ = kMouseNone;
    if (dragTimer_) {
        dragTimer_ = false;
        host_->StopTimer(kDragTimer);
    }
}

void View::RightDown(int32_t x, int32_t y) {
    const int64_t position = PositionFromPoint(x, y);
    if (position < SelectionStart() || position > SelectionEnd()) SetSelection(position, position, true);
}

void View::Wheel(int32_t delta, bool control, bool shift, int32_t lines) {
    if (control) {
        if ((wheelAccumulator_ > 0) != (delta > 0)) wheelAccumulator_ = 0;
        wheelAccumulator_ += delta;
        while (wheelAccumulator_ >= 120) {
            wheelAccumulator_ -= 120;
            ZoomBy(1);
        }
        while (wheelAccumulator_ <= -120) {
            wheelAccumulator_ += 120;
            ZoomBy(-1);
        }
        return;
    }
    if (shift) {
        if (Wrapping()) return;
        const int32_t step = 3 * std::max(1, textFonts_.averageCharWidth());
        SetXOffset(std::max(0, xOffset_ - 2 * (step * delta / 120)));
        return;
    }
    if ((wheelAccumulator_ > 0 && delta < 0) || (wheelAccumulator_ < 0 && delta > 0)) wheelAccumulator_ = 0;
    wheelAccumulator_ += delta;
    if (lines < 0) {
        const int64_t page = std::max<int64_t>(1, LinesOnScreen() - 1);
        while (wheelAccumulator_ >= 120) {
            wheelAccumulator_ -= 120;
            ScrollToRow(TopRow() - page);
        }
        while (wheelAccumulator_ <= -120) {
            wheelAccumulator_ += 120;
            ScrollToRow(TopRow() + page);
        }
    } else {
        const int64_t rows = int64_t{wheelAccumulator_} * lines / 120;
        if (rows != 0) {
            wheelAccumulator_ -= static_cast<int32_t>(rows * 120 / std::max(1, lines));
            ScrollToRow(TopRow() - rows);
        }
    }
    if (mouseMode_ != kMouseNone) ExtendMouseTo(PositionFromPoint(mouseX_, mouseY_));
}

void View::HorizontalWheel(int32_t delta) {
    if (Wrapping()) return;
    const int32_t step = 3 * std::max(1, textFonts_.averageCharWidth());
    SetXOffset(std::max(0, xOffset_ + 2 * (step * delta / 120)));
}

}  // namespace quill
