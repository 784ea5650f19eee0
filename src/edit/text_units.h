// The arithmetic of accessibility text ranges: where the units of UI Automation (character, word,
// line, document) begin and end in a document, and how a range moves, grows and collapses by them.
// Plain functions over a Document and two byte positions, so the provider's COM objects only check
// arguments and convert, and every rule here is tested natively.
//
// Units: character = the caret's character steps (whole UTF-8 sequences, combining marks with the
// character before them, CR LF as one); word = Ctrl+Right forwards and Ctrl+Left backwards; line =
// a document line with its break; page and document = the whole text; format and paragraph act as
// line. Every function first clamps positions into the document and moves them out of a character
// or a CR LF pair, so a span kept across edits is never read outside the text or inside a character.
#pragma once

#include <cstdint>
#include <string>

#include "edit/document.h"

namespace quill {

// UI Automation's TextUnit numbers.
enum TextUnit : int {
    kUnitCharacter = 0,
    kUnitFormat = 1,
    kUnitWord = 2,
    kUnitLine = 3,
    kUnitParagraph = 4,
    kUnitPage = 5,
    kUnitDocument = 6,
};

inline bool IsTextUnit(int unit) {
    return unit >= kUnitCharacter && unit <= kUnitDocument;
}

struct TextSpan {
    int64_t start = 0;
    int64_t end = 0;
    bool operator==(const TextSpan&) const = default;
};

// Both ends clamped into the document and widened to whole characters, the end not before the start.
TextSpan ClampSpan(const Document& doc, TextSpan span);

// The next boundary of `unit` after p (p itself at the end of the document) and the previous one
// before p (p itself at 0).
int64_t NextUnitBoundary(const Document& doc, int unit, int64_t p);
int64_t PreviousUnitBoundary(const Document& doc, int unit, int64_t p);
// The start of the unit holding p: p when a unit starts there (at the end of the text: the last line
// for lines, else the end itself).
int64_t UnitStartAtOrBefore(const Document& doc, int unit, int64_t p);

// Moves *p by up to `count` boundaries (backwards when negative), stopping early where it no longer
// moves; returns the signed number of boundaries passed.
int32_t MoveByUnits(const Document& doc, int unit, int64_t* p, int32_t count);

// The unit around the span's start (the whole document for page and document).
TextSpan ExpandToUnit(const Document& doc, int unit, TextSpan span);
// A degenerate span moves by `count` units and stays degenerate. Any other span becomes the unit at
// its start, moved by `count` units; a forward move that reaches the end of the document steps back
// one unit, so that the span covers a unit, and counts one less. Returns the units moved.
int32_t MoveSpan(const Document& doc, int unit, TextSpan* span, int32_t count);
// Moves one end by `count` units; when it crosses the other end, both meet where it stopped.
int32_t MoveSpanEndpoint(const Document& doc, int unit, TextSpan* span, bool end, int32_t count);
// Puts one end at `position`; when it crosses the other end, that end follows it.
void SetSpanEndpoint(TextSpan* span, bool end, int64_t position);

// The span's text in UTF-16, ends widened to whole characters. With maxLength >= 0 at most
// maxLength * 4 bytes are read and at most maxLength units returned, never half a surrogate pair.
std::wstring SpanText(Document& doc, TextSpan span, int32_t maxLength);
// The bytes SpanText converts (empty when it returns nothing), for a caller that converts them into
// storage of its own.
TextSpan SpanTextBytes(Document& doc, TextSpan span, int32_t maxLength);

}  // namespace quill
