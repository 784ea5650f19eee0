// Where word-wise caret moves, word deletions and double-click selection land. Words are runs of
// one character class (blank, line end, word, punctuation); a CR LF pair counts as one line end.
#pragma once

#include <cstdint>

#include "edit/document.h"

namespace quill {

// Ctrl+Left: back over blanks, then over one line end or over the run of the class before.
int64_t WordLeftTarget(const Document& doc, int64_t position);
// Ctrl+Right: over one line end or over the run of a word or punctuation class, then over blanks.
int64_t WordRightTarget(const Document& doc, int64_t position);
// End of the run at the position (blanks included when on a blank); nothing at a line end.
int64_t WordRightEndTarget(const Document& doc, int64_t position);

// Start of the run of the class of the character before the position; a line end stops at once.
int64_t RunStartBefore(const Document& doc, int64_t position);
// End of the run of the class of the character at the position; a line end stops at once.
int64_t RunEndAfter(const Document& doc, int64_t position);

struct Range64 {
    int64_t start;
    int64_t end;
};

// The word a double click selects: the run of one class around the position, taken from the
// character at it, or from the one before it at a line end. Empty at a line end that follows
// another line end.
Range64 WordAround(const Document& doc, int64_t position);

}  // namespace quill
