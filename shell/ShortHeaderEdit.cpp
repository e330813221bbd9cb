#include "shell/ShortHeaderEdit.h"

#include "shell/DialogHelpers.h"
#include "shell/ShotHeaderFields.h"
#include "support/UserMessages.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

enum Field : int {
  kFloat = 1169,
  kInt32 = 1170,
  kInt16 = 1171,
  kFirstTrace = 1181,
};

constexpr int kFormatButtons[] = {kFloat, kInt32, kInt16};
constexpr std::int32_t kSegyIeeeCode = 5;

}  // namespace

void SHORTHEADEDIT(ShotRecord& REC, std::int32_t& FIRSTTRACE, std::int32_t& TRACEFORMAT,
                   std::int32_t& IERR) {
  tk::WDialogLoad(kShortHeaderDialog);
  tk::WDialogSelect(kShortHeaderDialog);
  PutIntegerShown(kFirstTrace, FIRSTTRACE);
  PutIntegerShown(kHeaderSamples, REC.NSAMP);
  PutIntegerShown(kHeaderTraces, REC.NTRACE);
  PutIntegerShown(kHeaderAuxTraces, REC.NAUX);
  PutIntegerShown(kHeaderShotNumber, REC.ISHOT);
  sup::MVPUTREAL(kHeaderSampleInterval, REC.SAMPINT);
  sup::MVPUTREAL(kHeaderUphole, REC.TUPHOLE);
  sup::MVPUTREAL(kHeaderDelay, REC.TDELAY);
  sup::MVPUTREAL(kHeaderShotEasting, REC.SHOTX);
  sup::MVPUTREAL(kHeaderShotNorthing, REC.SHOTY);
  sup::MVPUTREAL(kHeaderShotElevation, REC.SHOTELEV);
  sup::MVPUTREAL(kHeaderShotDepth, REC.SHOTDEPTH);
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
    GetIntegerIfSet(kHeaderSamples, REC.NSAMP);
    GetIntegerIfSet(kHeaderTraces, REC.NTRACE);
    GetIntegerIfSet(kHeaderAuxTraces, REC.NAUX);
    GetShotHeaderFields(REC);
    IERR = 0;
    return true;
  });
}

}  // namespace vel
