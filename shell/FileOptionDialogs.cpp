#include "shell/FileOptionDialogs.h"

#include "shell/DialogHelpers.h"
#include "support/UserMessages.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

// Fields shared by the three dialogs.
constexpr int kFormat1 = 1169;
constexpr int kFormat2 = 1170;
constexpr int kFormat3 = 1171;
constexpr int kLsbFirst = 1174;
constexpr int kMsbFirst = 1175;

// SEG-Y output.
constexpr int kEbcdic = 1173;
constexpr int kAscii = 1178;
constexpr int kFixedGain = 1241;
constexpr int kIeee = 1242;
constexpr int kSegyFormatButtons[] = {kFormat1, kFormat2, kFormat3, kFixedGain, kIeee};
constexpr std::int32_t kIbmFloat = 1;
constexpr std::int32_t kIeeeFloat = 5;

// SEG-2 output.
constexpr int kRemoveDelay = 1193;
constexpr int kSeg2FormatButtons[] = {kFormat1, kFormat2, kFormat3};

// Non-compliant SEG-Y input.
constexpr int kReadText = 1179;
constexpr int kReadBinary = 1180;
constexpr int kUseTraceHeaders = 1182;
constexpr int kInLsbFirst = 1183;
constexpr int kInMsbFirst = 1184;

void PutByteOrder(int lsbButton, int msbButton, bool msbFirst) {
  tk::WDialogPutRadioButton(msbFirst ? msbButton : lsbButton);
}

bool MsbChosen(int lsbButton) {
  return RadioPosition(lsbButton) > 1;
}

}  // namespace

void SEGYOUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LEBCDIC, std::int32_t& IERR) {
  tk::WDialogLoad(kSegyOutputDialog);
  tk::WDialogSelect(kSegyOutputDialog);
  // The obsolete fixed-point code is never offered.
  if (IOUTFMT <= kIbmFloat) {
    tk::WDialogPutRadioButton(kFormat1);
    LMSBFIRST = true;
  } else if (IOUTFMT == 2) {
    tk::WDialogPutRadioButton(kFormat2);
  } else if (IOUTFMT == 3 || IOUTFMT == 4) {
    tk::WDialogPutRadioButton(kFormat3);
  } else {
    tk::WDialogPutRadioButton(kIeee);
  }
  PutByteOrder(kLsbFirst, kMsbFirst, LMSBFIRST);
  tk::WDialogPutRadioButton(LEBCDIC ? kEbcdic : kAscii);

  IERR = -1;
  RunSemiModeless(kSegyOutputDialog, [&](int type, const tk::EventRecord& event) {
    tk::WDialogSelect(kSegyOutputDialog);
    const std::int32_t format = RadioPosition(kFormat1);
    if (type == tk::kEventFieldChanged) {
      const int field = event.value2;
      if (field == kFormat1 && format == 1) tk::WDialogPutRadioButton(kMsbFirst);
      if ((field == kLsbFirst || field == kMsbFirst) && !MsbChosen(kLsbFirst) && format == 1)
        tk::WDialogPutRadioButton(kIeee);
      return false;
    }
    if (event.value1 == 2) return true;
    if (event.value1 != 1) return false;
    if (format >= 1 && format <= 5) IOUTFMT = format;
    LMSBFIRST = IOUTFMT == kIbmFloat || MsbChosen(kLsbFirst);
    LEBCDIC = RadioPosition(kEbcdic) == 1;
    IERR = 0;
    return true;
  });
}

void SEG2OUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LREMOVEDELAY, std::int32_t& IERR) {
  tk::WDialogLoad(kSeg2OutputDialog);
  tk::WDialogSelect(kSeg2OutputDialog);
  PutRadioChoice(kSeg2FormatButtons, IOUTFMT);
  sup::WDIALOGPUTCHECKBOXL(kRemoveDelay, LREMOVEDELAY);
  PutByteOrder(kLsbFirst, kMsbFirst, LMSBFIRST);
  if (ShowModalCentred() != 1) {
    IERR = -1;
    return;
  }
  if (const std::int32_t p = RadioPosition(kFormat1); p > 0) IOUTFMT = p;
  sup::WDIALOGGETCHECKBOXL(kRemoveDelay, LREMOVEDELAY);
  LMSBFIRST = MsbChosen(kLsbFirst);
  IERR = 0;
}

void SEGYINPUTDLG(bool& LREADTEXT, bool& LREADBIN, bool& LUSETRHDR, bool& LINMSB,
                  std::int32_t& IERR) {
  tk::WDialogLoad(kSegyInputDialog);
  tk::WDialogSelect(kSegyInputDialog);
  PutByteOrder(kInLsbFirst, kInMsbFirst, LINMSB);
  sup::WDIALOGPUTCHECKBOXL(kReadText, LREADTEXT);
  sup::WDIALOGPUTCHECKBOXL(kReadBinary, LREADBIN);
  sup::WDIALOGPUTCHECKBOXL(kUseTraceHeaders, LUSETRHDR);
  if (ShowModalCentred() != 1) {
    IERR = -1;
    return;
  }
  sup::WDIALOGGETCHECKBOXL(kReadText, LREADTEXT);
  sup::WDIALOGGETCHECKBOXL(kReadBinary, LREADBIN);
  sup::WDIALOGGETCHECKBOXL(kUseTraceHeaders, LUSETRHDR);
  LINMSB = MsbChosen(kInLsbFirst);
  IERR = 0;
}

}  // namespace vel
