#include "shell/PromptDialogs.h"

#include <string>

#include "formats/SegyIn.h"
#include "platform/backend/Backend.h"
#include "platform/window/Window.h"
#include "shell/DialogHelpers.h"
#include "shell/ShortHeaderEdit.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {
constexpr int kPromptField = 1117;
constexpr int kValueField = 1167;
constexpr int kRealField = 1062;

// Shows the prompt dialog prepared as current; true after OK.
bool AskedAndAnswered(std::string_view prompt) {
  if (ShowModalCentred() == 1) return true;
  // Without a display (a command-line conversion) the question was
  // cancelled unasked: say which answer was needed.
  if (const plat::Backend* b = plat::GetBackend(); b != nullptr && !b->CanWait())
    tk::WMessageBox(0, 3, 1,
                    "This needs an answer, and there is no display to ask it on:\r\n" +
                        std::string(prompt),
                    "Velloran");
  return false;
}

bool AskNumber(std::string_view prompt, int& value) {
  std::int32_t error = 0;
  INUMINDLG(prompt, value, error);
  return error == 0;
}

bool EditShortHeader(ShotRecord& REC, int& recordNumber, int& format) {
  std::int32_t error = 0;
  SHORTHEADEDIT(REC, recordNumber, format, error);
  return error == 0;
}

}  // namespace

void INUMINDLG(std::string_view PROMPT, std::int32_t& VALUE, std::int32_t& IERR) {
  tk::WDialogLoad(kIntegerPromptDialog);
  tk::WDialogSelect(kIntegerPromptDialog);
  tk::WDialogPutInteger(kValueField, VALUE);
  tk::WDialogPutString(kPromptField, PROMPT);
  if (!AskedAndAnswered(PROMPT)) {
    IERR = -1;
    return;
  }
  tk::WDialogGetInteger(kValueField, VALUE);
  IERR = 0;
}

namespace {

/// A real number in DIALOG, whose field 1062 shows VALUE in its own format.
void AskReal(int dialog, std::string_view PROMPT, float& VALUE, std::int32_t& IERR) {
  tk::WDialogLoad(dialog);
  tk::WDialogSelect(dialog);
  tk::WDialogPutReal(kRealField, VALUE);
  tk::WDialogPutString(kPromptField, PROMPT);
  if (!AskedAndAnswered(PROMPT)) {
    IERR = -1;
    return;
  }
  tk::WDialogGetReal(kRealField, VALUE);
  IERR = 0;
}

}  // namespace

void FNUMINDLG(std::string_view PROMPT, float& VALUE, std::int32_t& IERR) {
  AskReal(kRealPromptDialog, PROMPT, VALUE, IERR);
}

void NUMINDLG(std::string_view PROMPT, float& VALUE, std::int32_t& IERR) {
  AskReal(kGeometryNumberDialog, PROMPT, VALUE, IERR);
}

void UseProgramReaderDialogs() {
  SetSegyInProgramDialogs({AskNumber, EditShortHeader});
}

}  // namespace vel
