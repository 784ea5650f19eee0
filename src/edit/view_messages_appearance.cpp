// The appearance sections of the message interface: styles, drawing options, layout options and
// indicators.
#include <algorithm>
#include <string>

#include "edit/sci_messages.h"
#include "edit/view.h"
#include "edit/view_message_args.h"
#include "files/code_page.h"

namespace quill {
namespace {

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

}  // namespace

// The three styles.
std::optional<intptr_t> View::StyleMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
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
        default:
            return std::nullopt;
    }
}

// What only changes how the view is drawn: colours, marks, the hint text.
std::optional<intptr_t> View::DrawingMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
        case SCI_SETSELBACK:
            if (wParam)
                appearance_.elements[kElementSelection] = {
                    true, 0xFF000000u | (static_cast<uint32_t>(lParam) & 0xFFFFFF)};
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
        // ---- private -------------------------------------------------------------------------
        case QM_SETHINTTEXT: {
            std::wstring hint;
            if (const auto* text = reinterpret_cast<const wchar_t*>(lParam)) hint = text;
            appearance_.hint = hint;
            if (a.length == 0) Repaint();
            return 0;
        }
        default:
            return std::nullopt;
    }
}

// Indentation, wrapping, zoom and the caret.
std::optional<intptr_t> View::IndentAndWrapMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
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
            firstLine_ = std::clamp<int64_t>(first, 0, a.d.LineCount() - 1);
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
        default:
            return std::nullopt;
    }
}

// Margins, scroll bar options, line spacing, measuring and the event mask.
std::optional<intptr_t> View::MarginAndScrollOptionMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
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
            return static_cast<intptr_t>(ScrollWidth());
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
        default:
            return std::nullopt;
    }
}

// Indicator styles and ranges.
std::optional<intptr_t> View::IndicatorMessage(unsigned m, const MessageArgs& a) {
    [[maybe_unused]] const uintptr_t wParam = a.wParam;
    [[maybe_unused]] const intptr_t lParam = a.lParam;
    switch (m) {
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
            a.d.SetCurrentIndicator(static_cast<int32_t>(wParam));
            return 0;
        case SCI_GETINDICATORCURRENT:
            return a.d.CurrentIndicator();
        case SCI_SETINDICATORVALUE:
            a.d.SetIndicatorValue(static_cast<int32_t>(wParam));
            return 0;
        case SCI_GETINDICATORVALUE:
            return a.d.IndicatorValue();
        case SCI_INDICATORFILLRANGE:
        case SCI_INDICATORCLEARRANGE: {
            const int64_t count = std::clamp<int64_t>(lParam, 0, a.length - a.wPos);
            if (count <= 0) return 0;
            if (m == SCI_INDICATORFILLRANGE) {
                a.d.IndicatorFillRange(a.d.CurrentIndicator(), a.wPos, count);
            } else {
                a.d.IndicatorClearRange(a.d.CurrentIndicator(), a.wPos, count);
            }
            // Whole lines: finding the rows of a position inside a wrapped line would lay the line out,
            // and a count of matches fills thousands of ranges, nearly all of them off screen.
            const int64_t first = a.d.LineFromPosition(a.wPos);
            InvalidateLines(first, a.d.LineFromPosition(a.wPos + count) - first + 1);
            return 0;
        }
        case SCI_INDICATORALLONFOR:
            return static_cast<intptr_t>(a.d.IndicatorAllOnFor(a.wPos));
        case SCI_INDICATORVALUEAT:
            return a.d.IndicatorValueAt(static_cast<int>(wParam), a.lPos);
        case SCI_GETIMEINTERACTION:
            return 1;

        default:
            return std::nullopt;
    }
}

}  // namespace quill
