// Accelerator tables: see Accelerators.h.
#include "platform/menu/Accelerators.h"

#include <map>

#include "platform/window/VirtualKeys.h"

namespace plat {
namespace {

struct Tables {
  std::map<HAccel, std::vector<Accelerator>> tables;
  HAccel next = 1;
};

Tables& All() {
  static Tables t;
  return t;
}

unsigned HeldModifiers(const Message& m) {
  unsigned held = 0;
  if (IsKeyDown(kVkShift)) held |= kAccelShift;
  if (IsKeyDown(kVkControl)) held |= kAccelControl;
  // A key with Alt held arrives as SysKeyDown (bit 29 of lParam).
  if (m.msg == Msg::SysKeyDown || (m.lParam & (LParam{1} << 29)) != 0 || IsKeyDown(kVkMenu))
    held |= kAccelAlt;
  return held;
}

}  // namespace

HAccel CreateAcceleratorTable(std::span<const Accelerator> entries) {
  Tables& t = All();
  const HAccel a = t.next++;
  t.tables[a] = std::vector<Accelerator>(entries.begin(), entries.end());
  return a;
}

bool DestroyAcceleratorTable(HAccel a) {
  return All().tables.erase(a) != 0;
}

bool IsAcceleratorTable(HAccel a) {
  return All().tables.count(a) != 0;
}

std::vector<Accelerator> AcceleratorEntries(HAccel a) {
  const auto it = All().tables.find(a);
  return it == All().tables.end() ? std::vector<Accelerator>{} : it->second;
}

int AcceleratorCommand(HAccel a, const Message& m) {
  if (m.msg != Msg::KeyDown && m.msg != Msg::SysKeyDown) return 0;
  const auto it = All().tables.find(a);
  if (it == All().tables.end()) return 0;
  const unsigned held = HeldModifiers(m);
  const int key = static_cast<int>(m.wParam & 0xFF);
  for (const Accelerator& e : it->second)
    if (e.key == key && e.modifiers == held) return e.command;
  return 0;
}

bool TranslateAccelerator(Hwnd target, HAccel a, const Message& m) {
  if (!IsWindow(target) || !IsWindowEnabled(target)) return false;
  const int command = AcceleratorCommand(a, m);
  if (command == 0) return false;
  SendMessage(target, Msg::Command, MakeWParam(command, 1), 0);
  return true;
}

}  // namespace plat
