// Editing: replacing and deleting the selection, typing, undo and redo, indentation, the keyboard
// commands and the clipboard. Everything here works on the document and the layouts only; the
// window turns system messages into these calls.
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

std::string Utf8Of(char32_t cp) {
    return EncodeCharacter(cp);
}

}  // namespace

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

}  // namespace quill
