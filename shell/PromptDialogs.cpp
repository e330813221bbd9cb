#include "shell/PromptDialogs.h"

#include "shell/DialogHelpers.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {
constexpr int kPromptField = 1117;
constexpr int kValueField = 1167;
}  // namespace

void INUMINDLG(std::string_view PROMPT, std::int32_t& VALUE, std::int32_t& IERR) {
  tk::WDialogLoad(kIntegerPromptDialog);
  tk::WDialogSelect(kIntegerPromptDialog);
  tk::WDialogPutInteger(kValueField, VALUE);
  tk::WDialogPutString(kPromptField, PROMPT);
  if (ShowModalCentred() != 1) {
    IERR = -1;
    return;
  }
  tk::WDialogGetInteger(kValueField, VALUE);
  IERR = 0;
}

}  // namespace vel
