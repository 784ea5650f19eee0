// The control's built-in key bindings: a key with its modifier state becomes a command message.
#pragma once

#include <cstdint>

namespace quill {

// Virtual-key codes the bindings use (the system's values, so key messages pass them unchanged).
namespace vk {
inline constexpr uint32_t Back = 0x08, Tab = 0x09, Return = 0x0D, Escape = 0x1B;
inline constexpr uint32_t Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24;
inline constexpr uint32_t Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28;
inline constexpr uint32_t Insert = 0x2D, Delete = 0x2E;
inline constexpr uint32_t Add = 0x6B, Subtract = 0x6D;  // numeric pad plus and minus
inline constexpr uint32_t ProcessKey = 0xE5, Hanja = 0x19;
}  // namespace vk

// The command message for a key, or 0 when the key is not bound. Control together with Alt never
// maps. A system-key message (Alt held) is only taken for Backspace, End and Home: see
// TakesSystemKey.
unsigned MapKey(uint32_t virtualKey, bool shift, bool control, bool alt);

// Whether a system-key-down for this key is handled by the control instead of the system.
bool TakesSystemKey(uint32_t virtualKey);

}  // namespace quill
