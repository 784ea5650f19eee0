#include "app/accelerators.h"

namespace lumen {

HACCEL CreateAccelerators() {
    ACCEL table[kAcceleratorCount];
    for (int i = 0; i < kAcceleratorCount; ++i) {
        const Accelerator& a = kAccelerators[i];
        table[i] = ACCEL{static_cast<BYTE>(FVIRTKEY | a.modifiers), a.key, a.command};
    }
    return CreateAcceleratorTableW(table, kAcceleratorCount);
}

}  // namespace lumen
