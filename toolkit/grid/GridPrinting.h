#pragma once
// Grid printing: a block of a grid's cells printed as a table with optional
// column headers, row labels, rules and colours, split over as many pages as
// it needs, with its page set-up and options. Two independent sets of print
// settings exist for the whole run: set 1 for grid fields of dialogs, set 2
// for grid windows (any other set number means 1).
//
// The printer itself belongs to the hardcopy layer above, which fills
// GridPrinting() when the toolkit starts; until then there is no printer and
// nothing prints.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/dialog/PageSetupDialog.h"
#include "platform/draw/DrawContext.h"

namespace tk {

/// One set of grid-print settings. Lengths of the page set-up are held in
/// thousandths of an inch or hundredths of a millimetre (pageSetup.metric).
struct GridPrintSettings {
  bool made = false;
  /// The printer, paper, orientation, margins and copies; its unit flag is
  /// the unit the margins and the paper size below are held in.
  plat::PageSetupValues pageSetup;
  int paperWidth = 0, paperHeight = 0;
  /// The printer's physical offsets and its unprintable widths at the right
  /// and bottom, from the last confirmed page set-up.
  int minLeft = 0, minTop = 0, minRight = 0, minBottom = 0;
  /// The printed area in printer pixels, computed by each print.
  int leftEdge = 0, rightEdge = 0, topEdge = 0, bottomEdge = 0;
  std::int32_t scale = 100;  // percent
  bool gridLines = true;     // rules between rows
  bool columnLines = true;   // rules between columns
  bool repeatHeaders = true; // column headers and row labels on every page
  bool textColours = true;   // the cells' text colours
  bool backColours = true;   // the cells' background colours
};

/// Settings set WHICH, as they stand (made or not).
GridPrintSettings& GridPrintSettingsOf(int which);

/// Makes both settings from the default printer the first time it runs
/// after the grid classes were registered; later calls do nothing.
void GridPageSetup();
/// Forgets both settings: the next use makes them again.
void GridPageSetupForget();

/// The page set-up dialog of settings WHICH in UNIT: -1 the locale's, 0 or 1
/// thousandths of an inch, 2 or more hundredths of a millimetre. Held
/// lengths in the other unit are converted first (by 2.54065, truncated).
void GridPrintPageDialog(int unit, int which);

/// The five options (each 1 or 0) and the scale of settings WHICH; makes
/// the settings first.
void GridPrintOptionsGet(std::int32_t& gridLines, std::int32_t& columnLines,
                         std::int32_t& repeatHeaders, std::int32_t& textColours,
                         std::int32_t& backColours, std::int32_t& scale, int which);
/// An option is on when it is 1; the scale is stored as it comes.
void GridPrintOptionsSet(std::int32_t gridLines, std::int32_t columnLines,
                         std::int32_t repeatHeaders, std::int32_t textColours,
                         std::int32_t backColours, std::int32_t scale, int which);

/// Sets a page value from VALUE in points: item 1 the printed width (right
/// margin), 2 the printed height (bottom margin), 3 the left margin, 4 the
/// top margin, 5 the orientation (1 or 3 portrait, 2 or 4 landscape; 3 and 4
/// also turn the margin box to match). Other items change nothing.
void GridPrintSetPage(int item, int value, int which);

/// Prints the block of columns FIRSTCOLUMN to LASTCOLUMN and rows FIRSTROW
/// to LASTROW (from 0, inclusive; cut to the grid) of grid FIELD (0: the
/// grid of the current grid window) with settings WHICH. The job is named
/// after the grid window's file for set 2, else after TITLE; "Untitled
/// Grid" without one. PRINTED 1 when printed; 0 when there is no grid, the
/// block is empty, no printer context can be made or not a single row fits
/// on a page.
void GridPrint(int field, std::int32_t& printed, int firstColumn, int lastColumn, int firstRow,
               int lastRow, int which, std::string_view title);

/// What a print asks of the printer: its device context while a job runs.
class GridPrinterContext {
 public:
  virtual ~GridPrinterContext() = default;
  virtual int ResolutionX() const = 0;
  virtual int ResolutionY() const = 0;
  virtual int PhysicalWidth() const = 0;
  virtual int PhysicalHeight() const = 0;
  virtual int OffsetX() const = 0;
  virtual int OffsetY() const = 0;
  virtual void StartDoc(std::string_view name) = 0;
  /// Starts a page; its drawing context, in pixels from the printable origin.
  virtual plat::DrawContext* StartPage() = 0;
  virtual void EndPage() = 0;
  /// Ends the job; false when the print system refused it.
  virtual bool EndDoc() = 0;
};

/// The printing services of the hardcopy layer; empty members answer as no
/// printer.
struct GridPrintHooks {
  std::function<std::int32_t()> printerInstalled;
  /// A device context for DESTINATION with MEDIA, the orientation and
  /// copies; null when none can be made.
  std::function<std::unique_ptr<GridPrinterContext>(const std::string& destination,
                                                    const std::string& media, bool landscape,
                                                    int copies)>
      printerContext;
};
GridPrintHooks& GridPrinting();

/// 1 when a printer is installed.
std::int32_t GridPrinterInstalled();

}  // namespace tk
