// What the find card asks of the editor, built from the control's target searches: counting and
// highlighting every match, the next or previous match with wrap-around, replacing the selected
// match, replacing every match as one undo step, and the text a selection seeds the box with.
// Everything goes through the editor's direct-call function, so the same code drives the
// "QuillEdit" window and, natively, a view object.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tools/line_tools_run.h"

namespace lumen {

// Match highlights live in this editor indicator.
inline constexpr int kFindIndicator = 8;

uint32_t FindFlags(bool matchCase, bool wholeWord);

struct MatchCount {
    int32_t count = -1;  // -1: not counted (empty needle, or a document over the size limit)
    int32_t index = 0;   // 1-based number of the match starting at the selection start, 0 if none
};
// Clears the highlights, then counts and highlights the matches, at most kFindCountCap of them, in a
// document of at most kFindCountLimitBytes.
MatchCount CountMatches(const EditorLink& ed, std::string_view needle, uint32_t flags);
// Removes every highlight.
void ClearMatchHighlights(const EditorLink& ed);

enum class FindOutcome { NotFound, Found, FoundAfterWrap };
// Selects the next match after the selection (from its start when incremental) or the previous one
// before it, wrapping around the document once, and scrolls it into view. An empty needle finds
// nothing and changes nothing.
FindOutcome FindNextMatch(const EditorLink& ed, std::string_view needle, uint32_t flags, bool forward,
                          bool incremental);

// When the selection is exactly a match, replaces it and leaves the caret after the new text.
bool ReplaceSelectedMatch(const EditorLink& ed, std::string_view needle, std::string_view replacement,
                          uint32_t flags);
// Replaces every match from the start of the document as one undo step; returns how many.
int64_t ReplaceEveryMatch(const EditorLink& ed, std::string_view needle, std::string_view replacement,
                          uint32_t flags);
// The status message after replacing all: "N개를 바꿨습니다" or "바꿀 항목이 없습니다".
std::wstring ReplacedMessage(int64_t replaced);

// The selection as a search text: only when it is not empty, shorter than 512 bytes and on one line.
std::optional<std::string> SelectionSeed(const EditorLink& ed);

}  // namespace lumen
