#pragma once
// Accelerator tables: keys that stand for commands. A table is a list of
// entries (modifiers, virtual key, command), known by a handle. Translating
// a key-down message through a table sends the command of the first entry
// that matches to a window, as a menu command would come: Msg::Command with
// wParam = MakeWParam(command, 1) and lParam 0.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/window/Window.h"

namespace plat {

using HAccel = std::uint32_t;
constexpr HAccel kNoAccel = 0;

/// Modifier bits of an entry; the key is a virtual key (kVk* or 'A'-'Z').
enum : unsigned { kAccelShift = 0x4, kAccelControl = 0x8, kAccelAlt = 0x10 };

struct Accelerator {
  unsigned modifiers = 0;
  int key = 0;
  int command = 0;
};

/// A new table holding ENTRIES in order (an empty list still makes one).
HAccel CreateAcceleratorTable(std::span<const Accelerator> entries);
/// False when A is no table.
bool DestroyAcceleratorTable(HAccel a);
bool IsAcceleratorTable(HAccel a);
/// The entries of A (empty when it is no table).
std::vector<Accelerator> AcceleratorEntries(HAccel a);

/// The command of the entry of A matching key-down message M with the
/// modifier keys now held (0 when none matches or M is no key-down).
int AcceleratorCommand(HAccel a, const Message& m);
/// Sends the matching command to TARGET (a window that is enabled) and
/// answers true; false when nothing matched, leaving M to be dispatched.
bool TranslateAccelerator(Hwnd target, HAccel a, const Message& m);

}  // namespace plat
