// The text and document sections of the message interface: reading and writing text, lines and
// columns, the document's flags and undo, and the document objects.
#include <algorithm>
#include <cstring>
#include <string>

#include "edit/indentation.h"
#include "edit/loader.h"
#include "edit/sci_messages.h"
#include "edit/view.h"
#include "edit/view_message_args.h"
#include "edit/word_moves.h"

namespace quill {

// Reading and writing text.
std::optional<intptr_t> View::TextMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_ADDTEXT: {
            if (a.d.IsReadOnly() || !lParam) return 0;
            const int64_t at = caret_;
            const int64_t n = static_cast<int64_t>(static_cast<intptr_t>(wParam));
            if (a.d.InsertString(at, TextArg(lParam), n, kCoalesceNone) && n > 0)
                SetSelection(at + n, at + n, true);
            return 0;
        }
        case SCI_INSERTTEXT: {
            const int64_t at = static_cast<intptr_t>(wParam) == -1 ? caret_ : a.wPos;
            a.d.InsertString(at, TextArg(lParam), CStrLength(TextArg(lParam)), kCoalesceNone);
            return 0;
        }
        case SCI_CLEARALL:
            if (a.d.IsReadOnly()) return 0;
            a.d.DeleteChars(0, a.length, kCoalesceNone);
            SetSelection(0, 0, true);
            return 0;
        case SCI_GETLENGTH:
        case SCI_GETTEXTLENGTH:
            return static_cast<intptr_t>(a.length);
        case SCI_GETCHARAT: {
            const int64_t p = static_cast<intptr_t>(wParam);
            return p < 0 || p >= a.length ? 0
                                          : static_cast<intptr_t>(static_cast<signed char>(a.d.ByteAt(p)));
        }
        case SCI_GETCURLINE: {
            const int64_t line = a.d.LineFromPosition(caret_);
            const int64_t start = a.d.LineStart(line);
            const int64_t lineLength = a.d.LineStart(line + 1) - start;
            if (!lParam) return static_cast<intptr_t>(lineLength);
            if (wParam == 0) return 0;
            const int64_t n = std::min<int64_t>(lineLength, static_cast<int64_t>(wParam) - 1);
            CopyOut(lParam, a.d.GetText(start, n));
            return static_cast<intptr_t>(caret_ - start);
        }
        case SCI_GETEOLMODE:
            return a.d.EolMode();
        case SCI_SETEOLMODE:
            a.d.SetEolMode(static_cast<int>(wParam));
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
            if (hi == -1) hi = a.length;
            lo = a.Pos(lo);
            hi = a.Pos(hi);
            if (hi < lo) std::swap(lo, hi);
            return CopyOut(reinterpret_cast<intptr_t>(out), a.d.GetText(lo, hi - lo));
        }
        case SCI_REPLACESEL: {
            const char* text = TextArg(lParam);
            a.d.SealLastStep();
            ReplaceSelection(text ? text : "", CStrLength(text), kCoalesceNone);
            a.d.SealLastStep();
            ScrollCaretIntoView(caret_, false);
            return 0;
        }
        case SCI_SETTEXT: {
            const char* text = TextArg(lParam);
            SetText(text ? text : "", CStrLength(text));
            return 1;
        }
        case SCI_GETTEXT: {
            if (!lParam) return static_cast<intptr_t>(a.length);
            const int64_t n = std::min<int64_t>(a.length, static_cast<int64_t>(wParam));
            return CopyOut(lParam, a.d.GetText(0, n));
        }
        case SCI_APPENDTEXT:
            if (lParam)
                a.d.InsertString(a.length, TextArg(lParam),
                                 static_cast<int64_t>(static_cast<intptr_t>(wParam)), kCoalesceNone);
            return 0;
        case SCI_DELETERANGE:
            a.d.DeleteChars(a.wPos, std::max<int64_t>(0, lParam), kCoalesceNone);
            return 0;
        case SCI_GETCHARACTERPOINTER:
            return reinterpret_cast<intptr_t>(a.d.CharacterPointer());
        case SCI_GETRANGEPOINTER: {
            const int64_t n = std::clamp<int64_t>(lParam, 0, a.length - a.wPos);
            return reinterpret_cast<intptr_t>(a.d.RangePointer(a.wPos, n));
        }
        case SCI_GETGAPPOSITION:
            return static_cast<intptr_t>(a.d.GapPosition());
        case SCI_CONVERTEOLS:
            ConvertEols(static_cast<int>(std::min<uintptr_t>(wParam, 3)));
            return 0;
        default:
            return std::nullopt;
    }
}

// Lines, columns, indentation and stepping through characters.
std::optional<intptr_t> View::LineMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_GETLINE: {
            if (!a.lineInRange) return 0;
            const int64_t start = a.d.LineStart(a.wLine);
            const std::string text = a.d.GetText(start, a.d.LineStart(a.wLine + 1) - start);
            if (char* out = reinterpret_cast<char*>(lParam)) std::memcpy(out, text.data(), text.size());
            return static_cast<intptr_t>(text.size());
        }
        case SCI_GETLINECOUNT:
            return static_cast<intptr_t>(a.d.LineCount());
        case SCI_GETLINEENDPOSITION:
            if (a.wLine < 0) return 0;
            return static_cast<intptr_t>(a.d.LineEnd(std::min(a.wLine, a.d.LineCount() - 1)));
        case SCI_LINEFROMPOSITION:
            return static_cast<intptr_t>(a.d.LineFromPosition(a.wPos));
        case SCI_POSITIONFROMLINE: {
            int64_t line = a.wLine;
            if (line < 0) line = a.d.LineFromPosition(SelectionStart());
            if (line > a.d.LineCount()) return -1;
            if (line == a.d.LineCount()) return static_cast<intptr_t>(a.length);
            return static_cast<intptr_t>(a.d.LineStart(line));
        }
        case SCI_LINELENGTH:
            if (!a.lineInRange) return 0;
            return static_cast<intptr_t>(a.d.LineStart(a.wLine + 1) - a.d.LineStart(a.wLine));
        case SCI_COUNTCHARACTERS:
            return static_cast<intptr_t>(a.d.CountCharacters(a.wPos, std::max(a.wPos, a.lPos)));
        case SCI_POSITIONBEFORE:
            return static_cast<intptr_t>(a.d.PositionBefore(a.wPos));
        case SCI_POSITIONAFTER:
            return static_cast<intptr_t>(a.d.PositionAfter(a.wPos));
        case SCI_POSITIONRELATIVE: {
            int64_t p = a.wPos;
            for (int64_t n = lParam; n > 0; --n) {
                if (p >= a.length) return 0;
                int width = 1;
                a.d.CharacterAt(p, &width);
                p += std::max(1, width);
            }
            for (int64_t n = lParam; n < 0; ++n) {
                if (p <= 0) return 0;
                int width = 1;
                a.d.CharacterBefore(p, &width);
                p -= std::max(1, width);
            }
            return static_cast<intptr_t>(p);
        }
        case SCI_WORDSTARTPOSITION:
            return static_cast<intptr_t>(RunStartBefore(a.d, a.wPos));
        case SCI_WORDENDPOSITION:
            return static_cast<intptr_t>(RunEndAfter(a.d, a.wPos));
        case SCI_GETLINEINDENTPOSITION:
            return a.lineInRange ? static_cast<intptr_t>(IndentPosition(a.d, a.wLine)) : 0;
        case SCI_SETLINEINDENTATION:
            SetLineIndentation(a.wLine, static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 0x7FFFFFF)));
            return 0;
        case SCI_GETLINEINDENTATION:
            return a.lineInRange ? LineIndentation(a.d, a.wLine, tabWidth_) : 0;
        case SCI_GETCOLUMN:
            return static_cast<intptr_t>(ColumnAt(a.wPos));
        case SCI_FINDCOLUMN:
            if (a.wLine < 0) return 0;
            return static_cast<intptr_t>(FindColumn(
                a.d, a.wLine, static_cast<int32_t>(std::clamp<intptr_t>(lParam, 0, 0x7FFFFFFF)), tabWidth_));
        case SCI_GETCODEPAGE:
            return SC_CP_UTF8;
        default:
            return std::nullopt;
    }
}

// The document: flags, undo, and the document objects themselves.
std::optional<intptr_t> View::DocumentMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_GETREADONLY:
            return a.d.IsReadOnly() ? 1 : 0;
        case SCI_SETREADONLY:
            a.d.SetReadOnly(wParam != 0);
            return 0;
        case SCI_GETMODIFY:
            return a.d.IsModified() ? 1 : 0;
        case SCI_SETSAVEPOINT:
            a.d.SetSavePoint();
            return 0;
        case SCI_SETUNDOCOLLECTION:
            a.d.SetCollectUndo(wParam != 0);
            return 0;
        case SCI_GETUNDOCOLLECTION:
            return a.d.GetCollectUndo() ? 1 : 0;
        case SCI_BEGINUNDOACTION:
            a.d.BeginGroup();
            return 0;
        case SCI_ENDUNDOACTION:
            a.d.EndGroup();
            return 0;
        case SCI_CANUNDO:
            return a.d.CanUndo() ? 1 : 0;
        case SCI_CANREDO:
            return a.d.CanRedo() ? 1 : 0;
        case SCI_EMPTYUNDOBUFFER:
            a.d.EmptyHistory();
            return 0;
        case SCI_GETDOCPOINTER:
            return reinterpret_cast<intptr_t>(doc_);
        case SCI_SETDOCPOINTER:
            CompleteComposition();
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

        default:
            return std::nullopt;
    }
}

}  // namespace quill
