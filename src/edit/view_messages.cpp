// The control's message interface: every SCI_ message the control answers, with its argument
// conventions, clamping and out-of-range rules. Arguments arrive as the raw wParam and lParam of a
// window message, so this is the one place that reads pointers out of them.
#include <algorithm>
#include <cstring>
#include <string>

#include "edit/indentation.h"
#include "edit/loader.h"
#include "edit/sci_messages.h"
#include "edit/search.h"
#include "edit/view.h"
#include "edit/word_moves.h"
#include "files/code_page.h"

namespace quill {
namespace {

// Range records of the find and text-range messages: 32-bit positions for the older messages,
// pointer-sized ones for the full forms.
struct CharacterRange32 {
    int32_t cpMin;
    int32_t cpMax;
};
struct CharacterRangeFull {
    intptr_t cpMin;
    intptr_t cpMax;
};
struct TextRange32 {
    CharacterRange32 chrg;
    char* text;
};
struct TextRangeFull {
    CharacterRangeFull chrg;
    char* text;
};
struct TextToFind32 {
    CharacterRange32 chrg;
    const char* text;
    CharacterRange32 found;
};
struct TextToFindFull {
    CharacterRangeFull chrg;
    const char* text;
    CharacterRangeFull found;
};

// Style slot of a style number for setters: -1 for numbers the control does not keep.
int SlotOf(uintptr_t style) {
    return style == 0 ? kStyleText : style == 32 ? kStyleDefault : style == 33 ? kStyleLineNumber : -1;
}
// Getters read style 0 for every number other than 32 and 33.
int ReadSlotOf(uintptr_t style) {
    const int slot = SlotOf(style);
    return slot < 0 ? kStyleText : slot;
}

int ElementOf(uintptr_t element) {
    switch (element) {
        case 11:
            return kElementSelection;
        case 17:
            return kElementInactiveSelection;
        case 40:
            return kElementCaret;
        case 50:
            return kElementCaretLine;
        case 60:
            return kElementWhitespace;
        default:
            return -1;
    }
}

const char* TextArg(intptr_t lParam) {
    return reinterpret_cast<const char*>(lParam);
}

int64_t CStrLength(const char* s) {
    return s ? static_cast<int64_t>(std::strlen(s)) : 0;
}

// Copies text with a NUL after it into a caller's buffer; returns the byte count.
intptr_t CopyOut(intptr_t lParam, const std::string& text) {
    if (char* out = reinterpret_cast<char*>(lParam)) {
        std::memcpy(out, text.data(), text.size());
        out[text.size()] = '\0';
    }
    return static_cast<intptr_t>(text.size());
}

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

}  // namespace

intptr_t View::Message(unsigned m, uintptr_t wParam, intptr_t lParam) {
    Document& d = *doc_;
    const int64_t length = d.Length();
    auto pos = [&](int64_t p) { return std::clamp<int64_t>(p, 0, length); };
    const int64_t wPos = pos(static_cast<int64_t>(static_cast<intptr_t>(wParam)));
    const int64_t lPos = pos(static_cast<int64_t>(lParam));
    const int64_t wLine = static_cast<int64_t>(static_cast<intptr_t>(wParam));
    const bool lineInRange = wLine >= 0 && wLine < d.LineCount();
    if (IsIgnored(m)) return 0;
    if (ExecuteCommand(m)) return 0;

    switch (m) {
        // ---- text and document ---------------------------------------------------------------
        case SCI_ADDTEXT: {
            if (d.IsReadOnly() || !lParam) return 0;
            const int64_t at = caret_;
            const int64_t n = static_cast<int64_t>(static_cast<intptr_t>(wParam));
            if (d.InsertString(at, TextArg(lParam), n, kCoalesceNone) && n > 0)
                SetSelection(at + n, at + n, true);
            return 0;
        }
        case SCI_INSERTTEXT: {
            const int64_t at = static_cast<intptr_t>(wParam) == -1 ? caret_ : wPos;
            d.InsertString(at, TextArg(lParam), CStrLength(TextArg(lParam)), kCoalesceNone);
            return 0;
        }
        case SCI_CLEARALL:
            if (d.IsReadOnly()) return 0;
            d.DeleteChars(0, length, kCoalesceNone);
            SetSelection(0, 0, true);
            return 0;
        case SCI_GETLENGTH:
        case SCI_GETTEXTLENGTH:
            return static_cast<intptr_t>(length);
        case SCI_GETCHARAT: {
            const int64_t p = static_cast<intptr_t>(wParam);
            return p < 0 || p >= length ? 0 : static_cast<intptr_t>(static_cast<signed char>(d.ByteAt(p)));
        }
        case SCI_GETCURLINE: {
            const int64_t line = d.LineFromPosition(caret_);
            const int64_t start = d.LineStart(line);
            const int64_t lineLength = d.LineStart(line + 1) - start;
            if (!lParam) return static_cast<intptr_t>(lineLength);
            if (wParam == 0) return 0;
            const int64_t n = std::min<int64_t>(lineLength, static_cast<int64_t>(wParam) - 1);
            CopyOut(lParam, d.GetText(start, n));
            return static_cast<intptr_t>(caret_ - start);
        }
        case SCI_CONVERTEOLS: {
            if (wParam > 2 || d.IsReadOnly()) return 0;
            const char* eol = wParam == 1 ? "\r" : wParam == 2 ? "\n" : "\r\n";
            const std::string old = d.GetText(0, length);
            std::string text;
            text.reserve(old.size());
            for (size_t i = 0; i < old.size(); ++i) {
                if (old[i] == '\r') {
                    if (i + 1 < old.size() && old[i + 1] == '\n') ++i;
                    text += eol;
                } else if (old[i] == '\n') {
                    text += eol;
                } else {
                    text += old[i];
                }
            }
            if (text == old) return 0;
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
            scrollStale_ = true;
            UpdateScrollBars();
            host_->InvalidateAll();
            return 0;
        }
        case SCI_GETEOLMODE:
            return d.EolMode();
        case SCI_SETEOLMODE:
            d.SetEolMode(static_cast<int>(wParam));
            return 0;
        case SCI_GETTEXTRANGEFULL:
        case SCI_GETTEXTRANGE: {
            if (!lParam) return 0;
            int64_t lo, hi;
            char* out;
            if (m == SCI_GETTEXTRANGEFULL) {
                auto* r = reinterpret_cast<TextRangeFull*>(lParam);
                lo = r->chrg.cpMin;
                hi = r->chrg.cpMax;
                out = r->text;
            } else {
                auto* r = reinterpret_cast<TextRange32*>(lParam);
                lo = r->chrg.cpMin;
                hi = r->chrg.cpMax;
                out = r->text;
            }
            if (hi == -1) hi = length;
            lo = pos(lo);
            hi = pos(hi);
            if (hi < lo) std::swap(lo, hi);
            return CopyOut(reinterpret_cast<intptr_t>(out), d.GetText(lo, hi - lo));
        }
        case SCI_GETLINE: {
            if (!lineInRange) return 0;
            const int64_t start = d.LineStart(wLine);
            const std::string text = d.GetText(start, d.LineStart(wLine + 1) - start);
            if (char* out = reinterpret_cast<char*>(lParam)) std::memcpy(out, text.data(), text.size());
            return static_cast<intptr_t>(text.size());
        }
        case SCI_GETLINECOUNT:
            return static_cast<intptr_t>(d.LineCount());
        case SCI_GETLINEENDPOSITION:
            if (wLine < 0) return 0;
            return static_cast<intptr_t>(d.LineEnd(std::min(wLine, d.LineCount() - 1)));
        case SCI_LINEFROMPOSITION:
            return static_cast<intptr_t>(d.LineFromPosition(wPos));
        case SCI_POSITIONFROMLINE: {
            int64_t line = wLine;
            if (line < 0) line = d.LineFromPosition(SelectionStart());
            if (line > d.LineCount()) return -1;
            if (line == d.LineCount()) return static_cast<intptr_t>(length);
            return static_cast<intptr_t>(d.LineStart(line));
        }
        case SCI_LINELENGTH:
            if (!lineInRange) return 0;
            return static_cast<intptr_t>(d.LineStart(wLine + 1) - d.LineStart(wLine));
        case SCI_REPLACESEL: {
            const char* text = TextArg(lParam);
            d.SealLastStep();
            ReplaceSelection(text ? text : "", CStrLength(text), kCoalesceNone);
            d.SealLastStep();
            ScrollCaretIntoView(caret_, false);
            return 0;
        }
        case SCI_SETTEXT: {
            const char* text = TextArg(lParam);
            SetText(text ? text : "", CStrLength(text));
            return 1;
        }
        case SCI_GETTEXT: {
            if (!lParam) return static_cast<intptr_t>(length);
            const int64_t n = std::min<int64_t>(length, static_cast<int64_t>(wParam));
            return CopyOut(lParam, d.GetText(0, n));
        }
        case SCI_APPENDTEXT:
            if (lParam)
                d.InsertString(length, TextArg(lParam), static_cast<int64_t>(static_cast<intptr_t>(wParam)),
                               kCoalesceNone);
            return 0;
        case SCI_DELETERANGE:
            d.DeleteChars(wPos, std::max<int64_t>(0, lParam), kCoalesceNone);
            return 0;
        case SCI_GETCHARACTERPOINTER:
            return reinterpret_cast<intptr_t>(d.CharacterPointer());
        case SCI_GETRANGEPOINTER: {
            const int64_t n = std::clamp<int64_t>(lParam, 0, length - wPos);
            return reinterpret_cast<intptr_t>(d.RangePointer(wPos, n));
        }
        case SCI_GETGAPPOSITION:
            return static_cast<intptr_t>(d.GapPosition());
        case SCI_COUNTCHARACTERS:
            return static_cast<intptr_t>(d.CountCharacters(wPos, std::max(wPos, lPos)));
        case SCI_POSITIONBEFORE:
            return static_cast<intptr_t>(d.PositionBefore(wPos));
        case SCI_POSITIONAFTER:
            return static_cast<intptr_t>(d.PositionAfter(wPos));
        case SCI_POSITIONRELATIVE: {
            int64_t p = wPos;
            for (int64_t n = lParam; n > 0; --n) {
                if (p >= length) return 0;
                int width = 1;
                d.CharacterAt(p, &width);
                p += std::max(1, width);
            }
            for (int64_t n = lParam; n < 0; ++n) {
                if (p <= 0) return 0;
                int width = 1;
                d.CharacterBefore(p, &width);
                p -= std::max(1, width);
            }
            return static_cast<intptr_t>(p);
        }
        case SCI_WORDSTARTPOSITION:
            return static_cast<intptr_t>(RunStartBefore(d, wPos));
        case SCI_WORDENDPOSITION:
            return static_cast<intptr_t>(RunEndAfter(d, wPos));
        case SCI_GETLINEINDENTPOSITION:
            return lineInRange ? static_cast<intptr_t>(IndentPosition(d, wLine)) : 0;
        case SCI_SETLINEINDENTATION:
            SetLineIndentation(wLine, static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 0x7FFFFFF)));
            return 0;
        case SCI_GETLINEINDENTATION:
            return lineInRange ? LineIndentation(d, wLine, tabWidth_) : 0;
        case SCI_GETCOLUMN:
            return ColumnOf(d, wPos, tabWidth_);
        case SCI_FINDCOLUMN:
            if (wLine < 0) return 0;
            return static_cast<intptr_t>(FindColumn(
                d, wLine, static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 0x7FFFFFFF)), tabWidth_));
        case SCI_GETCODEPAGE:
            return SC_CP_UTF8;
        case SCI_GETREADONLY:
            return d.IsReadOnly() ? 1 : 0;
        case SCI_SETREADONLY:
            d.SetReadOnly(wParam != 0);
            return 0;
        case SCI_GETMODIFY:
            return d.IsModified() ? 1 : 0;
        case SCI_SETSAVEPOINT:
            d.SetSavePoint();
            return 0;
        case SCI_SETUNDOCOLLECTION:
            d.SetCollectUndo(wParam != 0);
            return 0;
        case SCI_GETUNDOCOLLECTION:
            return d.GetCollectUndo() ? 1 : 0;
        case SCI_BEGINUNDOACTION:
            d.BeginGroup();
            return 0;
        case SCI_ENDUNDOACTION:
            d.EndGroup();
            return 0;
        case SCI_CANUNDO:
            return d.CanUndo() ? 1 : 0;
        case SCI_CANREDO:
            return d.CanRedo() ? 1 : 0;
        case SCI_EMPTYUNDOBUFFER:
            d.EmptyHistory();
            return 0;
        case SCI_GETDOCPOINTER:
            return reinterpret_cast<intptr_t>(doc_);
        case SCI_SETDOCPOINTER:
            SetComposition({}, {}, 0);
            SetDocument(reinterpret_cast<Document*>(lParam));
            return 0;
        case SCI_CREATEDOCUMENT: {
            auto* created = new Document();
            created->Reserve(static_cast<int64_t>(std::min<uintptr_t>(wParam, 0x7FFFFFFF)));
            created->AddRef();
            return reinterpret_cast<intptr_t>(created);
        }
        case SCI_ADDREFDOCUMENT:
            if (auto* other = reinterpret_cast<Document*>(lParam)) other->AddRef();
            return 0;
        case SCI_RELEASEDOCUMENT:
            if (auto* other = reinterpret_cast<Document*>(lParam)) other->Release();
            return 0;
        case SCI_CREATELOADER:
            return reinterpret_cast<intptr_t>(
                CreateLoader(static_cast<int64_t>(std::min<uintptr_t>(wParam, 0x7FFFFFFF))));
        case SCI_GETDOCUMENTOPTIONS:
            return 1;

        // ---- selection, caret and scrolling --------------------------------------------------
        case SCI_GETCURRENTPOS:
            return static_cast<intptr_t>(caret_);
        case SCI_GETANCHOR:
            return static_cast<intptr_t>(anchor_);
        case SCI_SETCURRENTPOS:
            SetSelection(anchor_, wPos);
            return 0;
        case SCI_SETANCHOR:
            SetSelection(wPos, caret_);
            return 0;
        case SCI_SETSELECTIONSTART:
            SetSelection(wPos, std::max(wPos, caret_));
            return 0;
        case SCI_SETSELECTIONEND:
            SetSelection(std::min(anchor_, wPos), wPos);
            return 0;
        case SCI_GETSELECTIONSTART:
        case SCI_GETSELECTIONNSTART:
            return static_cast<intptr_t>(SelectionStart());
        case SCI_GETSELECTIONEND:
        case SCI_GETSELECTIONNEND:
            return static_cast<intptr_t>(SelectionEnd());
        case SCI_SETSEL: {
            const int64_t caret = lParam == -1 ? length : lPos;
            const int64_t anchor = static_cast<intptr_t>(wParam) == -1 ? caret : wPos;
            SetSelection(anchor, caret, true);
            return 0;
        }
        case SCI_SETEMPTYSELECTION:
            SetSelection(wPos, wPos);
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
            return CopyOut(lParam, d.GetText(SelectionStart(), SelectionEnd() - SelectionStart()));
        case SCI_GOTOLINE: {
            const int64_t start = d.LineStart(std::clamp<int64_t>(wLine, 0, d.LineCount() - 1));
            SetSelection(start, start, true);
            return 0;
        }
        case SCI_GOTOPOS:
            SetSelection(wPos, wPos, true);
            return 0;
        case SCI_SCROLLCARET:
            ScrollCaretIntoView(caret_, false);
            return 0;
        case SCI_VERTICALCENTRECARET:
            ScrollCaretIntoView(caret_, true);
            return 0;
        case SCI_SCROLLRANGE:
            ScrollRange(wPos, lPos);
            return 0;
        case SCI_LINESCROLL:
            SetXOffset(static_cast<int32_t>(
                std::clamp<int64_t>(xOffset_ + static_cast<int64_t>(static_cast<intptr_t>(wParam)) *
                                                   TextFonts().averageCharWidth(),
                                    0, 0x3FFFFFFF)));
            ScrollToRow(TopRow() + lParam);
            return 0;
        case SCI_SETFIRSTVISIBLELINE:
            ScrollToRow(wLine);
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
            return static_cast<intptr_t>(DisplayRowOfLine(wLine));
        case SCI_DOCLINEFROMVISIBLE: {
            const int64_t total = TotalRows();
            if (wLine >= total) return static_cast<intptr_t>(d.LineCount() + (wLine - total));
            int64_t line = 0;
            int32_t row = 0;
            LineFromDisplayRow(wLine, &line, &row);
            return static_cast<intptr_t>(line);
        }
        case SCI_WRAPCOUNT:
            if (!Wrapping() || !lineInRange) return 1;
            return LayoutLine(wLine).Rows();
        case SCI_CHOOSECARETX:
            desiredX_ = -1;
            return 0;
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
            PointFromPosition(lPos, &x, &y);
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

        // ---- appearance --------------------------------------------------------------------------
        case SCI_STYLECLEARALL: {
            Style number = styles_[kStyleDefault];
            number.back = host_->ButtonFaceColour();
            SetStyle(kStyleText, styles_[kStyleDefault]);
            SetStyle(kStyleLineNumber, number);
            return 0;
        }
        case SCI_STYLESETFORE:
        case SCI_STYLESETBACK:
        case SCI_STYLESETBOLD:
        case SCI_STYLESETWEIGHT:
        case SCI_STYLESETITALIC:
        case SCI_STYLESETSIZE:
        case SCI_STYLESETSIZEFRACTIONAL:
        case SCI_STYLESETFONT: {
            const int slot = SlotOf(wParam);
            if (slot < 0) return 0;
            Style s = styles_[slot];
            switch (m) {
                case SCI_STYLESETFORE:
                    s.fore = static_cast<uint32_t>(lParam) & 0xFFFFFF;
                    break;
                case SCI_STYLESETBACK:
                    s.back = static_cast<uint32_t>(lParam) & 0xFFFFFF;
                    break;
                case SCI_STYLESETBOLD:
                    s.weight = lParam ? 700 : 400;
                    break;
                case SCI_STYLESETWEIGHT:
                    s.weight = static_cast<int32_t>(std::clamp<intptr_t>(lParam, 1, 1000));
                    break;
                case SCI_STYLESETITALIC:
                    s.italic = lParam != 0;
                    break;
                case SCI_STYLESETSIZE:
                    s.size = static_cast<int32_t>(std::clamp<intptr_t>(lParam, 1, 1000)) * 100;
                    break;
                case SCI_STYLESETSIZEFRACTIONAL:
                    s.size = static_cast<int32_t>(std::clamp<intptr_t>(lParam, 1, 100000));
                    break;
                default:
                    if (!lParam) return 0;
                    s.face = lumen::Utf8ToWide(TextArg(lParam));
                    break;
            }
            SetStyle(slot, s);
            return 0;
        }
        case SCI_STYLERESETDEFAULT:
            SetStyle(kStyleDefault, Style{});
            return 0;
        case SCI_STYLEGETFORE:
            return styles_[ReadSlotOf(wParam)].fore;
        case SCI_STYLEGETBACK:
            return styles_[ReadSlotOf(wParam)].back;
        case SCI_STYLEGETBOLD:
            return styles_[ReadSlotOf(wParam)].weight > 400 ? 1 : 0;
        case SCI_STYLEGETWEIGHT:
            return styles_[ReadSlotOf(wParam)].weight;
        case SCI_STYLEGETITALIC:
            return styles_[ReadSlotOf(wParam)].italic ? 1 : 0;
        case SCI_STYLEGETSIZE:
            return styles_[ReadSlotOf(wParam)].size / 100;
        case SCI_STYLEGETSIZEFRACTIONAL:
            return styles_[ReadSlotOf(wParam)].size;
        case SCI_STYLEGETFONT:
            return CopyOut(lParam, lumen::WideToUtf8(styles_[ReadSlotOf(wParam)].face));
        case SCI_SETSELBACK:
            if (wParam) appearance_.elements[kElementSelection] = {true, 0xFF000000u | (static_cast<uint32_t>(lParam) & 0xFFFFFF)};
            Repaint();
            return 0;
        case SCI_SETCARETFORE:
            appearance_.elements[kElementCaret] = {true,
                                                   0xFF000000u | (static_cast<uint32_t>(wParam) & 0xFFFFFF)};
            Repaint();
            return 0;
        case SCI_GETCARETLINEVISIBLE:
            return appearance_.caretLineVisible ? 1 : 0;
        case SCI_SETCARETLINEVISIBLE:
            if (appearance_.caretLineVisible == (wParam != 0)) return 0;
            appearance_.caretLineVisible = wParam != 0;
            if (wParam && !appearance_.elements[kElementCaretLine].set)
                appearance_.elements[kElementCaretLine] = {true, 0xFF00FFFFu};
            Repaint();
            return 0;
        case SCI_SETCARETLINEBACK:
            appearance_.elements[kElementCaretLine] = {
                true, 0xFF000000u | (static_cast<uint32_t>(wParam) & 0xFFFFFF)};
            Repaint();
            return 0;
        case SCI_GETCARETLINEVISIBLEALWAYS:
            return appearance_.caretLineAlways ? 1 : 0;
        case SCI_SETCARETLINEVISIBLEALWAYS:
            appearance_.caretLineAlways = wParam != 0;
            Repaint();
            return 0;
        case SCI_SETELEMENTCOLOUR:
        case SCI_RESETELEMENTCOLOUR: {
            const int e = ElementOf(wParam);
            if (e < 0) return 0;
            appearance_.elements[e] = m == SCI_SETELEMENTCOLOUR
                                          ? ElementColour{true, static_cast<uint32_t>(lParam)}
                                          : ElementColour{};
            Repaint();
            return 0;
        }
        case SCI_GETELEMENTCOLOUR: {
            const int e = ElementOf(wParam);
            return e < 0 || !appearance_.elements[e].set
                       ? 0
                       : static_cast<intptr_t>(appearance_.elements[e].rgba);
        }
        case SCI_GETELEMENTISSET: {
            const int e = ElementOf(wParam);
            return e >= 0 && appearance_.elements[e].set ? 1 : 0;
        }
        case SCI_GETVIEWWS:
            return appearance_.viewWhitespace;
        case SCI_SETVIEWWS:
            if (wParam > 3 || appearance_.viewWhitespace == static_cast<int32_t>(wParam)) return 0;
            appearance_.viewWhitespace = static_cast<int32_t>(wParam);
            Repaint();
            return 0;
        case SCI_GETVIEWEOL:
            return appearance_.viewEol ? 1 : 0;
        case SCI_SETVIEWEOL:
            if (appearance_.viewEol == (wParam != 0)) return 0;
            appearance_.viewEol = wParam != 0;
            Repaint();
            return 0;
        case SCI_SETTABWIDTH:
            SetTabWidth(static_cast<int32_t>(std::min<uintptr_t>(wParam, 256)));
            return 0;
        case SCI_GETTABWIDTH:
            return tabWidth_;
        case SCI_SETINDENT:
            SetIndent(static_cast<int32_t>(std::min<intptr_t>(static_cast<intptr_t>(wParam), 256)));
            return 0;
        case SCI_GETINDENT:
            return indent_;
        case SCI_SETUSETABS:
            useTabs_ = wParam != 0;
            return 0;
        case SCI_GETUSETABS:
            return useTabs_ ? 1 : 0;
        case SCI_SETWRAPMODE: {
            const int32_t mode = wParam == 3 ? 1 : wParam > 3 ? 0 : static_cast<int32_t>(wParam);
            if (mode == wrapMode_) return 0;
            const int64_t first = firstLine_;
            SetWrapMode(mode);
            firstLine_ = std::clamp<int64_t>(first, 0, d.LineCount() - 1);
            topRow_ = 0;
            ScrollCaretIntoView(caret_, false);
            return 0;
        }
        case SCI_GETWRAPMODE:
            return wrapMode_;
        case SCI_SETZOOM:
            ZoomBy(static_cast<int32_t>(std::clamp<intptr_t>(static_cast<intptr_t>(wParam), -100, 100)) -
                   zoom_);
            return 0;
        case SCI_GETZOOM:
            return zoom_;
        case SCI_SETOVERTYPE:
            if (appearance_.overtype == (wParam != 0)) return 0;
            appearance_.overtype = wParam != 0;
            InvalidateCaret();
            return 0;
        case SCI_GETOVERTYPE:
            return appearance_.overtype ? 1 : 0;
        case SCI_SETCARETWIDTH:
            SetCaretWidth(static_cast<int32_t>(std::clamp<intptr_t>(static_cast<intptr_t>(wParam), 0, 20)));
            return 0;
        case SCI_GETCARETWIDTH:
            return caretWidth_;
        case SCI_GETCARETPERIOD:
            return static_cast<intptr_t>(caretPeriod_);
        case SCI_SETCARETPERIOD:
            SetCaretPeriod(static_cast<uint32_t>(wParam));
            return 0;
        case SCI_SETMARGINLEFT:
            SetTextMargins(static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 10000)), marginRight_);
            return 0;
        case SCI_GETMARGINLEFT:
            return marginLeft_;
        case SCI_SETMARGINRIGHT:
            SetTextMargins(marginLeft_, static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 10000)));
            return 0;
        case SCI_GETMARGINRIGHT:
            return marginRight_;
        case SCI_SETMARGINTYPEN:
            if (wParam > 4) return 0;
            SetMargin(static_cast<int>(wParam), margins_[wParam].width, static_cast<int32_t>(lParam));
            return 0;
        case SCI_GETMARGINTYPEN:
            return wParam > 4 ? 0 : margins_[wParam].type;
        case SCI_SETMARGINWIDTHN:
            if (wParam > 4) return 0;
            SetMargin(static_cast<int>(wParam), static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 10000)),
                      margins_[wParam].type);
            return 0;
        case SCI_GETMARGINWIDTHN:
            return wParam > 4 ? 0 : margins_[wParam].width;
        case SCI_GETMARGINS:
            return 5;
        case SCI_SETHSCROLLBAR:
            SetHScrollBar(wParam != 0);
            return 0;
        case SCI_GETHSCROLLBAR:
            return hScrollBar_ ? 1 : 0;
        case SCI_SETENDATLASTLINE:
            SetEndAtLastLine(wParam != 0);
            return 0;
        case SCI_GETENDATLASTLINE:
            return endAtLastLine_ ? 1 : 0;
        case SCI_SETSCROLLWIDTH:
            SetScrollWidth(static_cast<int64_t>(static_cast<intptr_t>(wParam)));
            return 0;
        case SCI_GETSCROLLWIDTH:
            return static_cast<intptr_t>(scrollWidth_);
        case SCI_SETEXTRAASCENT:
            SetExtraAscent(
                static_cast<int32_t>(std::clamp<intptr_t>(static_cast<intptr_t>(wParam), -1000, 1000)));
            return 0;
        case SCI_GETEXTRAASCENT:
            return extraAscent_;
        case SCI_SETEXTRADESCENT:
            SetExtraDescent(
                static_cast<int32_t>(std::clamp<intptr_t>(static_cast<intptr_t>(wParam), -1000, 1000)));
            return 0;
        case SCI_GETEXTRADESCENT:
            return extraDescent_;
        case SCI_TEXTWIDTH:
            return lParam ? TextWidth(wParam == 33 ? kStyleLineNumber : kStyleText, TextArg(lParam)) : 0;
        case SCI_TEXTHEIGHT:
            return LineHeight();
        case SCI_SETMODEVENTMASK:
            modEventMask_ = static_cast<uint32_t>(wParam);
            return 0;
        case SCI_GETMODEVENTMASK:
            return static_cast<intptr_t>(modEventMask_);
        case SCI_INDICSETSTYLE:
        case SCI_INDICSETFORE:
        case SCI_INDICSETUNDER:
        case SCI_INDICSETALPHA:
        case SCI_INDICSETOUTLINEALPHA: {
            if (wParam >= static_cast<uintptr_t>(kIndicatorCount)) return 0;
            IndicatorStyle& s = appearance_.indicators[wParam];
            switch (m) {
                case SCI_INDICSETSTYLE:
                    s.style = static_cast<int32_t>(lParam);
                    break;
                case SCI_INDICSETFORE:
                    s.fore = static_cast<uint32_t>(lParam) & 0xFFFFFF;
                    break;
                case SCI_INDICSETUNDER:
                    s.under = lParam != 0;
                    break;
                case SCI_INDICSETALPHA:
                    s.alpha = static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 255));
                    break;
                default:
                    s.outlineAlpha = static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 255));
                    break;
            }
            Repaint();
            return 0;
        }
        case SCI_INDICGETSTYLE:
        case SCI_INDICGETFORE:
        case SCI_INDICGETUNDER:
        case SCI_INDICGETALPHA:
        case SCI_INDICGETOUTLINEALPHA: {
            if (wParam >= static_cast<uintptr_t>(kIndicatorCount)) return 0;
            const IndicatorStyle& s = appearance_.indicators[wParam];
            return m == SCI_INDICGETSTYLE   ? s.style
                   : m == SCI_INDICGETFORE  ? static_cast<intptr_t>(s.fore)
                   : m == SCI_INDICGETUNDER ? (s.under ? 1 : 0)
                   : m == SCI_INDICGETALPHA ? s.alpha
                                            : s.outlineAlpha;
        }
        case SCI_SETINDICATORCURRENT:
            d.SetCurrentIndicator(static_cast<int32_t>(wParam));
            return 0;
        case SCI_GETINDICATORCURRENT:
            return d.CurrentIndicator();
        case SCI_SETINDICATORVALUE:
            d.SetIndicatorValue(static_cast<int32_t>(wParam));
            return 0;
        case SCI_GETINDICATORVALUE:
            return d.IndicatorValue();
        case SCI_INDICATORFILLRANGE:
        case SCI_INDICATORCLEARRANGE: {
            const int64_t count = std::clamp<int64_t>(lParam, 0, length - wPos);
            if (count <= 0) return 0;
            if (m == SCI_INDICATORFILLRANGE) {
                d.IndicatorFillRange(d.CurrentIndicator(), wPos, count);
            } else {
                d.IndicatorClearRange(d.CurrentIndicator(), wPos, count);
            }
            InvalidateRows(DisplayRowOfPosition(wPos), DisplayRowOfPosition(wPos + count));
            return 0;
        }
        case SCI_INDICATORALLONFOR:
            return static_cast<intptr_t>(d.IndicatorAllOnFor(wPos));
        case SCI_INDICATORVALUEAT:
            return d.IndicatorValueAt(static_cast<int>(wParam), lPos);
        case SCI_GETIMEINTERACTION:
            return 1;

        // ---- target and search ---------------------------------------------------------------
        case SCI_SETTARGETSTART:
            targetStart_ = wPos;
            return 0;
        case SCI_GETTARGETSTART:
            return static_cast<intptr_t>(targetStart_);
        case SCI_SETTARGETEND:
            targetEnd_ = wPos;
            return 0;
        case SCI_GETTARGETEND:
            return static_cast<intptr_t>(targetEnd_);
        case SCI_SETTARGETRANGE:
            targetStart_ = wPos;
            targetEnd_ = lPos;
            return 0;
        case SCI_TARGETFROMSELECTION:
            targetStart_ = SelectionStart();
            targetEnd_ = SelectionEnd();
            return 0;
        case SCI_TARGETWHOLEDOCUMENT:
            targetStart_ = 0;
            targetEnd_ = length;
            return 0;
        case SCI_GETTARGETTEXT: {
            const int64_t lo = pos(std::min(targetStart_, targetEnd_)),
                          hi = pos(std::max(targetStart_, targetEnd_));
            return CopyOut(lParam, d.GetText(lo, hi - lo));
        }
        case SCI_REPLACETARGET:
        case SCI_REPLACETARGETMINIMAL: {
            if (d.IsReadOnly()) return 0;
            const char* text = TextArg(lParam);
            const int64_t n = static_cast<intptr_t>(wParam) < 0 ? CStrLength(text)
                                                                : (text ? static_cast<int64_t>(wParam) : 0);
            const int64_t lo = pos(std::min(targetStart_, targetEnd_)),
                          hi = pos(std::max(targetStart_, targetEnd_));
            d.BeginGroup();
            if (hi > lo) d.DeleteChars(lo, hi - lo, kCoalesceNone);
            if (n > 0) d.InsertString(lo, text, n, kCoalesceNone);
            d.EndGroup();
            targetStart_ = lo;
            targetEnd_ = lo + n;
            return static_cast<intptr_t>(n);
        }
        case SCI_SEARCHINTARGET: {
            const char* needle = TextArg(lParam);
            if (!needle) return -1;
            int64_t end = 0;
            const int64_t found =
                FindText(d, targetStart_, targetEnd_, needle,
                         static_cast<int64_t>(static_cast<intptr_t>(wParam)), searchFlags_, &end);
            if (found < 0) return -1;
            targetStart_ = found;
            targetEnd_ = end;
            return static_cast<intptr_t>(found);
        }
        case SCI_SETSEARCHFLAGS:
            searchFlags_ = static_cast<uint32_t>(wParam);
            return 0;
        case SCI_GETSEARCHFLAGS:
            return static_cast<intptr_t>(searchFlags_);
        case SCI_FINDTEXT:
        case SCI_FINDTEXTFULL: {
            if (!lParam) return -1;
            int64_t lo, hi;
            const char* needle;
            if (m == SCI_FINDTEXTFULL) {
                auto* f = reinterpret_cast<TextToFindFull*>(lParam);
                lo = f->chrg.cpMin;
                hi = f->chrg.cpMax;
                needle = f->text;
            } else {
                auto* f = reinterpret_cast<TextToFind32*>(lParam);
                lo = f->chrg.cpMin;
                hi = f->chrg.cpMax;
                needle = f->text;
            }
            if (hi < 0) hi = length;
            int64_t end = -1;
            const int64_t found =
                needle ? FindText(d, lo, hi, needle, CStrLength(needle), static_cast<uint32_t>(wParam), &end)
                       : -1;
            if (found < 0) end = -1;
            if (m == SCI_FINDTEXTFULL) {
                auto* f = reinterpret_cast<TextToFindFull*>(lParam);
                f->found = {static_cast<intptr_t>(found), static_cast<intptr_t>(end)};
            } else {
                auto* f = reinterpret_cast<TextToFind32*>(lParam);
                f->found = {static_cast<int32_t>(found), static_cast<int32_t>(end)};
            }
            return static_cast<intptr_t>(found);
        }
        case SCI_SEARCHNEXT:
        case SCI_SEARCHPREV: {
            const char* needle = TextArg(lParam);
            if (!needle) return -1;
            int64_t end = 0;
            const int64_t from = SelectionStart();
            const int64_t found = FindText(d, from, m == SCI_SEARCHNEXT ? length : 0, needle,
                                           CStrLength(needle), static_cast<uint32_t>(wParam), &end);
            if (found < 0) return -1;
            SetSelection(found, end);
            return static_cast<intptr_t>(found);
        }

        // ---- private -------------------------------------------------------------------------
        case QM_SETHINTTEXT: {
            std::wstring hint;
            if (const auto* text = reinterpret_cast<const wchar_t*>(lParam)) hint = text;
            appearance_.hint = hint;
            if (length == 0) Repaint();
            return 0;
        }
        default:
            return 0;
    }
}

}  // namespace quill
