#pragma once
// Our own page set-up dialog for the system printer: the printer, the paper,
// the orientation, the four margins and the number of copies. Lengths are in
// thousandths of an inch or hundredths of a millimetre.
//
// Where nobody can answer the dialog is cancelled. A test scripts it as any
// template dialog, with the answer of "dialog 1540": "ID=text" lines for the
// fields below, then "press 1" (OK) or "press 2" (Cancel).
#include <string>
#include <vector>

#include "platform/window/Window.h"

namespace plat {

inline constexpr int kPageSetupDialogId = 1540;
enum PageSetupField : int {
  kPageSetupPrinter = 1001,  // combo box: the destinations, or a typed name
  kPageSetupPaper = 1002,    // combo box: A4, Letter, Legal, A3
  kPageSetupPortrait = 1003,
  kPageSetupLandscape = 1004,
  kPageSetupLeft = 1005,
  kPageSetupTop = 1006,
  kPageSetupRight = 1007,
  kPageSetupBottom = 1008,
  kPageSetupCopies = 1009,
};

struct PageSetupValues {
  bool metric = false;  // hundredths of a millimetre, else thousandths of an inch
  std::vector<std::string> printers;
  std::string printer;
  std::string media = "A4";
  bool landscape = false;
  int left = 0, top = 0, right = 0, bottom = 0;
  int copies = 1;
};

/// The paper's width and height of MEDIA in the values' unit, in the orientation.
void PageSetupPaper(const PageSetupValues& values, int& width, int& height);

/// Shows the dialog owned by OWNER (disabled meanwhile) with VALUES; true
/// with VALUES updated when the user confirmed. A number that cannot be read
/// keeps its old value; copies are at least 1.
bool RunPageSetupDialog(Hwnd owner, PageSetupValues& values);

}  // namespace plat
