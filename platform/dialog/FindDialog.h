#pragma once
// The find and replace dialogs: modeless dialogs over a find record that
// tell their owner what the user asks for. Each press of Find Next, Replace
// or Replace All copies the dialog's texts and options into the record, sets
// the matching request bit and sends the owner the registered message
// kFindReplaceMessage with lParam = the record. Cancel, Escape and the close
// box send it once more with kFrDialogTerm set, and the dialog is destroyed.
#include <functional>
#include <string>
#include <string_view>

#include "platform/window/Window.h"

namespace plat {

/// The name of the message the dialogs send (RegisterWindowMessage).
inline constexpr std::string_view kFindReplaceMessage = "commdlg_FindReplace";

/// Option and request bits of FindReplace::flags.
enum : unsigned {
  kFrDown = 0x1,
  kFrWholeWord = 0x2,
  kFrMatchCase = 0x4,
  kFrFindNext = 0x8,
  kFrReplace = 0x10,
  kFrReplaceAll = 0x20,
  kFrDialogTerm = 0x40,
  kFrHideUpDown = 0x4000,  // no direction choice: the search runs down
};

/// Template numbers (scripted answers name them) and the dialogs' controls.
inline constexpr int kFindDialogId = 1540;
inline constexpr int kReplaceDialogId = 1541;
enum : int {
  kFindItemFindNext = 1,  // the default push button
  kFindItemCancel = 2,
  kFindItemReplaceOne = 0x400,
  kFindItemReplaceAll = 0x401,
  kFindItemWholeWord = 0x410,
  kFindItemMatchCase = 0x411,
  kFindItemUp = 0x420,
  kFindItemDown = 0x421,
  kFindItemWhat = 0x480,
  kFindItemReplaceWith = 0x481,
};

struct FindReplace {
  Hwnd owner = kNoWindow;
  std::string findWhat;
  std::string replaceWith;
  std::size_t maxLength = 1024;  // the longest text the fields take (less one)
  unsigned flags = kFrDown;
  /// Called with the dialog and the button's identifier before the owner is
  /// told (may be empty).
  std::function<void(Hwnd dlg, int button)> hook;
};

/// Shows the find (or, with REPLACE, the replace) dialog over FR, which
/// must outlive it; kNoWindow when it cannot be made.
Hwnd FindTextDialog(FindReplace& fr);
Hwnd ReplaceTextDialog(FindReplace& fr);

}  // namespace plat
