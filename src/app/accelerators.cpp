#include "app/accelerators.h"

namespace lumen {

namespace {
// Virtual-key codes, spelled out so the list builds without the system headers.
enum Vk : uint16_t {
    kVkTab = 0x09,
    kVkPageUp = 0x21,
    kVkPageDown = 0x22,
    kVkUp = 0x26,
    kVkDown = 0x28,
    kVkNumpad0 = 0x60,
    kVkAdd = 0x6B,
    kVkSubtract = 0x6D,
    kVkF3 = 0x72,
    kVkF4 = 0x73,
    kVkF5 = 0x74,
    kVkF11 = 0x7A,
    kVkEquals = 0xBB,  // the equals-and-plus key
    kVkComma = 0xBC,
    kVkMinus = 0xBD,
};
constexpr uint8_t C = kAccelCtrl, S = kAccelShift, A = kAccelAlt;
}  // namespace

const Accelerator kAccelerators[kAcceleratorCount] = {
    {C, 'N', 100},       {C, 'T', 100},         {C, 'O', 101},           {C, 'S', 102},
    {C | S, 'S', 103},   {C | A, 'S', 104},     {C, 'W', 105},           {C, kVkF4, 105},
    {C | S, 'T', 106},   {C, kVkTab, 107},      {C, kVkPageDown, 107},   {C | S, kVkTab, 108},
    {C, kVkPageUp, 108}, {C, 'F', 109},         {C, 'H', 110},           {C, 'G', 111},
    {0, kVkF3, 112},     {S, kVkF3, 113},       {0, kVkF5, 114},         {A, 'Z', 115},
    {C, 'E', 150},       {C, kVkEquals, 117},   {C | S, kVkEquals, 117}, {C, kVkAdd, 117},
    {C, kVkMinus, 118},  {C, kVkSubtract, 118}, {C, '0', 119},           {C, kVkNumpad0, 119},
    {C, '1', 300},       {C, '2', 301},         {C, '3', 302},           {C, '4', 303},
    {C, '5', 304},       {C, '6', 305},         {C, '7', 306},           {C, '8', 307},
    {C, '9', 308},       {A, kVkUp, 153},       {A, kVkDown, 154},       {C | S, 'K', 155},
    {C, 'J', 156},       {C, kVkComma, 152},    {0, kVkF11, 162},        {C | S, 'A', 163},
    {C, 'P', 165},
};

}  // namespace lumen
