// The texts of the status band: caret position, zoom and the counter field (characters, words or
// lines of the selection or the whole document). Pure functions; the document is read through a
// small interface so the counter runs without an editor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen {

// Digits with a comma every three: 1234567 -> "1,234,567".
std::wstring FormatThousands(int64_t value);

// "줄 N, 열 M" from a zero-based line and column.
std::wstring PositionText(int64_t line, int64_t column);

// round((size + zoom) × 100 / size) + "%": 11 pt at zoom 2 is "118%".
std::wstring ZoomText(double fontSize, int32_t zoom);

// Words in UTF-8 text: a word starts at every byte that is not whitespace and follows whitespace or
// the start. Whitespace is space, tab, LF, CR and U+3000 (E3 80 80, only when all three bytes are in
// the text). Runs on megabytes per call, so it works on blocks of bytes where the machine allows.
int64_t CountWords(std::string_view utf8);

// Counting modes of the counter field (the setting `count`).
enum CountMode : int32_t { kCountCharacters = 0, kCountWords = 1, kCountLines = 2 };

// Ranges this long or longer show their byte length instead of a character or word count.
inline constexpr int64_t kCountByteLimit = 8'388'608;

// What the counter needs from the document; each call is made only when its mode needs it.
class CountSource {
public:
    virtual int64_t LineFromPosition(int64_t position) = 0;
    virtual int64_t LineStart(int64_t line) = 0;
    virtual int64_t CountCharacters(int64_t start, int64_t end) = 0;
    virtual std::string_view Bytes(int64_t start, int64_t end) = 0;

protected:
    ~CountSource() = default;
};

// The counter text: over the selection [selStart, selEnd) with the prefix "선택 " when it is not
// empty, else over the whole document of `length` bytes. Lines: the lines the range touches, where a
// selection ending at a line's start does not touch that line ("3줄"). Otherwise ranges of
// kCountByteLimit bytes or more give "N바이트", characters "N자", words "N단어".
std::wstring CountText(int32_t mode, int64_t selStart, int64_t selEnd, int64_t length, CountSource& source);

}  // namespace lumen
