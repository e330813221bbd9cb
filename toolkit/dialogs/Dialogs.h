#pragma once
// The dialog manager: dialogs loaded from their templates into a table of
// hidden dialogs, one current dialog that every field call acts on, field
// access by type, showing (modal, modeless, semi-modeless) and hiding, and
// the events the dialogs raise (push button 3, field changed 10, tab
// changed 11), which the application takes with WEventWait.
//
// Every call reports its failures through the error reporter under its own
// name and returns normally; outputs keep their values unless said.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tk {

/// How WDialogShow shows a dialog.
enum DialogShowMode : std::int32_t {
  kShowModal = 1,
  kShowModeless = 2,
  kShowSemiModeless = 3,
};

/// The kind of a field.
enum FieldType : std::int32_t {
  kFieldOther = 0,
  kFieldStaticText = 1,
  kFieldOtherStatic = 2,
  kFieldGroupBox = 3,
  kFieldString = 4,
  kFieldInteger = 5,
  kFieldReal = 6,
  kFieldDouble = 7,
  kFieldPushButton = 8,
  kFieldCheckBox = 9,
  kFieldRadioButton = 10,
  kFieldComboBox = 11,
  kFieldListBox = 12,
  kFieldTab = 13,
  kFieldProgressBar = 14,
  kFieldGrid = 15,
  kFieldTrackbar = 16,
  kFieldTreeView = 17,
};

/// What a field lets the user do.
enum FieldState : std::int32_t {
  kFieldDisabled = 0,
  kFieldEnabled = 1,
  kFieldReadOnly = 2,
  kFieldHidden = 3,
};

/// What a blank numeric field, a radio group with nothing checked and a
/// list with nothing selected read as (with error 1010).
constexpr std::int32_t kUndefinedInteger = -999;
constexpr float kUndefinedReal = -999.0f;

/// Error codes of the dialog manager.
enum DialogErrorCode : std::int32_t {
  kErrNoDialog = 1005,        // "No dialog currently selected"
  kErrBadField = 1006,        // "Invalid field identifier"
  kErrNoTemplate = 1007,      // "Dialog not present in resource - unable to load"
  kErrNotLoaded = 1008,       // "Unable to select specified dialog"
  kErrOutOfRange = 1009,      // "Attempt to store an out of range dialog field value"
  kErrUndefined = 1010,       // "Field value undefined"
  kErrBadMode = 1014,         // "Invalid dialog mode requested"
  kErrParentHidden = 1016,    // "Unable to display window/dialog. Parent window hidden"
  kErrParentCombined = 1046,  // "Parent window is combined with a dialog"
  kErrCombined = 1047,        // "Current dialog which is combined with a window"
  kErrSubDialog = 1069,       // "Cannot hide or unload a sub-dialog"
  kErrTooManyDialogs = 1087,  // "Too many dialogs"
  kErrCreationFailed = 1088,  // "Error during dialog creation"
};

/// At most this many dialogs are loaded at a time.
constexpr int kMaxDialogs = 100;

// ---------------------------------------------------------------------------
// The dialog table and the current dialog

/// Loads dialog template ID hidden (or, when IDENTIFIER is loaded already,
/// only selects it) and makes it current. OWNER: a window number 0-50 whose
/// client area becomes the parent (owner of a top-level dialog), -1 the
/// current owner window.
void WDialogLoad(int id, std::optional<int> identifier = std::nullopt, int owner = 0);
/// Makes loaded dialog IDENTIFIER current.
void WDialogSelect(int identifier);
/// Hides and unloads the current dialog.
void WDialogUnload(int keepPages = 0);
/// 1 the button that closed the last modal show, 2 the field focused when
/// it was pressed, 3 the current dialog (0 none), 4 the last message box's
/// or common dialog's answer, 5 the last modal dialog that closed, 6-9 the
/// current dialog's position and size, 10 its kind.
int WDialogStatusQuery(int item);
/// Caption of the current dialog (trailing blanks dropped).
void WDialogTitle(std::optional<std::string_view> title = std::nullopt, int icon = -1);
/// Focus (and caret at 1-based POSITION, else the whole text selected) to a
/// field of the current dialog when it is visible.
void WDialogSetField(int field, std::optional<int> position = std::nullopt);

// ---------------------------------------------------------------------------
// Showing and hiding

/// Shows the current dialog at X, Y (-1 centres), with FIELD focused (0 the
/// system's choice), in MODE. A modal show returns when a push button
/// closes the dialog; status item 1 then names that button.
void WDialogShow(int x = -1, int y = -1, int field = 0, int mode = kShowModeless);
/// Shows the current dialog as WDialogShow does, with its top-left corner
/// at the screen position of toolkit window WINDOW's client origin (-1: the
/// top-level window around the focus).
void ShowDialogNearWindow(int field, int mode, int window);
/// Hides the current dialog; nothing when none is current.
void WDialogHide();

// ---------------------------------------------------------------------------
// Field access

void WDialogPutInteger(int field, std::int32_t value);
void WDialogPutReal(int field, float value, std::optional<std::string_view> format = std::nullopt);
void WDialogGetInteger(int field, std::int32_t& value);
void WDialogGetReal(int field, float& value);
void WDialogPutString(int field, std::string_view text);
/// TEXT keeps its size: the field's text cut or blank-padded to it.
void WDialogGetString(int field, std::string& text);
void WDialogGetStringLength(int field, std::int32_t& length);
void WDialogPutCheckBox(int field, std::int32_t state);
void WDialogGetCheckBox(int field, std::int32_t& state);
void WDialogPutRadioButton(int field);
void WDialogGetRadioButton(int field, std::int32_t& position);
void WDialogFieldState(int field, int state);
void WDialogFieldOptions(int field, int option, int value);
/// 1-4 left, top, width, height in pixels; 5 FieldType; 6 FieldState; 7, 8
/// a trackbar's range. 0 when it cannot answer.
int WDialogFieldInfo(int field, int item);
void WDialogRangeInteger(int field, std::optional<std::int32_t> minimum = std::nullopt,
                         std::optional<std::int32_t> maximum = std::nullopt);

// ---------------------------------------------------------------------------
// Option lists, tabs and progress bars

/// Fills a list or combo field with the first N of OPTIONS (trailing blanks
/// dropped) and selects option OPTION (1-based); a combo with typed text
/// shows TEXT instead when OPTION is 0.
void WDialogPutMenu(int field, std::span<const std::string> options, int n, int option,
                    std::optional<std::string_view> text = std::nullopt);
/// The selected option (1-based; 0 typed text that is no option) and, in
/// the second form, its text (TEXT keeps its size, blank-padded or cut).
void WDialogGetMenu(int field, std::int32_t& option);
void WDialogGetMenu(int field, std::int32_t& option, std::string& text);
void WDialogPutOption(int field, int option);
/// Shows the tab whose page is dialog PAGE / gives the shown page.
void WDialogSetTab(int field, int page);
void WDialogGetTab(int field, std::int32_t& page);
/// MODE absent or 0 sets the bar's position to VALUE, else advances it by VALUE.
void WDialogPutProgressBar(int field, int value, std::optional<int> mode = std::nullopt);

}  // namespace tk
