#pragma once
// The dialog manager's records and its one state, shared by its files.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/window/Messages.h"
#include "resources/ResourceFormat.h"
#include "toolkit/core/DialogStatus.h"
#include "toolkit/core/Events.h"
#include "toolkit/dialogs/Dialogs.h"

namespace tk {

/// Kept with every loaded dialog.
struct DialogRecord {
  std::int32_t identifier = 0;
  std::int32_t shown = 0;
  std::int32_t currentField = 0;
  std::int32_t previousField = 0;
  std::int32_t currentPage = 0;
  std::int32_t previousPage = 0;
  std::int32_t showMode = 0;
  plat::Hwnd ownerWindow = plat::kNoWindow;
  plat::Hwnd reenableWindow = plat::kNoWindow;
  std::int32_t lastCell = 262145;  // column 1, row 1
  std::int32_t eventField = 0;
  std::int32_t graphicsTarget = 0;
  std::int32_t mouseButton = 0;
  std::int32_t resizable = 0;
  plat::Hwnd combinedWindow = plat::kNoWindow;
  std::int32_t focusField = 0;
  std::int32_t stretchField = 0;
  std::int32_t minWidth = 0;
  std::int32_t minHeight = 0;
};

/// Kept with every field.
struct ControlRecord {
  double value = 0.0;
  double rangeLow = 1000.0;  // no range while rangeLow > rangeHigh
  double rangeHigh = -1000.0;
  double spinStep = 0.0;
  double spinPageStep = 0.0;
  std::int32_t spinOrigin = 0;
  std::int32_t hasValue = 0;
  plat::Hwnd buddy = plat::kNoWindow;
  std::int32_t textColour = -1;
  std::int32_t backgroundColour = -1;
  std::int32_t leftByTab = 0;
  std::int32_t maxLength = 0;
  std::int32_t state = 1;
  std::optional<std::string> format;
  std::int32_t reportEveryChange = 0;
  std::int32_t rightMargin = 0;
  std::int32_t bottomMargin = 0;
  std::int32_t resizeFlags = 0;
  std::int32_t flags = 0;
  std::int32_t graphicsTarget = 0;  // 1 once selected as a drawing target
};

/// One field: its window, the class its template names (the numeric edit
/// classes are edits underneath) and its record.
struct DialogField {
  plat::Hwnd hwnd = plat::kNoWindow;
  std::string className;
  int id = 0;
  ControlRecord rec;
};

struct LoadedDialog {
  plat::Hwnd hwnd = plat::kNoWindow;
  int templateId = 0;
  bool child = false;
  DialogRecord rec;
  std::vector<DialogField> fields;
};

/// The one state of the dialog manager.
struct DialogManagerState {
  std::array<std::unique_ptr<LoadedDialog>, kMaxDialogs + 1> table{};
  int loadedCount = 0;
  int currentNumber = 0;
  std::int32_t closedModalId = 0;
  plat::Hwnd activeDialog = plat::kNoWindow;
  plat::Hwnd semiModelessDialog = plat::kNoWindow;
  int semiModelessCount = 0;
  int creatingDialog = 0;
  int pendingFocusField = 0;
  int pendingX = 0;
  int pendingY = 0;
  plat::Hwnd modalDialog = plat::kNoWindow;  // the dialog running modally, if any
  plat::Hwnd loadParent = plat::kNoWindow;   // set while a tab page loads: its dialog
};

DialogManagerState& Dm();

/// The loaded dialog whose window is H (null when none).
LoadedDialog* FindLoaded(plat::Hwnd h);
/// Whether D is the dialog running modally or lies inside it.
bool IsInModal(const LoadedDialog& d);
/// The current dialog, or null.
LoadedDialog* CurrentDialog();
/// The field ID of D (null when none).
DialogField* FindField(LoadedDialog& d, int id);
/// The field whose window is H or contains it (null when none).
DialogField* FieldOfWindow(LoadedDialog& d, plat::Hwnd h);
/// Case-insensitive class comparison.
bool SameClass(std::string_view a, std::string_view b);
FieldType FieldTypeOf(const DialogField& f);
int FieldStateOf(const DialogField& f);
/// Numeric edit classes (INTEGEREDIT ... DOUBLESPIN).
bool IsNumericClass(std::string_view cls);
/// Plain EDIT or a numeric class.
bool IsEditType(const DialogField& f);

/// Templates the program's resources lack, for tests; looked up first.
void AddDialogTemplate(const res::DialogTemplate& t);
/// For tests: the program's template ID counts as missing.
void HideDialogTemplate(int id);
/// Forgets the added and hidden templates.
void ClearDialogTemplates();

/// Connects the dialog manager to the event loop (done by the first load).
void InstallDialogEvents();
/// Connects dialog fields to the graphics layer as drawing targets (done by
/// every load when the graphics layer lacks the connection).
void ConnectDialogGraphics();
/// The items of an event a graphics field or dialog raised (type 100 + event).
bool FillFieldEvent(LoadedDialog& d, int type, plat::WParam w, plat::LParam l, EventRecord& out);
/// The colours dialog DIALOG gives CONTROL, which asked with MESSAGE (one of
/// the CtlColour* messages): the text and background colours of the field's
/// extras. False, COLOURS unchanged, when the field has none of its own.
bool DialogControlColours(plat::Hwnd dialog, plat::Msg message, plat::ControlColours& colours,
                          plat::Hwnd control);
/// Unloads every dialog and zeroes the state and the status words.
void ResetDialogManager();
/// The dialog manager's part of the modal rules (see ModalDialogLink).
plat::Hwnd ActiveDialogOwner();
void DisableShownDialogs(plat::Hwnd owner);
bool EnableShownDialogs();

}  // namespace tk
