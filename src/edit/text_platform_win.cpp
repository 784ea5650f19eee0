// The system's answers: GetStringTypeW for character types, CharLowerBuffW for lower-casing.
#include <windows.h>

#include "edit/text_platform.h"

namespace quill::platform {

uint16_t CharTypeBasic(wchar_t unit) {
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE1, &unit, 1, &type)) return 0;
    return type;
}

uint16_t CharTypeExtended(wchar_t unit) {
    WORD type = 0;
    if (!GetStringTypeW(CT_CTYPE3, &unit, 1, &type)) return 0;
    return type;
}

void LowerCaseInPlace(wchar_t* units, size_t count) {
    // CharLowerBuffW takes a 32-bit count; the callers' buffers are far smaller, but stay safe.
    while (count > 0) {
        const DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
        CharLowerBuffW(units, chunk);
        units += chunk;
        count -= chunk;
    }
}

}  // namespace quill::platform
