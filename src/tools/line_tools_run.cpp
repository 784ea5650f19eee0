#include "tools/line_tools_run.h"

#include <algorithm>
#include <string_view>

#include "app/status_text.h"
#include "edit/sci_messages.h"

namespace lumen {
namespace {

using namespace quill;

class EditorLines final : public LineQuery {
public:
    explicit EditorLines(const EditorLink& editor) : ed_(editor) {}
    int64_t Length() override { return ed_(SCI_GETLENGTH); }
    int64_t LineCount() override { return ed_(SCI_GETLINECOUNT); }
    int64_t LineFromPosition(int64_t position) override {
        return ed_(SCI_LINEFROMPOSITION, static_cast<uintptr_t>(position));
    }
    int64_t LineStart(int64_t line) override {
        return ed_(SCI_POSITIONFROMLINE, static_cast<uintptr_t>(line));
    }
    int64_t LineEnd(int64_t line) override {
        return ed_(SCI_GETLINEENDPOSITION, static_cast<uintptr_t>(line));
    }

private:
    const EditorLink& ed_;
};

uintptr_t W(int64_t v) {
    return static_cast<uintptr_t>(v);
}

void Select(const EditorLink& ed, int64_t anchor, int64_t caret) {
    ed(SCI_SETSEL, W(anchor), static_cast<intptr_t>(caret));
}

// The document's bytes in place: valid until the next change.
std::string_view DocumentBytes(const EditorLink& ed) {
    const int64_t length = ed(SCI_GETLENGTH);
    const auto* p = reinterpret_cast<const char*>(ed(SCI_GETCHARACTERPOINTER));
    return p ? std::string_view(p, static_cast<size_t>(length)) : std::string_view();
}

// Replaces the bytes `old` at start by text in one undo step and returns the end of the new text.
// Only the part between the common head and tail is handed over: the same single step, with less
// to record and to lay out again.
int64_t Replace(const EditorLink& ed, int64_t start, std::string_view old, std::string_view text) {
    const size_t most = std::min(old.size(), text.size());
    const size_t head =
        static_cast<size_t>(std::mismatch(old.begin(), old.begin() + most, text.begin()).first - old.begin());
    const size_t tail = static_cast<size_t>(
        std::mismatch(old.rbegin(), old.rbegin() + (most - head), text.rbegin()).first - old.rbegin());
    ed(SCI_BEGINUNDOACTION);
    ed(SCI_SETTARGETRANGE, W(start + head), static_cast<intptr_t>(start + old.size() - tail));
    ed(SCI_REPLACETARGET, text.size() - head - tail, reinterpret_cast<intptr_t>(text.data() + head));
    const int64_t end = ed(SCI_GETTARGETEND) + static_cast<int64_t>(tail);
    ed(SCI_ENDUNDOACTION);
    return end;
}

void ChangeCase(const EditorLink& ed, bool upper, int64_t anchor, int64_t caret) {
    const std::string_view all = DocumentBytes(ed);
    const ByteSpan span =
        anchor != caret ? ByteSpan{std::min(anchor, caret), std::max(anchor, caret)} : WordAround(all, caret);
    if (span.end <= span.start) return;
    const std::string_view old =
        all.substr(static_cast<size_t>(span.start), static_cast<size_t>(span.end - span.start));
    const std::string text = ChangeCaseText(old, upper);
    if (text == old) return;
    const int64_t end = Replace(ed, span.start, old, text);
    if (anchor == caret) {
        const int64_t at = std::min(caret, end);
        Select(ed, at, at);
    } else if (caret < anchor) {
        Select(ed, end, span.start);
    } else {
        Select(ed, span.start, end);
    }
}

}  // namespace

LineSpan SelectedLines(LineQuery& doc, int64_t start, int64_t end) {
    LineSpan span{doc.LineFromPosition(start), doc.LineFromPosition(end)};
    if (end > start && span.last > span.first && doc.LineStart(span.last) == end) --span.last;
    return span;
}

ToolRange PlanLineTool(LineTool tool, LineQuery& doc, int64_t selStart, int64_t selEnd) {
    ToolRange r;
    const bool selection = selEnd > selStart;
    const int64_t lastLine = doc.LineCount() - 1;
    r.lines = SelectedLines(doc, selStart, selEnd);
    int64_t& first = r.lines.first;
    int64_t& last = r.lines.last;
    switch (tool) {
        case LineTool::MoveUp:
            if (first == 0) return r;
            r.start = doc.LineStart(first - 1);
            r.end = doc.LineEnd(last);
            break;
        case LineTool::MoveDown:
            if (last >= lastLine) return r;
            r.start = doc.LineStart(first);
            r.end = doc.LineEnd(last + 1);
            break;
        case LineTool::DeleteLines:
            // With their breaks; at the end of the document the break before the lines goes instead.
            if (last < lastLine) {
                r.start = doc.LineStart(first);
                r.end = doc.LineStart(last + 1);
            } else {
                r.start = first > 0 ? doc.LineEnd(first - 1) : 0;
                r.end = doc.Length();
            }
            if (r.end <= r.start) return r;
            break;
        case LineTool::JoinLines:
            if (first == last) last = first + 1;
            if (last > lastLine) return r;
            r.start = doc.LineStart(first);
            r.end = doc.LineEnd(last);
            break;
        case LineTool::SortAscending:
        case LineTool::SortDescending:
        case LineTool::RemoveDuplicates:
            if (!selection) {
                first = 0;
                last = lastLine;
                // A final break stays where it is and its empty line is not sorted.
                if (doc.LineStart(last) == doc.LineEnd(last)) --last;
            }
            if (last <= first) {
                r.message = L"두 줄 이상이 필요합니다";
                return r;
            }
            r.start = doc.LineStart(first);
            r.end = doc.LineEnd(last);
            break;
        case LineTool::TrimTrailing:
        case LineTool::TabsToSpaces:
        case LineTool::IndentToTabs:
        case LineTool::RemoveBlank:
            if (!selection) {
                first = 0;
                last = lastLine;
            }
            r.start = doc.LineStart(first);
            r.end = doc.LineEnd(last);
            break;
        case LineTool::UpperCase:
        case LineTool::LowerCase:
            return r;
    }
    r.run = true;
    return r;
}

std::wstring RunLineTool(const EditorLink& ed, LineTool tool, EolStyle eol, int32_t tabWidth) {
    const int64_t anchor = ed(SCI_GETANCHOR), caret = ed(SCI_GETCURRENTPOS);
    if (tool == LineTool::UpperCase || tool == LineTool::LowerCase) {
        ChangeCase(ed, tool == LineTool::UpperCase, anchor, caret);
        return {};
    }
    const bool selection = anchor != caret;
    EditorLines doc(ed);
    const ToolRange r = PlanLineTool(tool, doc, std::min(anchor, caret), std::max(anchor, caret));
    if (!r.run) return r.message;
    if (tool == LineTool::DeleteLines) {
        ed(SCI_BEGINUNDOACTION);
        ed(SCI_DELETERANGE, W(r.start), static_cast<intptr_t>(r.end - r.start));
        ed(SCI_ENDUNDOACTION);
        const int64_t at = doc.LineStart(std::min(doc.LineCount() - 1, r.lines.first));
        Select(ed, at, at);
        ed(SCI_SCROLLCARET);
        return {};
    }
    const std::string_view old =
        DocumentBytes(ed).substr(static_cast<size_t>(r.start), static_cast<size_t>(r.end - r.start));
    switch (tool) {
        case LineTool::MoveUp:
        case LineTool::MoveDown: {
            const int direction = tool == LineTool::MoveUp ? -1 : 1;
            const MovedText moved = MoveLinesText(old, direction);
            if (moved.text != old) Replace(ed, r.start, old, moved.text);
            Select(ed, anchor + direction * moved.shift, caret + direction * moved.shift);
            return {};
        }
        case LineTool::JoinLines: {
            const JoinedText joined = JoinLinesText(old);
            if (joined.text == old) return {};
            Replace(ed, r.start, old, joined.text);
            Select(ed, r.start + joined.joinPoint, r.start + joined.joinPoint);
            return {};
        }
        case LineTool::SortAscending:
        case LineTool::SortDescending:
        case LineTool::RemoveDuplicates: {
            const bool dedup = tool == LineTool::RemoveDuplicates;
            const SortMode mode =
                dedup ? SortMode::RemoveDuplicates
                      : (tool == LineTool::SortAscending ? SortMode::Ascending : SortMode::Descending);
            const ToolText sorted = SortLinesText(old, eol, mode);
            if (sorted.text == old) return dedup ? L"중복된 줄이 없습니다" : L"이미 정렬되어 있습니다";
            const int64_t end = Replace(ed, r.start, old, sorted.text);
            if (selection) {
                Select(ed, r.start, end);
            } else {
                const int64_t at = std::min(ed(SCI_GETLENGTH), caret);
                Select(ed, at, at);
            }
            if (dedup) return L"중복된 줄 " + FormatThousands(sorted.count) + L"개를 지웠습니다";
            return FormatThousands(r.lines.last - r.lines.first + 1) + L"줄을 정렬했습니다";
        }
        default: {
            const TransformMode mode = tool == LineTool::TrimTrailing   ? TransformMode::TrimTrailing
                                       : tool == LineTool::TabsToSpaces ? TransformMode::TabsToSpaces
                                       : tool == LineTool::IndentToTabs ? TransformMode::IndentToTabs
                                                                        : TransformMode::RemoveBlank;
            const int64_t caretLine = doc.LineFromPosition(caret);
            const ToolText changed = TransformLinesText(old, eol, mode, tabWidth);
            if (changed.text == old) return L"바꿀 내용이 없습니다";
            const int64_t end = Replace(ed, r.start, old, changed.text);
            if (selection) {
                Select(ed, r.start, end);
            } else {
                const int64_t at = doc.LineEnd(std::min(caretLine, doc.LineCount() - 1));
                Select(ed, at, at);
            }
            if (mode == TransformMode::RemoveBlank)
                return L"빈 줄 " + FormatThousands(changed.count) + L"개를 지웠습니다";
            return FormatThousands(changed.count) + L"줄을 바꿨습니다";
        }
    }
}

}  // namespace lumen
