// The keyboard shortcuts of the main window as data: 45 virtual-key entries, each a key with its
// modifiers and the command it sends. The window builds the system's accelerator table from this
// list when it is created; the message loop translates keys through it before the editor sees them.
// The editor's own keys (Ctrl+Z, Ctrl+D, Delete ...) are not here.
#pragma once

#include <cstdint>

namespace lumen {

// Modifier bits, the values of the system's accelerator flags (always virtual-key entries).
enum AccelModifier : uint8_t {
    kAccelShift = 0x04,
    kAccelCtrl = 0x08,
    kAccelAlt = 0x10,
};

struct Accelerator {
    uint8_t modifiers = 0;  // AccelModifier bits
    uint16_t key = 0;       // virtual-key code
    uint16_t command = 0;
};

inline constexpr int kAcceleratorCount = 45;
extern const Accelerator kAccelerators[kAcceleratorCount];

}  // namespace lumen

#ifdef _WIN32
#include <windows.h>

namespace lumen {
// The system table built from kAccelerators (null when it could not be made).
HACCEL CreateAccelerators();
}  // namespace lumen
#endif
