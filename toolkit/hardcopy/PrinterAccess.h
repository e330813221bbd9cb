#pragma once
// Printer access: which printer is meant (the system's default destination or
// the one picked in the page set-up), the settings the page set-up chose, the
// page the printer offers, the printer device context of a job, the one-page
// document that prints a copy of the screen, and the guard that keeps the
// floating-point mode across a printer query.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw/DrawContext.h"
#include "platform/system/Printer.h"

namespace tk {

/// The printer of the process and the overrides of the last page set-up
/// (-1, or 99999 for media and dither type, means unset).
struct PrinterJobSettings {
  std::string driverName;
  std::string deviceName;
  std::string portName;
  bool namesKnown = false;
  bool pageSetupDone = false;
  std::int16_t paperSize = -1, paperLength = -1, paperWidth = -1, scale = -1, defaultSource = -1,
               printQuality = -1, colour = -1, duplex = -1, yResolution = -1, trueTypeOption = -1,
               collate = -1;
  std::int32_t mediaType = 99999, ditherType = 99999;
  /// Sets every override to unset.
  void ResetOverrides();
};
PrinterJobSettings& CurrentPrinterJob();

/// Paper codes of the paper-size override.
enum PrinterPaperCode : std::int16_t {
  kPaperLetter = 1,
  kPaperLegal = 5,
  kPaperA3 = 8,
  kPaperA4 = 9,
};
/// The paper code of a page set-up's MEDIA ("Letter", "Legal", "A3"; any
/// other name A4).
std::int16_t PaperCodeOfMedia(std::string_view media);

/// Stores the processor's floating-point environment / loads it back.
void FpuGuardBegin();
void FpuGuardEnd();

/// The system's answer for the default printer: "destination,lp,destination",
/// or "" when there is none.
std::string DefaultPrinterEntry();
/// Splits ENTRY ("device,driver,port", blanks after the commas skipped; text
/// after a third comma stays part of the port) into SETTINGS and sets its
/// names-known flag; a field the entry lacks leaves that name as it was.
/// False for an empty entry.
bool DefaultPrinterParse(std::string_view entry, PrinterJobSettings& settings);
/// Reads the default printer into CurrentPrinterJob(): 1, or 0 without one.
int DefaultPrinter();

/// Describes the printer's page in points: long and short side, drawing
/// area (an inch of margin all round), margins 72, orientation 1, copies 1,
/// the colour count; ERROR 0 on success. Forgets the page set-up's overrides.
void PrinterPageInfo(int& longSide, int& shortSide, int& width, int& height, int& left, int& top,
                     int& orientation, int& copies, int& colours, int& error);

/// The `lp` options of the overrides that are set: media, sides, collate and
/// colour mode; the others have no print-system counterpart and are dropped.
std::vector<std::string> PrinterOverrideOptions(const PrinterJobSettings& settings,
                                                std::string& media);

/// A printer device context: a job on the platform printer with its pages.
class PrinterContext {
 public:
  PrinterContext(plat::PrinterPage page, plat::PrintJobSettings settings, bool landscape);
  /// Device capabilities: resolution, physical size and offset, colour count.
  int ResolutionX() const { return job_.Page().dpiX; }
  int ResolutionY() const { return job_.Page().dpiY; }
  int PhysicalWidth() const { return job_.PageWidth(); }
  int PhysicalHeight() const { return job_.PageHeight(); }
  int OffsetX() const { return job_.Page().offsetX; }
  int OffsetY() const { return job_.Page().offsetY; }
  int Colours() const { return job_.Page().colours; }
  /// Starts the document under NAME.
  void StartDoc(std::string_view name);
  /// Logical (0, 0) lies at device pixel -ORIGIN.
  void SetWindowOrigin(plat::Point origin) { windowOrigin_ = origin; }
  plat::Point WindowOrigin() const { return windowOrigin_; }
  /// Starts a new page; drawing goes to it until the next.
  void StartPage();
  void EndPage() { pageOpen_ = false; }
  bool PageOpen() const { return pageOpen_; }
  /// The drawing context of the open page (or the stand-in given by
  /// PrinterDrawStandIn); null when no page is open.
  plat::DrawContext* Draw();
  /// The canvas of the open page (null when none is open).
  plat::Canvas* PageCanvas() { return pageOpen_ && draw_ ? &draw_->GetCanvas() : nullptr; }
  /// The page being drawn, null before the first page.
  plat::Surface* CurrentPage() { return job_.CurrentPage(); }
  /// Ends the document: the pages go to the print system.
  plat::PrintJobResult EndDoc();
  const plat::PrintJob& Job() const { return job_; }

 private:
  plat::PrintJob job_;
  plat::Point windowOrigin_{};
  bool pageOpen_ = false;
  std::unique_ptr<plat::CanvasDrawContext> draw_;
};

/// Tests draw through a recording context instead of the page (null: the page).
void PrinterDrawStandIn(plat::DrawContext* context);

/// A device context for the printer of CurrentPrinterJob() with the
/// orientation (non-zero landscape), copies and the set overrides; null when
/// there is no printer.
std::unique_ptr<PrinterContext> PrinterDC(int orientation, int copies);
/// The same for the printer and overrides of PRINTER.
std::unique_ptr<PrinterContext> PrinterDC(const PrinterJobSettings& printer, int orientation,
                                          int copies);

/// Starts the screen-dump document and its page; ERROR 0 or 1.
void PrinterStartDoc(int pageWidth, int pageHeight, int leftMargin, int topMargin, int& error,
                     int orientation, int copies, std::string_view documentName);
/// Prints the pixel rectangle (inclusive) of SCREEN stretched over the page; ERROR 0 or 1.
void PrinterDumpScreen(const plat::Surface& screen, int left, int top, int right, int bottom,
                       int& error);
/// Ends the page and the document of the dump; the result of the hand-over.
plat::PrintJobResult PrinterEndDoc();

/// The device-independent bitmap of a rectangle of SCREEN: a 40-byte header,
/// no colour table, 24-bit rows bottom-up, each padded to 4 bytes.
std::vector<std::uint8_t> ScreenDib(const plat::Surface& screen, const plat::Rect& area);
/// The printer's rule for the bytes of the colour table behind a bitmap
/// HEADER (40 or 12 bytes): at 24 bits a 40-byte header's colours-used count
/// of 4-byte entries, at 1, 4 and 8 bits the full table whatever that count
/// says. (The image layer's tk::DibColourTableSize counts colours used first.)
namespace printing {
int DibColourTableSize(std::span<const std::uint8_t> header);
}  // namespace printing

/// 1 when the default printer answered at start-up or at the printer
/// driver's select.
std::int32_t& WindowsPrinterAvailable();
/// The paper of the Windows printer in points.
std::int32_t& PaperWidth();
std::int32_t& PaperHeight();
/// Whether a printer is installed, for those who only ask that.
std::int32_t& PrinterInstalled();

}  // namespace tk
