// The selection, scrolling and on-screen sections of the message interface.
#include <algorithm>

#include "edit/sci_messages.h"
#include "edit/view.h"
#include "edit/view_message_args.h"

namespace quill {

// The selection and moving the caret.
std::optional<intptr_t> View::SelectionMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_GETCURRENTPOS:
            return static_cast<intptr_t>(caret_);
        case SCI_GETANCHOR:
            return static_cast<intptr_t>(anchor_);
        case SCI_SETCURRENTPOS:
            SetSelection(anchor_, a.wPos);
            return 0;
        case SCI_SETANCHOR:
            SetSelection(a.wPos, caret_);
            return 0;
        case SCI_SETSELECTIONSTART:
            SetSelection(a.wPos, std::max(a.wPos, caret_));
            return 0;
        case SCI_SETSELECTIONEND:
            SetSelection(std::min(anchor_, a.wPos), a.wPos);
            return 0;
        case SCI_GETSELECTIONSTART:
        case SCI_GETSELECTIONNSTART:
            return static_cast<intptr_t>(SelectionStart());
        case SCI_GETSELECTIONEND:
        case SCI_GETSELECTIONNEND:
            return static_cast<intptr_t>(SelectionEnd());
        case SCI_SETSEL: {
            const int64_t caret = lParam == -1 ? a.length : a.lPos;
            const int64_t anchor = static_cast<intptr_t>(wParam) == -1 ? caret : a.wPos;
            SetSelection(anchor, caret, true);
            return 0;
        }
        case SCI_SETEMPTYSELECTION:
            SetSelection(a.wPos, a.wPos);
            return 0;
        case SCI_CLEARSELECTIONS:
            SetSelection(0, 0);
            return 0;
        case SCI_GETSELECTIONEMPTY:
            return SelectionEmpty() ? 1 : 0;
        case SCI_GETSELECTIONS:
            return 1;
        case SCI_GETSELECTIONNCARET:
            return static_cast<intptr_t>(caret_);
        case SCI_GETSELECTIONNANCHOR:
            return static_cast<intptr_t>(anchor_);
        case SCI_GETSELTEXT:
            return CopyOut(lParam, a.d.GetText(SelectionStart(), SelectionEnd() - SelectionStart()));
        case SCI_GOTOLINE: {
            const int64_t start = a.d.LineStart(std::clamp<int64_t>(a.wLine, 0, a.d.LineCount() - 1));
            SetSelection(start, start, true);
            return 0;
        }
        case SCI_GOTOPOS:
            SetSelection(a.wPos, a.wPos, true);
            return 0;
        default:
            return std::nullopt;
    }
}

// Scrolling and display rows.
std::optional<intptr_t> View::ScrollMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_SCROLLCARET:
            ScrollCaretIntoView(caret_, false);
            return 0;
        case SCI_VERTICALCENTRECARET:
            ScrollCaretIntoView(caret_, true);
            return 0;
        case SCI_SCROLLRANGE:
            ScrollRange(a.wPos, a.lPos);
            return 0;
        case SCI_LINESCROLL:
            SetXOffset(static_cast<int32_t>(
                std::clamp<int64_t>(xOffset_ + static_cast<int64_t>(static_cast<intptr_t>(wParam)) *
                                                   TextFonts().averageCharWidth(),
                                    0, 0x3FFFFFFF)));
            ScrollToRow(TopRow() + lParam);
            return 0;
        case SCI_SETFIRSTVISIBLELINE:
            ScrollToRow(a.wLine);
            return 0;
        case SCI_GETFIRSTVISIBLELINE:
            return static_cast<intptr_t>(TopRow());
        case SCI_SCROLLTOSTART:
            ScrollToRow(0);
            return 0;
        case SCI_SCROLLTOEND:
            ScrollToRow(MaxTopRow());
            return 0;
        case SCI_LINESONSCREEN:
            return static_cast<intptr_t>(LinesOnScreen());
        case SCI_SETXOFFSET:
            SetXOffset(
                static_cast<int32_t>(std::clamp<intptr_t>(static_cast<intptr_t>(wParam), -1, 0x3FFFFFFF)));
            return 0;
        case SCI_GETXOFFSET:
            return xOffset_;
        case SCI_VISIBLEFROMDOCLINE:
            return static_cast<intptr_t>(DisplayRowOfLine(a.wLine));
        case SCI_DOCLINEFROMVISIBLE: {
            const int64_t total = TotalRows();
            if (a.wLine >= total) return static_cast<intptr_t>(a.d.LineCount() + (a.wLine - total));
            int64_t line = 0;
            int32_t row = 0;
            LineFromDisplayRow(a.wLine, &line, &row);
            return static_cast<intptr_t>(line);
        }
        case SCI_WRAPCOUNT:
            if (!Wrapping() || !a.lineInRange) return 1;
            return LayoutLine(a.wLine).Rows();
        case SCI_CHOOSECARETX:
            desiredX_ = -1;
            return 0;
        default:
            return std::nullopt;
    }
}

// Positions and points on screen, focus and the clipboard.
std::optional<intptr_t> View::PointAndFocusMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_POSITIONFROMPOINT:
        case SCI_CHARPOSITIONFROMPOINT:
            return static_cast<intptr_t>(
                PositionFromPoint(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam)));
        case SCI_POSITIONFROMPOINTCLOSE:
        case SCI_CHARPOSITIONFROMPOINTCLOSE:
            return static_cast<intptr_t>(
                PositionFromPoint(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam), true));
        case SCI_POINTXFROMPOSITION:
        case SCI_POINTYFROMPOSITION: {
            int32_t x = 0, y = 0;
            PointFromPosition(a.lPos, &x, &y);
            return m == SCI_POINTXFROMPOSITION ? x : y;
        }
        case SCI_SETFOCUS:
            if (wParam) host_->TakeFocus();
            return 0;
        case SCI_GRABFOCUS:
            host_->TakeFocus();
            return 0;
        case SCI_GETFOCUS:
            return focused_ ? 1 : 0;
        case SCI_CANPASTE:
            return CanPaste() ? 1 : 0;

        default:
            return std::nullopt;
    }
}

}  // namespace quill
