// The few questions the text engine asks the system about characters: character types (for
// combining marks and word classes) and lower-casing (for case-insensitive search). Windows answers
// with GetStringTypeW and CharLowerBuffW (text_platform_win.cpp); the native build has a small
// documented stand-in (text_platform_native.cpp). Wide characters hold UTF-16 code units.
#pragma once

#include <cstddef>
#include <cstdint>

namespace quill::platform {

// Bits of the basic character-type set (CT_CTYPE1).
inline constexpr uint16_t kC1Upper = 0x0001;
inline constexpr uint16_t kC1Lower = 0x0002;
inline constexpr uint16_t kC1Digit = 0x0004;
inline constexpr uint16_t kC1Space = 0x0008;
inline constexpr uint16_t kC1Punct = 0x0010;
inline constexpr uint16_t kC1Control = 0x0020;
inline constexpr uint16_t kC1Blank = 0x0040;
inline constexpr uint16_t kC1Alpha = 0x0100;

// Bits of the extended character-type set (CT_CTYPE3).
inline constexpr uint16_t kC3NonSpacing = 0x0001;
inline constexpr uint16_t kC3Diacritic = 0x0002;
inline constexpr uint16_t kC3Katakana = 0x0010;
inline constexpr uint16_t kC3Hiragana = 0x0020;
inline constexpr uint16_t kC3Ideograph = 0x0100;

// Character-type bits of one UTF-16 unit; 0 when the system cannot say.
uint16_t CharTypeBasic(wchar_t unit);
uint16_t CharTypeExtended(wchar_t unit);

// Lower-cases count UTF-16 units in place, unit by unit (no change of length).
void LowerCaseInPlace(wchar_t* units, size_t count);

}  // namespace quill::platform
