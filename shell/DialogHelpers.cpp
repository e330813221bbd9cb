#include "shell/DialogHelpers.h"

#include <algorithm>
#include <string>

#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {

int ShowModalCentred() {
  tk::WDialogShow(-1, -1, 0, tk::kShowModal);
  return tk::WDialogStatusQuery(1);
}

void PutRadioChoice(std::span<const int> buttons, std::int32_t value) {
  if (buttons.empty()) return;
  const auto last = static_cast<std::int32_t>(buttons.size());
  tk::WDialogPutRadioButton(buttons[static_cast<std::size_t>(std::clamp(value, 1, last) - 1)]);
}

std::int32_t RadioPosition(int first) {
  std::int32_t position = 0;
  tk::WDialogGetRadioButton(first, position);
  return position > 0 ? position : 0;
}

namespace {

bool FieldBlank(int field) {
  std::int32_t length = 0;
  tk::WDialogGetStringLength(field, length);
  if (length <= 0) return true;
  std::string text(static_cast<std::size_t>(length), ' ');
  tk::WDialogGetString(field, text);
  return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

bool GetIntegerIfSet(int field, std::int32_t& value) {
  if (FieldBlank(field)) return false;
  tk::WDialogGetInteger(field, value);
  return true;
}

bool GetRealIfSet(int field, float& value) {
  if (FieldBlank(field)) return false;
  tk::WDialogGetReal(field, value);
  return true;
}

void PutIntegerShown(int field, std::int32_t value) {
  tk::WDialogPutString(field, std::to_string(value));
}

bool RunSemiModeless(int dialog, const SemiModelessHandler& handle) {
  tk::WDialogShow(-1, -1, 0, tk::kShowSemiModeless);
  tk::WEventTypeSwitch(tk::kEventFieldChanged, 1);
  bool closed = false;
  while (!closed) {
    int type = 0;
    tk::EventRecord event;
    tk::WEventWait(type, event);
    // A close request of the main window (disabled while the dialog is up:
    // the window system ending) or of no window at all ends the dialog.
    if (type == tk::kEventClose && (event.window < 0 || event.window == tk::kMainWindow)) break;
    if (event.window != dialog) continue;
    if (type == tk::kEventPushButton || type == tk::kEventFieldChanged)
      closed = handle(type, event);
  }
  tk::WEventTypeSwitch(tk::kEventFieldChanged, 0);
  tk::WDialogSelect(dialog);
  tk::WDialogHide();
  return closed;
}

}  // namespace vel
