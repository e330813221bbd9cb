#pragma once
// Virtual-key codes. They keep their standard numeric values because the
// toolkit's key codes are computed from them. Letters and digits are their
// upper-case ASCII codes ('A' = 0x41, '0' = 0x30).
namespace plat {

enum : int {
  kVkLButton = 0x01,
  kVkRButton = 0x02,
  kVkMButton = 0x04,
  kVkBack = 0x08,
  kVkTab = 0x09,
  kVkClear = 0x0C,
  kVkReturn = 0x0D,
  kVkShift = 0x10,
  kVkControl = 0x11,
  kVkMenu = 0x12,  // Alt
  kVkPause = 0x13,
  kVkCapital = 0x14,  // Caps Lock
  kVkEscape = 0x1B,
  kVkSpace = 0x20,
  kVkPrior = 0x21,  // Page Up
  kVkNext = 0x22,   // Page Down
  kVkEnd = 0x23,
  kVkHome = 0x24,
  kVkLeft = 0x25,
  kVkUp = 0x26,
  kVkRight = 0x27,
  kVkDown = 0x28,
  kVkSelect = 0x29,
  kVkExecute = 0x2B,
  kVkSnapshot = 0x2C,  // Print Screen
  kVkInsert = 0x2D,
  kVkDelete = 0x2E,
  kVkHelp = 0x2F,
  kVkLWin = 0x5B,
  kVkRWin = 0x5C,
  kVkApps = 0x5D,
  kVkNumpad0 = 0x60,  // keypad digits 0x60-0x69
  kVkNumpad9 = 0x69,
  kVkMultiply = 0x6A,
  kVkAdd = 0x6B,
  kVkSeparator = 0x6C,
  kVkSubtract = 0x6D,
  kVkDecimal = 0x6E,
  kVkDivide = 0x6F,
  kVkF1 = 0x70,  // F1-F24 are 0x70-0x87
  kVkF24 = 0x87,
  kVkNumLock = 0x90,
  kVkScroll = 0x91,
  kVkOem1 = 0xBA,  // ;:
  kVkOemPlus = 0xBB,
  kVkOemComma = 0xBC,
  kVkOemMinus = 0xBD,
  kVkOemPeriod = 0xBE,
  kVkOem2 = 0xBF,  // /?
  kVkOem3 = 0xC0,  // `~
  kVkOem4 = 0xDB,  // [{
  kVkOem5 = 0xDC,  // \|
  kVkOem6 = 0xDD,  // ]}
  kVkOem7 = 0xDE,  // '"
};

}  // namespace plat
