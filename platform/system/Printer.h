#pragma once
// The system printer: the default destination of the print system (`lp`),
// the page it prints on, and print jobs. A job is a list of page surfaces at
// the printer's resolution; at its end the pages become one PostScript
// document (one compressed image per page) handed to `lp`. Without `lp` on
// the PATH, or without a default destination, there is no printer.
#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/draw/Surface.h"

namespace plat {

/// Time allowed to each query of the print system (`lpstat`, `lpoptions`):
/// without a reachable print server they may never answer. After a query
/// has timed out the print system is not asked again for a minute.
inline constexpr int kPrinterQueryTimeoutMs = 3000;

/// Time allowed to `lp` to take a job, in milliseconds. An `lp` that cannot
/// reach its print server may never return; it is then stopped, the job's
/// file kept and the hand-over reported as failed (ETIMEDOUT), so that the
/// program goes on. A minute by default; tests shorten it.
int& PrintJobHandOverLimitMs();

/// Asks the print system again at once, even after a query timed out
/// (a new print system on the PATH; tests).
void PrinterQueriesResume();

/// The page of a destination. Sizes are printer pixels of the portrait
/// paper; the printable area starts at the paper's edge.
struct PrinterPage {
  std::string media = "A4";  // "A4", "Letter", "Legal" or "A3"
  int dpiX = 300;
  int dpiY = 300;
  int paperWidth = 2480;   // pixels, the short side
  int paperHeight = 3508;  // pixels, the long side
  int offsetX = 0;
  int offsetY = 0;
  int colours = 256;  // 2 for a grey destination
};

/// True when `lp` is on the PATH.
bool PrintCommandPresent();
/// The default destination: $PRINTER, else $LPDEST, else what `lpstat -d`
/// names. False (and DESTINATION empty) when there is no `lp` or no
/// destination is known.
bool PrinterDefaultDestination(std::string& destination);
/// The destinations `lpstat -e` lists, in its order (empty without `lp`).
std::vector<std::string> PrinterDestinations();
/// The page of DESTINATION: its default media when `lpoptions` names one of
/// the four known sizes (else A4), 300 dpi, and 2 colours when its colour
/// model is grey.
PrinterPage PrinterPageOf(const std::string& destination);
/// Paper size of MEDIA in pixels at DPI (portrait); false for an unknown name.
bool MediaPixels(const std::string& media, int dpi, int& width, int& height);

/// Runs ARGS with standard output captured, for at most TIMEOUT_MS. False
/// when it cannot start, does not end in time (it is then killed) or exits
/// with a status other than 0.
bool RunCaptured(const std::vector<std::string>& args, int timeoutMs, std::string& output);

/// A print command (`lp`) started by StartPrintCommand: its process and the
/// file that keeps what it writes to its standard output and error.
struct PrintCommandRun {
  pid_t pid = -1;
  int answerFd = -1;
};

/// How a print command ended.
struct PrintCommandOutcome {
  int error = 0;        // 0: it ran and exited with 0; else the system error,
                        // ETIMEDOUT, ECANCELED, or its exit status
  int exitStatus = 0;   // its exit status when it ended by itself
  bool timedOut = false;   // stopped after PrintJobHandOverLimitMs
  bool cancelled = false;  // stopped because the wait hook asked so
  std::string answer;      // what it wrote (the print system's answer), trimmed
};

/// Called about every 50 ms while a print command runs; answers true to give
/// the job up (Cancel). Called once more with DONE true when the wait ends,
/// so that whatever it shows can go away. Empty: plain wait.
using PrintWaitHook = std::function<bool(bool done)>;
PrintWaitHook& PrintCommandWaitHook();

/// Starts ARGS (searched in PATH) with standard input from INPUT_FD (-1:
/// /dev/null) and its output kept for the outcome. Result: 0 or the
/// system's error number.
int StartPrintCommand(const std::vector<std::string>& args, int inputFd, PrintCommandRun& run);

/// Waits for RUN, at most PrintJobHandOverLimitMs, running the wait hook;
/// a command that does not end in time or is given up is stopped. Every road
/// to the print system ends here, so that none waits without limit and none
/// takes a refusal for success.
PrintCommandOutcome FinishPrintCommand(PrintCommandRun& run);

/// What a job hands to the print system.
struct PrintJobSettings {
  std::string destination;
  std::string title;
  int copies = 1;
  std::string media;                 // "-o media=..." when not empty
  std::vector<std::string> options;  // further "-o" options, "name=value"
};

/// The outcome of handing a job over.
struct PrintJobResult {
  int error = 0;       // 0 success; else the system error or lp's exit status
  int exitStatus = 0;  // lp's exit status (0 when it did not run)
  std::string keptFile;  // the PostScript file, kept when the hand-over failed
  bool timedOut = false;   // lp did not return within the limit
  bool cancelled = false;  // the user gave the hand-over up
  std::string answer;      // what lp said
};

/// One print job: pages drawn in memory, spooled at the end.
class PrintJob {
 public:
  PrintJob(PrinterPage page, PrintJobSettings settings, bool landscape);
  const PrinterPage& Page() const { return page_; }
  const PrintJobSettings& Settings() const { return settings_; }
  bool Landscape() const { return landscape_; }
  /// Width and height of a page in pixels; a landscape page is wider than tall.
  int PageWidth() const;
  int PageHeight() const;
  /// Starts a new white page and returns it.
  Surface& StartPage();
  /// The page being drawn (the last one started); null before the first.
  Surface* CurrentPage();
  int PageCount() const { return static_cast<int>(pages_.size()); }
  const std::vector<Surface>& Pages() const { return pages_; }
  /// Writes the document and hands it to `lp`. A job without pages hands
  /// nothing over and succeeds.
  PrintJobResult Submit() const;

 private:
  PrinterPage page_;
  PrintJobSettings settings_;
  bool landscape_ = false;
  std::vector<Surface> pages_;
};

/// The PostScript document of PAGES, each an RGB image filling a page of
/// WIDTH_PT by HEIGHT_PT points, Flate-compressed and hex-encoded, with
/// document structuring comments.
std::string PostScriptDocument(const std::vector<Surface>& pages, double widthPt,
                               double heightPt, const std::string& title);

}  // namespace plat
