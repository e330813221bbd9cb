#include "shell/ShortHeaderEdit.h"

#include "shell/DialogHelpers.h"
#include "support/UserMessages.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

enum Field : int {
  kSampleInterval = 1099,
  kDelay = 1100,
  kUphole = 1101,
  kShotNumber = 1102,
  kEasting = 1103,
  kElevation = 1104,
  kTraces = 1105,
  kSamples = 1106,
  kDepth = 1111,
  kFloat = 1169,
  kInt32 = 1170,
  kInt16 = 1171,
  kFirstTrace = 1181,
  kNorthing = 1208,
  kAuxTraces = 1227,
};

constexpr int kFormatButtons[] = {kFloat, kInt32, kInt16};
constexpr std::int32_t kSegyIeeeCode = 5;

}  // namespace

void SHORTHEADEDIT(ShotRecord& REC, std::int32_t& FIRSTTRACE, std::int32_t& TRACEFORMAT,
                   std::int32_t& IERR) {
  tk::WDialogLoad(kShortHeaderDialog);
  tk::WDialogSelect(kShortHeaderDialog);
  PutIntegerShown(kFirstTrace, FIRSTTRACE);
  PutIntegerShown(kSamples, REC.NSAMP);
  PutIntegerShown(kTraces, REC.NTRACE);
  PutIntegerShown(kAuxTraces, REC.NAUX);
  PutIntegerShown(kShotNumber, REC.ISHOT);
  sup::MVPUTREAL(kSampleInterval, REC.SAMPINT);
  sup::MVPUTREAL(kUphole, REC.TUPHOLE);
  sup::MVPUTREAL(kDelay, REC.TDELAY);
  sup::MVPUTREAL(kEasting, REC.SHOTX);
  sup::MVPUTREAL(kNorthing, REC.SHOTY);
  sup::MVPUTREAL(kElevation, REC.SHOTELEV);
  sup::MVPUTREAL(kDepth, REC.SHOTDEPTH);
  // The binary header's code 5 is IEEE floating point: the float button,
  // never 16-bit integers.
  PutRadioChoice(kFormatButtons, TRACEFORMAT == kSegyIeeeCode ? 1 : TRACEFORMAT);

  IERR = -1;
  RunSemiModeless(kShortHeaderDialog, [&](int type, const tk::EventRecord& event) {
    if (type != tk::kEventPushButton) return false;
    if (event.value1 == 2) return true;
    if (event.value1 != 1) return false;
    tk::WDialogSelect(kShortHeaderDialog);
    if (const std::int32_t p = RadioPosition(kFloat); p > 0) TRACEFORMAT = p;
    GetIntegerIfSet(kFirstTrace, FIRSTTRACE);
    GetIntegerIfSet(kSamples, REC.NSAMP);
    GetIntegerIfSet(kTraces, REC.NTRACE);
    GetIntegerIfSet(kAuxTraces, REC.NAUX);
    GetIntegerIfSet(kShotNumber, REC.ISHOT);
    GetRealIfSet(kSampleInterval, REC.SAMPINT);
    GetRealIfSet(kUphole, REC.TUPHOLE);
    GetRealIfSet(kDelay, REC.TDELAY);
    GetRealIfSet(kEasting, REC.SHOTX);
    GetRealIfSet(kNorthing, REC.SHOTY);
    GetRealIfSet(kElevation, REC.SHOTELEV);
    GetRealIfSet(kDepth, REC.SHOTDEPTH);
    IERR = 0;
    return true;
  });
}

}  // namespace vel
