// The files a second launch hands to the running instance: one WM_COPYDATA whose data is UTF-16LE
// text, each path followed by a line feed, with no terminating NUL and a byte count of twice the
// units. Encoding and decoding are plain functions; the window code only sends and receives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumen {

// dwData of a hand-over: the bytes "QLL1", first byte most significant. Any other value is not one.
inline constexpr uint32_t kHandOverMagic = 0x514C4C31;

// The hand-over text; its byte count (cbData) is 2 × size(). Paths are wide strings of UTF-16 units
// on every build, so the units are the same natively and on Windows.
std::u16string EncodeHandOver(const std::vector<std::wstring>& files);

// The paths in a received buffer: byteCount / 2 units (an odd last byte is ignored) split at line
// feeds, empty pieces dropped. A NUL ends its piece (what follows it up to the next line feed is
// dropped), as any system call would read that path. A missing final line feed loses nothing. Time
// and memory are linear in the buffer; a null buffer gives nothing.
std::vector<std::wstring> DecodeHandOver(const void* data, size_t byteCount);

}  // namespace lumen
