#include "shell/FileOptions.h"

#include <algorithm>
#include <array>

#include "platform/FixedText.h"
#include "shell/DialogHelpers.h"
#include "support/UserMessages.h"
#include "toolkit/core/Events.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr int kOk = 1;
constexpr int kCancel = 2;
using tk::kEventClose;
using tk::kEventFieldChanged;
using tk::kEventPushButton;
constexpr std::size_t kNameChars = 256;

/// A logical byte order: the first button for false, the second for true.
void PutOrder(int first, int second, bool msbFirst) {
  tk::WDialogPutRadioButton(msbFirst ? second : first);
}
bool GetOrder(int first) {
  return RadioPosition(first) > 1;
}

/// A wait that ended because nothing is left to answer it (the window
/// system has gone): it reports a close request of no window.
bool NothingLeft(int type, const tk::EventRecord& e) {
  return type == kEventClose && e.window < 0;
}

/// Loads and selects dialog ID.
void Load(int id) {
  tk::WDialogLoad(id);
  tk::WDialogSelect(id);
}


}  // namespace

void OWRITEDLG(const std::string& FNAME, std::int32_t& ANSWER) {
  Load(kDialogOverwrite);
  const std::string name = plat::Padded(FNAME, kNameChars);
  tk::WDialogPutString(1162, name);
  ANSWER = ShowModalCentred();
}

void USERIMPORTDLG(float& POSFIRST, float& POSINCR, std::int32_t& IHDRBYTES,
                   std::int32_t& ITRHBYTES, std::int32_t& NTRREAD, std::int32_t& NSAMPREAD,
                   std::int32_t& ITRSTART, std::int32_t& IUSERFMT, bool& LMSBFIRST, int& IERR) {
  Load(kDialogUserImport);
  tk::WDialogPutInteger(1164, IHDRBYTES);
  tk::WDialogPutInteger(1165, ITRHBYTES);
  tk::WDialogPutInteger(1166, NTRREAD);
  tk::WDialogPutInteger(1167, NSAMPREAD);
  tk::WDialogPutInteger(1168, ITRSTART);
  tk::WDialogPutReal(1176, POSFIRST, "(F6.1)");
  tk::WDialogPutReal(1177, POSINCR, "(F6.1)");
  PutRadioChoice(std::array{1169, 1170, 1171, 1172}, IUSERFMT);
  PutOrder(1174, 1175, LMSBFIRST);
  if (ShowModalCentred() != kOk) {
    IERR = -1;
    return;
  }
  tk::WDialogGetInteger(1164, IHDRBYTES);
  tk::WDialogGetInteger(1165, ITRHBYTES);
  tk::WDialogGetInteger(1166, NTRREAD);
  tk::WDialogGetInteger(1167, NSAMPREAD);
  tk::WDialogGetInteger(1168, ITRSTART);
  tk::WDialogGetReal(1176, POSFIRST);
  tk::WDialogGetReal(1177, POSINCR);
  IUSERFMT = RadioPosition(1169);
  LMSBFIRST = GetOrder(1174);
  IERR = 0;
}

void SEGYOUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LEBCDIC, int& IERR) {
  constexpr int kIbm = 1169, kInt32 = 1170, kInt16 = 1171, kIeee = 1242;
  constexpr int kLittle = 1174, kBig = 1175, kEbcdic = 1173, kAscii = 1178;
  Load(kDialogSegyOutput);
  if (IOUTFMT <= 1) {
    tk::WDialogPutRadioButton(kIbm);
    LMSBFIRST = true;  // IBM float is big-endian, whatever follows
  } else if (IOUTFMT == 2) {
    tk::WDialogPutRadioButton(kInt32);
  } else if (IOUTFMT == 3) {
    tk::WDialogPutRadioButton(kInt16);
  } else {
    tk::WDialogPutRadioButton(kIeee);
  }
  PutOrder(kLittle, kBig, LMSBFIRST);
  tk::WDialogPutRadioButton(LEBCDIC ? kEbcdic : kAscii);
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  tk::WEventTypeSwitch(kEventFieldChanged, 1);

  // The format group's positions: IBM, 32-bit, 16-bit, fixed point (never
  // chosen), IEEE.
  const auto format = [] { return RadioPosition(kIbm); };
  for (;;) {
    int type = 0;
    tk::EventRecord e;
    tk::WEventWait(type, e);
    if (type == kEventPushButton && e.window == kDialogSegyOutput && e.value1 == kOk) {
      tk::WDialogSelect(kDialogSegyOutput);
      const std::int32_t position = format();
      IOUTFMT = position == 4 || position == 5 ? 5 : std::max(position, 1);
      LMSBFIRST = IOUTFMT == 1 || GetOrder(kLittle);
      LEBCDIC = RadioPosition(kEbcdic) == 1;
      IERR = 0;
      break;
    }
    if (type == kEventPushButton && e.window == kDialogSegyOutput && e.value1 == kCancel) {
      IERR = -1;
      break;
    }
    if (NothingLeft(type, e)) {
      IERR = -1;
      break;
    }
    if (type == kEventFieldChanged && e.window == kDialogSegyOutput) {
      tk::WDialogSelect(kDialogSegyOutput);
      if (e.value2 == kIbm && format() == 1) tk::WDialogPutRadioButton(kBig);
      if ((e.value2 == kLittle || e.value2 == kBig) && !GetOrder(kLittle) && format() == 1)
        tk::WDialogPutRadioButton(kIeee);
    }
  }
  tk::WEventTypeSwitch(kEventFieldChanged, 0);
  tk::WDialogSelect(kDialogSegyOutput);
  tk::WDialogHide();
}

void SEGYSTANDARDDLG(bool& LDISALLOW, int& IERR) {
  Load(kDialogSegyStandard);
  tk::WDialogPutRadioButton(LDISALLOW ? 1238 : 1237);
  if (ShowModalCentred() != kOk) {
    IERR = -1;
    return;
  }
  LDISALLOW = RadioPosition(1237) > 1;
  IERR = 0;
}

void SEGYINPUTDLG(bool& LREADTEXT, bool& LREADBIN, bool& LUSETRHDR, bool& LINMSB, int& IERR) {
  Load(kDialogSegyInput);
  PutOrder(1183, 1184, LINMSB);
  sup::WDIALOGPUTCHECKBOXL(1179, LREADTEXT);
  sup::WDIALOGPUTCHECKBOXL(1180, LREADBIN);
  sup::WDIALOGPUTCHECKBOXL(1182, LUSETRHDR);
  if (ShowModalCentred() != kOk) {
    IERR = -1;
    return;
  }
  sup::WDIALOGGETCHECKBOXL(1179, LREADTEXT);
  sup::WDIALOGGETCHECKBOXL(1180, LREADBIN);
  sup::WDIALOGGETCHECKBOXL(1182, LUSETRHDR);
  LINMSB = GetOrder(1183);
  IERR = 0;
}

void SEG2OUTPUTDLG(std::int32_t& IOUTFMT, bool& LMSBFIRST, bool& LREMOVEDELAY, int& IERR) {
  Load(kDialogSeg2Output);
  PutRadioChoice(std::array{1169, 1170, 1171}, IOUTFMT);
  sup::WDIALOGPUTCHECKBOXL(1193, LREMOVEDELAY);
  PutOrder(1174, 1175, LMSBFIRST);
  if (ShowModalCentred() != kOk) {
    IERR = -1;
    return;
  }
  IOUTFMT = RadioPosition(1169);
  sup::WDIALOGGETCHECKBOXL(1193, LREMOVEDELAY);
  LMSBFIRST = GetOrder(1174);
  IERR = 0;
}

void MERGEDLG(std::string& STEM, std::int32_t& IMERGE, std::int32_t IFORMAT, int& IERR) {
  constexpr int kBrowse = 1192;
  constexpr std::int32_t kSuspens = 14;
  Load(kDialogMerge);
  std::string stem = plat::Padded(STEM, kNameChars);
  tk::WDialogPutString(1190, stem);
  tk::WDialogPutRadioButton(IMERGE <= 1 ? 1188 : 1189);
  tk::WDialogPutString(1191,
                       IFORMAT == kSuspens ? "H1, H1R, V1, H2, H2R, V2" : "Trc001, Trc002, ...");
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  for (;;) {
    int type = 0;
    tk::EventRecord e;
    tk::WEventWait(type, e);
    if (NothingLeft(type, e)) {
      IERR = -1;
      break;
    }
    if (type != kEventPushButton || e.window != kDialogMerge) continue;
    if (e.value1 == kOk) {
      tk::WDialogSelect(kDialogMerge);
      tk::WDialogGetString(1190, stem);
      STEM = stem;
      IMERGE = RadioPosition(1188);
      IERR = 0;
      break;
    }
    if (e.value1 == kCancel || e.value1 == kBrowse) {
      IERR = -1;
      break;
    }
  }
  tk::WEventTypeSwitch(kEventFieldChanged, 0);
  tk::WDialogSelect(kDialogMerge);
  tk::WDialogHide();
}

}  // namespace vel
