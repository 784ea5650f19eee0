#include "edit/text_units.h"

#include <algorithm>
#include <string_view>

#include "edit/word_moves.h"
#include "files/code_page.h"

namespace quill {
namespace {

// Into the document and out of a character or a CR LF pair: positions kept across edits may land
// inside one.
int64_t Clamp(const Document& doc, int64_t p) {
    return doc.MovePositionOutsideChar(p, -1);
}

// Format and paragraph read as line, page as document.
int Canonical(int unit) {
    if (unit == kUnitFormat || unit == kUnitParagraph) return kUnitLine;
    if (unit == kUnitPage) return kUnitDocument;
    return unit;
}

}  // namespace

TextSpan ClampSpan(const Document& doc, TextSpan span) {
    const int64_t start = Clamp(doc, span.start);
    return {start, std::max(start, doc.MovePositionOutsideChar(span.end, 1))};
}

int64_t NextUnitBoundary(const Document& doc, int unit, int64_t p) {
    p = Clamp(doc, p);
    switch (Canonical(unit)) {
        case kUnitCharacter:
            return doc.PositionAfter(p);
        case kUnitWord:
            return std::max(p, WordRightTarget(doc, p));
        case kUnitLine: {
            const int64_t line = doc.LineFromPosition(p);
            return line + 1 < doc.LineCount() ? doc.LineStart(line + 1) : doc.Length();
        }
        default:
            return doc.Length();
    }
}

int64_t PreviousUnitBoundary(const Document& doc, int unit, int64_t p) {
    p = Clamp(doc, p);
    switch (Canonical(unit)) {
        case kUnitCharacter:
            return doc.PositionBefore(p);
        case kUnitWord:
            return std::min(p, WordLeftTarget(doc, p));
        case kUnitLine: {
            if (p == 0) return 0;
            const int64_t line = doc.LineFromPosition(p);
            const int64_t start = doc.LineStart(line);
            return start < p ? start : doc.LineStart(line - 1);
        }
        default:
            return 0;
    }
}

int64_t UnitStartAtOrBefore(const Document& doc, int unit, int64_t p) {
    p = Clamp(doc, p);
    if (p == 0) return 0;
    // A line holds its start; at the end of the text that is the last line's, even when it is empty.
    if (Canonical(unit) == kUnitLine) return doc.LineStart(doc.LineFromPosition(p));
    // The unit that starts at the previous boundary holds p unless it ends at or before p; the
    // word rules are not symmetric, so both directions are asked.
    const int64_t before = PreviousUnitBoundary(doc, unit, p);
    return NextUnitBoundary(doc, unit, before) > p ? before : p;
}

int32_t MoveByUnits(const Document& doc, int unit, int64_t* p, int32_t count) {
    int64_t at = Clamp(doc, *p);
    int32_t moved = 0;
    for (; moved < count; ++moved) {
        const int64_t next = NextUnitBoundary(doc, unit, at);
        if (next <= at) break;
        at = next;
    }
    for (; moved > count; --moved) {
        const int64_t previous = PreviousUnitBoundary(doc, unit, at);
        if (previous >= at) break;
        at = previous;
    }
    *p = at;
    return moved;
}

TextSpan ExpandToUnit(const Document& doc, int unit, TextSpan span) {
    if (Canonical(unit) == kUnitDocument) return {0, doc.Length()};
    const int64_t start = UnitStartAtOrBefore(doc, unit, span.start);
    return {start, NextUnitBoundary(doc, unit, start)};
}

int32_t MoveSpan(const Document& doc, int unit, TextSpan* span, int32_t count) {
    TextSpan s = ClampSpan(doc, *span);
    if (s.start == s.end) {
        const int32_t moved = MoveByUnits(doc, unit, &s.start, count);
        *span = {s.start, s.start};
        return moved;
    }
    const bool whole = Canonical(unit) == kUnitDocument;
    int64_t start = whole ? s.start : UnitStartAtOrBefore(doc, unit, s.start);
    int32_t moved = MoveByUnits(doc, unit, &start, count);
    if (moved > 0 && start >= doc.Length()) {
        start = PreviousUnitBoundary(doc, unit, start);
        --moved;
    }
    *span = {start, whole ? doc.Length() : NextUnitBoundary(doc, unit, start)};
    return moved;
}

int32_t MoveSpanEndpoint(const Document& doc, int unit, TextSpan* span, bool end, int32_t count) {
    TextSpan s = ClampSpan(doc, *span);
    int64_t p = end ? s.end : s.start;
    const int32_t moved = MoveByUnits(doc, unit, &p, count);
    SetSpanEndpoint(&s, end, p);
    *span = s;
    return moved;
}

void SetSpanEndpoint(TextSpan* span, bool end, int64_t position) {
    if (end) {
        span->end = position;
        span->start = std::min(span->start, position);
    } else {
        span->start = position;
        span->end = std::max(span->end, position);
    }
}

TextSpan SpanTextBytes(Document& doc, TextSpan span, int32_t maxLength) {
    span = ClampSpan(doc, span);
    const int64_t start = doc.MovePositionOutsideChar(span.start, -1);
    int64_t end = doc.MovePositionOutsideChar(span.end, 1);
    if (maxLength >= 0 && end - start > int64_t{maxLength} * 4)
        end = doc.MovePositionOutsideChar(start + int64_t{maxLength} * 4, -1);
    if (end <= start || maxLength == 0) return {start, start};
    return {start, end};
}

std::wstring SpanText(Document& doc, TextSpan span, int32_t maxLength) {
    const TextSpan bytes = SpanTextBytes(doc, span, maxLength);
    if (bytes.end <= bytes.start) return {};
    std::wstring text = lumen::Utf8ToWide(
        std::string_view(doc.RangePointer(bytes.start, bytes.end - bytes.start), bytes.end - bytes.start));
    if (maxLength >= 0 && text.size() > static_cast<size_t>(maxLength)) {
        size_t keep = static_cast<size_t>(maxLength);
        if (keep > 0 && text[keep - 1] >= 0xD800 && text[keep - 1] <= 0xDBFF) --keep;
        text.resize(keep);
    }
    return text;
}

}  // namespace quill
