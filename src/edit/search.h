// The one search routine behind every search message of the editor control: find a UTF-8 needle in
// a document between two byte positions, forward or backward, optionally matching case, whole words
// or word starts. Case-insensitive matches of non-ASCII needles compare folded code points, so a
// match may have a different byte length from the needle.
#pragma once

#include <cstdint>

namespace quill {

class Document;

// Search flags (the editor interface's public values; other bits are ignored).
inline constexpr uint32_t SCFIND_WHOLEWORD = 2;
inline constexpr uint32_t SCFIND_MATCHCASE = 4;
inline constexpr uint32_t SCFIND_WORDSTART = 0x00100000;

// Searches from start towards end (each clamped to 0 .. length): forward when start <= end, else
// backward, always within the smaller .. larger of the two. Returns the match start, or -1 (empty
// needle, empty range or no match); on success *matchEnd (when given) receives the match end.
// A backward search returns the rightmost match that ends at or before the larger end.
int64_t FindText(Document& document, int64_t start, int64_t end, const char* needle, int64_t needleLength,
                 uint32_t flags, int64_t* matchEnd = nullptr);

// True at 0, false at or beyond the end, otherwise when the character at position is a word or
// punctuation character of another class than the character before it.
bool IsWordStartAt(const Document& document, int64_t position);
// True at or beyond the end, otherwise (position >= 1) when the character before position is a word or
// punctuation character of another class than the character at it.
bool IsWordEndAt(const Document& document, int64_t position);

}  // namespace quill
