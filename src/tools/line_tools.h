// The line tools as pure functions from the text of a range to its new text. A range holds whole
// lines: it is split at CR LF, at a lone CR and at a lone LF (one break each), the text after the
// last break is the last line even when empty (n breaks, n + 1 lines), and where the lines are put
// back together they are joined with the tab's break. The break that ends a range is never part of
// it. Whitespace means space and tab only. Bytes that are not valid UTF-8 pass through unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/text_codecs.h"

namespace lumen {

// The commands that run a line tool; the values are their command numbers.
enum class LineTool : int32_t {
    SortAscending = 145,
    SortDescending = 146,
    RemoveDuplicates = 147,
    UpperCase = 148,
    LowerCase = 149,
    MoveUp = 153,
    MoveDown = 154,
    DeleteLines = 155,
    JoinLines = 156,
    TrimTrailing = 158,
    TabsToSpaces = 159,
    IndentToTabs = 160,
    RemoveBlank = 161,
};

bool IsLineTool(int32_t command);

// "\r\n", "\r" or "\n".
std::string_view EolBytes(EolStyle eol);

// The first line break at or after `from` in text: its position and length (2 for CR LF), or
// text.size() and 0 when there is none.
struct LineBreak {
    size_t at;
    size_t length;
};
LineBreak NextBreak(std::string_view text, size_t from);
// The last line break in text, or {text.size(), 0} when there is none.
LineBreak LastBreak(std::string_view text);

// Moving lines. Up (direction < 0): the text's first line and the break after it go to the end (the
// block that followed comes first, then that break as it was, then the line). Down: the last line
// and the break before it go to the front. `shift` is the length that moved past the block, by which
// the selection moves (back for up, forward for down). A text of one line comes back unchanged.
struct MovedText {
    std::string text;
    int64_t shift = 0;
};
MovedText MoveLinesText(std::string_view text, int direction);

// Joining: every line loses its leading whitespace (not the first) and its trailing whitespace (not
// the last); empty pieces are skipped; the rest are joined by one space. `joinPoint` is where the
// caret goes: after the first line's text without its trailing whitespace, at most the joined length.
struct JoinedText {
    std::string text;
    int64_t joinPoint = 0;
};
JoinedText JoinLinesText(std::string_view text);

// A tool's new text and the count its message gives (lines sorted, dropped or changed).
struct ToolText {
    std::string text;
    int64_t count = 0;
};

enum class SortMode { Ascending, Descending, RemoveDuplicates };

// Ascending and descending: a stable sort by the locale-aware comparison (CompareLinesForSort) of
// each line converted once to UTF-16; the count is the number of lines. Removing duplicates keeps
// each line's first occurrence, by exact bytes, in order; the count is the number of lines dropped.
ToolText SortLinesText(std::string_view text, EolStyle eol, SortMode mode);

enum class TransformMode { TrimTrailing, TabsToSpaces, IndentToTabs, RemoveBlank };

// Per line: trim trailing whitespace; tabs to spaces at columns of characters (each byte that is
// not a UTF-8 continuation byte starts one); the leading whitespace as tabs then spaces of the same
// width; or drop the line when it is empty or only whitespace. The count is the lines changed
// (dropped, for RemoveBlank). A tab width below 1 counts as 1.
ToolText TransformLinesText(std::string_view text, EolStyle eol, TransformMode mode, int32_t tabWidth);

// Upper- or lower-case through the system's case mapping (MapCase). Invalid UTF-8 bytes are kept as
// they are rather than turned into U+FFFD.
std::string ChangeCaseText(std::string_view text, bool upper);

// The word around `caret` in text: bytes that are ASCII letters or digits, "_" or 0x80 and above,
// extended both ways from the caret (clamped to the text). Empty when there are none.
struct ByteSpan {
    int64_t start = 0;
    int64_t end = 0;
};
ByteSpan WordAround(std::string_view text, int64_t caret);

}  // namespace lumen
