// The search sections of the message interface: the target, searching in it, and finding text.
#include <algorithm>

#include "edit/sci_messages.h"
#include "edit/search.h"
#include "edit/view.h"
#include "edit/view_message_args.h"

namespace quill {

// The target and searching in it.
std::optional<intptr_t> View::TargetMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_SETTARGETSTART:
            targetStart_ = a.wPos;
            return 0;
        case SCI_GETTARGETSTART:
            return static_cast<intptr_t>(targetStart_);
        case SCI_SETTARGETEND:
            targetEnd_ = a.wPos;
            return 0;
        case SCI_GETTARGETEND:
            return static_cast<intptr_t>(targetEnd_);
        case SCI_SETTARGETRANGE:
            targetStart_ = a.wPos;
            targetEnd_ = a.lPos;
            return 0;
        case SCI_TARGETFROMSELECTION:
            targetStart_ = SelectionStart();
            targetEnd_ = SelectionEnd();
            return 0;
        case SCI_TARGETWHOLEDOCUMENT:
            targetStart_ = 0;
            targetEnd_ = a.length;
            return 0;
        case SCI_GETTARGETTEXT: {
            const int64_t lo = a.Pos(std::min(targetStart_, targetEnd_)),
                          hi = a.Pos(std::max(targetStart_, targetEnd_));
            return CopyOut(lParam, a.d.GetText(lo, hi - lo));
        }
        case SCI_REPLACETARGET:
        case SCI_REPLACETARGETMINIMAL: {
            if (a.d.IsReadOnly()) return 0;
            const char* text = TextArg(lParam);
            const int64_t n = static_cast<intptr_t>(wParam) < 0 ? CStrLength(text)
                                                                : (text ? static_cast<int64_t>(wParam) : 0);
            const int64_t lo = a.Pos(std::min(targetStart_, targetEnd_)),
                          hi = a.Pos(std::max(targetStart_, targetEnd_));
            a.d.BeginGroup();
            if (hi > lo) a.d.DeleteChars(lo, hi - lo, kCoalesceNone);
            if (n > 0) a.d.InsertString(lo, text, n, kCoalesceNone);
            a.d.EndGroup();
            targetStart_ = lo;
            targetEnd_ = lo + n;
            return static_cast<intptr_t>(n);
        }
        case SCI_SEARCHINTARGET: {
            const char* needle = TextArg(lParam);
            if (!needle) return -1;
            int64_t end = 0;
            const int64_t found =
                FindText(a.d, targetStart_, targetEnd_, needle,
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
        default:
            return std::nullopt;
    }
}

// Finding text outside the target.
std::optional<intptr_t> View::FindMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
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
            if (hi < 0) hi = a.length;
            int64_t end = -1;
            const int64_t found = needle ? FindText(a.d, lo, hi, needle, CStrLength(needle),
                                                    static_cast<uint32_t>(wParam), &end)
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
            const int64_t found = FindText(a.d, from, m == SCI_SEARCHNEXT ? a.length : 0, needle,
                                           CStrLength(needle), static_cast<uint32_t>(wParam), &end);
            if (found < 0) return -1;
            SetSelection(found, end);
            return static_cast<intptr_t>(found);
        }

        default:
            return std::nullopt;
    }
}

}  // namespace quill
