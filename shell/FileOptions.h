#pragma once
// The small dialogs that ask for the options of the file commands, and the
// values they edit, kept for the whole run so that every dialog opens with
// the last answer given in it (or in a dialog sharing the value).
//
// The modal dialogs (OWRITEDLG, USERIMPORTDLG, SEGYSTANDARDDLG, SEGYINPUTDLG,
// SEG2OUTPUTDLG) load their template, put the values, show it centred and
// copy the fields back on OK. SEGYOUTPUTDLG and MERGEDLG are semi-modeless:
// they run their own event loop until OK or Cancel, dropping every other
// event, and leave field-changed events switched off.
//
// Radio groups are put by value (the first button for 1 or less, the second
// for 2, ...) and read back as the 1-based position of the checked button;
// a logical byte order is the first button for false, the second for true.
//
// Error flag: 0 on OK, -1 on Cancel (also the close box and Escape); on Cancel
// the arguments keep the values they came in with.
#include <cstdint>
#include <string>

namespace vel {

/// The file commands' choices for the run. "Remove Delay=" and "IMERGE=" are
/// settings (SettingsValues::LREMOVEDELAY and ::IMERGE) and live there.
struct FileOptionState {
  /// Sample format of SEG-2 output (1 32-bit float, 2 32-bit integer, 3
  /// 16-bit integer) and of SEG-Y output (1 IBM float, 2 32-bit integer, 3
  /// 16-bit integer, 5 IEEE float): one value for both.
  std::int32_t IOUTFMT = 0;
  /// Most significant byte first: SEG-2 and SEG-Y output, user-defined import.
  bool LMSBFIRST = false;
  /// The SEG-Y text header is written in EBCDIC (else ASCII).
  bool LEBCDIC = true;
  // User-defined import layout.
  std::int32_t IHDRBYTES = 0;  // bytes to skip for the file header(s)
  std::int32_t ITRHBYTES = 0;  // bytes to skip before each trace
  std::int32_t NTRREAD = 0;    // traces to read
  std::int32_t NSAMPREAD = 0;  // samples per trace
  std::int32_t ITRSTART = 0;   // first trace to read
  float POSFIRST = 0.0f;       // position of the first trace read
  float POSINCR = 0.0f;        // position increment from trace to trace
  std::int32_t IUSERFMT = 0;   // 1 32-bit float, 2 32-bit integer, 3 16-bit, 4 8-bit
  // Non-compliant SEG-Y input.
  bool LREADTEXT = false;  // the file has the 3200-byte text header
  bool LREADBIN = false;   // the file has the 400-byte binary header
  bool LUSETRHDR = false;  // use the data in the 240-byte trace headers
  bool LINMSB = false;     // the file is most significant byte first
};

/// The batch conversion's output choices, kept for the run apart from those
/// of the other file commands; the remove-delay switch is shared with them.
struct ConversionOptions {
  /// Sample format code of the output dialogs, one value for SEG-2 and SEG-Y.
  std::int32_t IOUTFMT = 0;
  bool LMSBFIRST = false;  // most significant byte first
  bool LEBCDIC = true;     // SEG-Y text header in EBCDIC (else ASCII)
};

/// Dialog identifiers.
enum FileOptionDialog : int {
  kDialogOverwrite = 122,
  kDialogUserImport = 123,
  kDialogSegyOutput = 124,
  kDialogSegyInput = 125,
  kDialogSeg2Output = 128,
  kDialogMerge = 130,
  kDialogSegyStandard = 147,
};

/// Buttons of the overwrite warning.
enum OverwriteAnswer : std::int32_t {
  kOverwriteYes = 6,
  kOverwriteYesToAll = 1163,
  kOverwriteNo = 7,
  kOverwriteCancel = 2,
};

/// Asks whether the file FNAME may be replaced; ANSWER := the closing button
/// (6 Yes, 1163 Yes to All, 7 No, 2 Cancel).
void OWRITEDLG(const std::string& FNAME, std::int32_t& ANSWER);

/// The layout of a user-defined raw import.
void USERIMPORTDLG(float& POSFIRST, float& POSINCR, std::int32_t& IHDRBYTES,
                   std::int32_t& ITRHBYTES, std::int32_t& NTRREAD, std::int32_t& NSAMPREAD,
                   std::int32_t& ITRSTART, std::int32_t& IUSERFMT, bool& LMSBFIRST, int& IERR);

/// SEG-Y output options, semi-modeless: IBM float is always big-endian. A
/// format of 1 or less sets LMSBFIRST at once, also when then cancelled.
void SEGYOUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LEBCDIC, int& IERR);

/// Whether a combined SEG-Y file may vary its traces per record; LDISALLOW
/// true: "Disallow variable no. traces/record".
void SEGYSTANDARDDLG(bool& LDISALLOW, int& IERR);

/// What a non-compliant SEG-Y file holds.
void SEGYINPUTDLG(bool& LREADTEXT, bool& LREADBIN, bool& LUSETRHDR, bool& LINMSB, int& IERR);

/// SEG-2 output options; also reads and writes the remove-delay switch.
void SEG2OUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LREMOVEDELAY, int& IERR);

/// Merge target and output stem, semi-modeless. IFORMAT: the format code of
/// the last file imported (14, SUSPENS, names the components). "Browse..."
/// ends the dialog as Cancel does.
void MERGEDLG(std::string& STEM, std::int32_t& IMERGE, std::int32_t IFORMAT, int& IERR);

}  // namespace vel
