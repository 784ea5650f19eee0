// The five file encodings and three line-break styles, and the pure functions that move text
// between file bytes and the UTF-8 the editor holds. Nothing here touches files or windows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lumen {

// Stored as a 32-bit value in tabs and settings; any value outside 0..3 means Ansi.
enum class TextEncoding : uint32_t {
    Utf8 = 0,     // no byte-order mark
    Utf8Bom = 1,  // EF BB BF, then UTF-8
    Utf16Le = 2,  // FF FE, then little-endian units
    Utf16Be = 3,  // FE FF, then big-endian units
    Ansi = 4,     // the system's ANSI code page, no mark
};

// Values are the editor control's end-of-line modes, so they are handed to it unchanged.
enum class EolStyle : uint32_t {
    Crlf = 0,
    Cr = 1,
    Lf = 2,
};

// Reads a stored value the way every consumer must: 0..3 as themselves, anything else as Ansi.
TextEncoding EncodingFromValue(uint32_t value);
// 1 is Cr, 2 is Lf, everything else is Crlf.
EolStyle EolStyleFromValue(uint32_t value);

// "UTF-8", "UTF-8 (BOM)", "UTF-16 LE", "UTF-16 BE", "ANSI".
const wchar_t* EncodingDisplayName(TextEncoding encoding);
const wchar_t* EncodingDisplayName(uint32_t storedValue);
// "Windows (CRLF)", "Mac (CR)", "Unix (LF)".
const wchar_t* EolDisplayName(EolStyle style);
const wchar_t* EolDisplayName(uint32_t storedValue);

// Strict UTF-8 validity: no overlong forms, no surrogates, nothing above U+10FFFF, nothing cut off.
bool IsValidUtf8(std::string_view bytes);

// The encoding of raw file bytes: byte-order marks first, then UTF-8 validity, then a zero-byte
// heuristic for UTF-16 without a mark, falling back to Ansi.
TextEncoding DetectEncoding(std::string_view bytes);

// File bytes read in `encoding` to the editor's UTF-8 text. UTF-8 is taken as it is (unvalidated);
// a leading mark of the encoding is dropped.
std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding);

// UTF-8 text to file bytes in `encoding`, with its mark. *lossy (when given) starts false and is set
// when the target cannot hold every character; only Ansi can be lossy.
std::string EncodeFromUtf8(std::string_view text, TextEncoding encoding, bool* lossy = nullptr);

// The line-break style of decoded text, from the first CR or LF in its first MiB; Crlf when none.
EolStyle DetectEolStyle(std::string_view text);

// How far DetectEolStyle looks for the first break.
inline constexpr size_t kEolScanLimit = 0x100000;
// How many bytes the UTF-16 heuristic samples.
inline constexpr size_t kUtf16SampleLimit = 4096;

}  // namespace lumen
