#pragma once
// The standard controls: window classes with the behaviour, looks and
// notifications of the classic controls a dialog toolkit drives.
//
// Every control is a child window of a registered class (RegisterControls
// registers them all). Style bits keep their standard numeric values in the
// low 16 bits of the window style (the templates of dialogs carry them so),
// window-level bits such as kWsTabStop and kWsGroup in the high ones.
//
// Controls tell their parent what the user did:
//  - buttons, statics, edits, list boxes and combo boxes send Msg::Command
//    with wParam = MakeWParam(id, notification code) and lParam = the control;
//  - scroll bars, trackbars and up-down controls send Msg::HScroll or
//    Msg::VScroll with wParam = MakeWParam(scroll code, position) and lParam
//    = the control;
//  - the common controls (tab, up-down, tree view, header, toolbar tooltips)
//    send Msg::Notify with wParam = id and lParam pointing at a NotifyHeader,
//    or at a larger record that begins with one.
// Requests go through the typed functions below; each does nothing (and
// answers -1, 0 or empty) when the window is no control of its kind.
// Functions called by the program never notify, except where said.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw/Surface.h"
#include "platform/text/Font.h"
#include "platform/window/Window.h"

namespace plat {

// ---------------------------------------------------------------------------
// Classes

inline constexpr std::string_view kButtonClass = "BUTTON";
inline constexpr std::string_view kStaticClass = "STATIC";
inline constexpr std::string_view kEditClass = "EDIT";
inline constexpr std::string_view kListBoxClass = "LISTBOX";
inline constexpr std::string_view kComboBoxClass = "COMBOBOX";
inline constexpr std::string_view kComboListClass = "ComboLBox";  // a combo box's drop-down list
inline constexpr std::string_view kScrollBarClass = "SCROLLBAR";
inline constexpr std::string_view kStatusBarClass = "msctls_statusbar32";
inline constexpr std::string_view kToolbarClass = "ToolbarWindow32";
inline constexpr std::string_view kTooltipClass = "tooltips_class32";
inline constexpr std::string_view kUpDownClass = "msctls_updown32";
inline constexpr std::string_view kTrackbarClass = "msctls_trackbar32";
inline constexpr std::string_view kProgressClass = "msctls_progress32";
inline constexpr std::string_view kTabClass = "SysTabControl32";
inline constexpr std::string_view kTreeViewClass = "SysTreeView32";

/// Registers every control class with the running window system (needed
/// again after each Init). False when one could not be registered.
bool RegisterControls();

// ---------------------------------------------------------------------------
// Look

/// The classic system colours the controls draw with.
inline constexpr Pixel kColourFace = Rgb(192, 192, 192);         // button face, dialogs
inline constexpr Pixel kColourHighlight3d = Rgb(255, 255, 255);  // lit bevel edge
inline constexpr Pixel kColourShadow = Rgb(128, 128, 128);       // shaded bevel edge
inline constexpr Pixel kColourDarkShadow = Rgb(0, 0, 0);         // outer shaded edge
inline constexpr Pixel kColourWindow = Rgb(255, 255, 255);       // edit and list background
inline constexpr Pixel kColourText = Rgb(0, 0, 0);
inline constexpr Pixel kColourGreyText = Rgb(128, 128, 128);  // disabled text
inline constexpr Pixel kColourSelection = Rgb(0, 0, 128);     // selected text background
inline constexpr Pixel kColourSelectionText = Rgb(255, 255, 255);
inline constexpr Pixel kColourTooltip = Rgb(255, 255, 225);

/// The colours a control is about to paint with, offered to its parent with
/// the CtlColour* messages (lParam: this record). The parent may change them.
struct ControlColours {
  Hwnd control = kNoWindow;
  Pixel text = kColourText;
  Pixel background = kColourFace;
};

/// The font controls use until SetControlFont gives another: Arial, 11
/// pixels to the em (about 8 points).
std::shared_ptr<const Font> DefaultControlFont();
/// Sets the font of control H (null: the default) and repaints it.
void SetControlFont(Hwnd h, std::shared_ptr<const Font> font);
/// The font control H draws with (the default for non-controls).
std::shared_ptr<const Font> GetControlFont(Hwnd h);

// ---------------------------------------------------------------------------
// Window-level style bits used with controls

inline constexpr unsigned kWsTabStop = 0x00010000;  // WS_TABSTOP: Tab stops here
inline constexpr unsigned kWsGroup = 0x00020000;    // WS_GROUP: first control of a group
inline constexpr unsigned kWsHScroll = 0x00100000;  // WS_HSCROLL
inline constexpr unsigned kWsVScroll =
    0x00200000;  // WS_VSCROLL: list boxes and multi-line edits show a scroll bar
inline constexpr unsigned kWsBorder =
    0x00800000;  // WS_BORDER: edits, lists and statics get a sunken frame

// ---------------------------------------------------------------------------
// Buttons (class BUTTON): push, default push, check box, radio button, group box

inline constexpr unsigned kBsPushButton = 0x0;     // BS_PUSHBUTTON
inline constexpr unsigned kBsDefPushButton = 0x1;  // BS_DEFPUSHBUTTON: drawn with a thicker frame
inline constexpr unsigned kBsCheckBox = 0x2;       // BS_CHECKBOX: the program sets the check
inline constexpr unsigned kBsAutoCheckBox = 0x3;   // BS_AUTOCHECKBOX: a click toggles the check
inline constexpr unsigned kBsRadioButton = 0x4;    // BS_RADIOBUTTON
inline constexpr unsigned kBs3State = 0x5;         // BS_3STATE
inline constexpr unsigned kBsAuto3State =
    0x6;  // BS_AUTO3STATE: a click cycles unchecked, checked, indeterminate
inline constexpr unsigned kBsGroupBox = 0x7;  // BS_GROUPBOX
inline constexpr unsigned kBsAutoRadioButton =
    0x9;  // BS_AUTORADIOBUTTON: a click checks it and clears its group
inline constexpr unsigned kBsOwnerDraw = 0xB;  // BS_OWNERDRAW (drawn as a push button)
inline constexpr unsigned kBsTypeMask = 0xF;
inline constexpr unsigned kBsLeftText = 0x20;  // BS_LEFTTEXT: the text left of the box
inline constexpr unsigned kBsBitmap = 0x80;    // BS_BITMAP: shows the image set with ButtonSetImage
inline constexpr unsigned kBsPushLike =
    0x1000;  // BS_PUSHLIKE: a check box or radio button looking like a push button
inline constexpr unsigned kBsNotify = 0x4000;  // BS_NOTIFY: also focus notifications

/// Button notifications (high word of a Command's wParam).
enum : int {
  kBnClicked = 0,        // BN_CLICKED
  kBnDoubleClicked = 5,  // BN_DOUBLECLICKED: radio buttons
  kBnSetFocus = 6,       // BN_SETFOCUS (with kBsNotify)
  kBnKillFocus = 7,      // BN_KILLFOCUS (with kBsNotify)
};

/// Check states.
enum : int { kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

/// The check state of a check box or radio button (0 for other buttons).
int ButtonGetCheck(Hwnd h);
/// Sets the check state (a two-state button takes anything but 0 as 1).
void ButtonSetCheck(Hwnd h, int state);
/// Changes the button's style bits (default push button or not, ...) and repaints.
void ButtonSetStyle(Hwnd h, unsigned style);
/// The image of a kBsBitmap push button (null: none).
void ButtonSetImage(Hwnd h, std::shared_ptr<const Surface> image);
/// Clicks the button as the user would: it notifies kBnClicked.
void ButtonClick(Hwnd h);

// ---------------------------------------------------------------------------
// Statics (class STATIC): text, frames, rectangles and pictures

inline constexpr unsigned kSsLeft = 0x0;        // SS_LEFT: text, words wrapped
inline constexpr unsigned kSsCenter = 0x1;      // SS_CENTER
inline constexpr unsigned kSsRight = 0x2;       // SS_RIGHT
inline constexpr unsigned kSsIcon = 0x3;        // SS_ICON: shows the image set with StaticSetImage
inline constexpr unsigned kSsBlackRect = 0x4;   // SS_BLACKRECT
inline constexpr unsigned kSsGrayRect = 0x5;    // SS_GRAYRECT
inline constexpr unsigned kSsWhiteRect = 0x6;   // SS_WHITERECT
inline constexpr unsigned kSsBlackFrame = 0x7;  // SS_BLACKFRAME
inline constexpr unsigned kSsGrayFrame = 0x8;   // SS_GRAYFRAME
inline constexpr unsigned kSsWhiteFrame = 0x9;  // SS_WHITEFRAME
inline constexpr unsigned kSsSimple = 0xB;      // SS_SIMPLE: one line, left
inline constexpr unsigned kSsLeftNoWordWrap = 0xC;
inline constexpr unsigned kSsBitmap = 0xE;  // SS_BITMAP
inline constexpr unsigned kSsEtchedHorz = 0x10;
inline constexpr unsigned kSsEtchedVert = 0x11;
inline constexpr unsigned kSsEtchedFrame = 0x12;
inline constexpr unsigned kSsTypeMask = 0x1F;
inline constexpr unsigned kSsNoPrefix = 0x80;  // SS_NOPREFIX: "&" is shown, not a mnemonic mark
inline constexpr unsigned kSsNotify = 0x100;   // SS_NOTIFY: clicks notify
inline constexpr unsigned kSsCenterImage =
    0x200;  // SS_CENTERIMAGE: picture centred; text centred vertically
inline constexpr unsigned kSsSunken = 0x1000;  // SS_SUNKEN

enum : int { kStnClicked = 0, kStnDblClk = 1 };

/// The picture of an SS_BITMAP or SS_ICON static (null: none).
void StaticSetImage(Hwnd h, std::shared_ptr<const Surface> image);
std::shared_ptr<const Surface> StaticGetImage(Hwnd h);

// ---------------------------------------------------------------------------
// Edits (class EDIT): single- and multi-line text. The text is the window
// text (SetWindowText and GetWindowText); lines end with "\r\n".

inline constexpr unsigned kEsLeft = 0x0;
inline constexpr unsigned kEsCenter = 0x1;
inline constexpr unsigned kEsRight = 0x2;
inline constexpr unsigned kEsMultiline = 0x4;   // ES_MULTILINE
inline constexpr unsigned kEsUppercase = 0x8;   // ES_UPPERCASE
inline constexpr unsigned kEsLowercase = 0x10;  // ES_LOWERCASE
inline constexpr unsigned kEsPassword = 0x20;   // ES_PASSWORD: shows "*" for each character
inline constexpr unsigned kEsAutoVScroll = 0x40;
inline constexpr unsigned kEsAutoHScroll = 0x80;
inline constexpr unsigned kEsNoHideSel =
    0x100;  // ES_NOHIDESEL: the selection shows without the focus
inline constexpr unsigned kEsReadOnly = 0x800;  // ES_READONLY
inline constexpr unsigned kEsWantReturn = 0x1000;
inline constexpr unsigned kEsNumber = 0x2000;  // ES_NUMBER: digits only

enum : int {
  kEnSetFocus = 0x100,   // EN_SETFOCUS
  kEnKillFocus = 0x200,  // EN_KILLFOCUS
  kEnChange = 0x300,     // EN_CHANGE: the text changed (by the user or SetWindowText)
  kEnMaxText = 0x501,    // EN_MAXTEXT: typing was cut at the limit
};

/// The default text limit of an edit (single and multi-line).
constexpr int kEditDefaultLimit = 32767;

/// Selects START..END (character offsets; END -1 or past the text: to the
/// end; START -1: no selection, the caret stays) and shows the caret.
void EditSetSel(Hwnd h, int start, int end);
/// The selection as {start, end}, start <= end; the caret is at one end.
std::pair<int, int> EditGetSel(Hwnd h);
/// Replaces the selection with TEXT as typing would (not limited), notifying kEnChange.
void EditReplaceSel(Hwnd h, std::string_view text);
/// Text limit in characters (0 or less: the default). Typing stops there.
void EditSetLimit(Hwnd h, int limit);
int EditGetLimit(Hwnd h);
/// The modified flag: set by every change the user makes, cleared by the program.
void EditSetModify(Hwnd h, bool modified);
bool EditGetModify(Hwnd h);
/// Switches kEsReadOnly: a read-only edit refuses typing but keeps caret and selection.
void EditSetReadOnly(Hwnd h, bool readOnly);
/// Scrolls the caret into view.
void EditScrollCaret(Hwnd h);
/// Number of lines (1 for an empty or single-line edit) and the first line shown.
int EditGetLineCount(Hwnd h);
int EditGetFirstVisibleLine(Hwnd h);

// ---------------------------------------------------------------------------
// List boxes (class LISTBOX)

inline constexpr unsigned kLbsNotify = 0x1;  // LBS_NOTIFY: selection and double-click notifications
inline constexpr unsigned kLbsSort = 0x2;    // LBS_SORT: strings kept in order (case-insensitive)
inline constexpr unsigned kLbsMultipleSel = 0x8;  // LBS_MULTIPLESEL: a click toggles an item
inline constexpr unsigned kLbsHasStrings = 0x40;
inline constexpr unsigned kLbsUseTabStops = 0x80;
inline constexpr unsigned kLbsNoIntegralHeight = 0x100;
inline constexpr unsigned kLbsExtendedSel =
    0x800;  // LBS_EXTENDEDSEL: Shift and Ctrl extend the selection
inline constexpr unsigned kLbsDisableNoScroll = 0x1000;
inline constexpr unsigned kLbsNoSel = 0x4000;  // LBS_NOSEL: nothing can be selected

enum : int {
  kLbnSelChange = 1,  // LBN_SELCHANGE (user changed the selection)
  kLbnDblClk = 2,     // LBN_DBLCLK
  kLbnSelCancel = 3,  // LBN_SELCANCEL
  kLbnSetFocus = 4,   // LBN_SETFOCUS
  kLbnKillFocus = 5,  // LBN_KILLFOCUS
};

constexpr int kListError = -1;  // LB_ERR / CB_ERR

/// Adds TEXT at the end, or in order with kLbsSort; returns its index.
int ListBoxAddString(Hwnd h, std::string_view text);
/// Inserts TEXT at INDEX (-1: at the end), never sorted; returns its index or -1.
int ListBoxInsertString(Hwnd h, int index, std::string_view text);
/// Removes item INDEX; returns the count left, or -1.
int ListBoxDeleteString(Hwnd h, int index);
void ListBoxResetContent(Hwnd h);
int ListBoxGetCount(Hwnd h);
/// Item INDEX's text (nullopt when out of range).
std::optional<std::string> ListBoxGetText(Hwnd h, int index);
int ListBoxGetTextLength(Hwnd h, int index);
/// The first item after START (-1: from the top), wrapping round, whose text
/// begins with PREFIX (FindString) or equals TEXT (FindStringExact), either
/// without regard to case; -1 when none.
int ListBoxFindString(Hwnd h, int start, std::string_view prefix);
int ListBoxFindStringExact(Hwnd h, int start, std::string_view text);
/// The selected item of a single-selection list (-1: none); in a multiple-
/// selection list, the item with the focus rectangle.
int ListBoxGetCurSel(Hwnd h);
/// Selects INDEX (-1: nothing) in a single-selection list and scrolls it
/// into view; returns INDEX, or -1 when out of range or multiple-selection.
int ListBoxSetCurSel(Hwnd h, int index);
/// Selection state of one item; INDEX -1 in SetSel means every item
/// (multiple-selection lists only). SetSel returns false when refused.
bool ListBoxGetSel(Hwnd h, int index);
bool ListBoxSetSel(Hwnd h, int index, bool select);
/// Selects or clears FIRST..LAST (multiple-selection lists).
bool ListBoxSelItemRange(Hwnd h, int first, int last, bool select);
int ListBoxGetSelCount(Hwnd h);
std::vector<int> ListBoxGetSelItems(Hwnd h);
int ListBoxGetTopIndex(Hwnd h);
void ListBoxSetTopIndex(Hwnd h, int index);
bool ListBoxSetItemData(Hwnd h, int index, std::intptr_t data);
std::intptr_t ListBoxGetItemData(Hwnd h, int index);
/// The height of one item in pixels.
int ListBoxGetItemHeight(Hwnd h);

// ---------------------------------------------------------------------------
// Combo boxes (class COMBOBOX): an edit or a selection field with a button
// that drops a list down in a pop-up window. The window is created with the
// height it has with its list dropped; it keeps only its closed height.

inline constexpr unsigned kCbsSimple = 0x1;        // CBS_SIMPLE (treated as kCbsDropDown)
inline constexpr unsigned kCbsDropDown = 0x2;      // CBS_DROPDOWN: an edit and a list
inline constexpr unsigned kCbsDropDownList = 0x3;  // CBS_DROPDOWNLIST: a list only
inline constexpr unsigned kCbsTypeMask = 0x3;
inline constexpr unsigned kCbsAutoHScroll = 0x40;
inline constexpr unsigned kCbsSort = 0x100;  // CBS_SORT
inline constexpr unsigned kCbsHasStrings = 0x200;
inline constexpr unsigned kCbsUppercase = 0x2000;
inline constexpr unsigned kCbsLowercase = 0x4000;

enum : int {
  kCbnSelChange = 1,  // CBN_SELCHANGE
  kCbnDblClk = 2,
  kCbnSetFocus = 3,    // CBN_SETFOCUS
  kCbnKillFocus = 4,   // CBN_KILLFOCUS
  kCbnEditChange = 5,  // CBN_EDITCHANGE: the user changed the edit's text
  kCbnEditUpdate = 6,
  kCbnDropDown = 7,       // CBN_DROPDOWN
  kCbnCloseUp = 8,        // CBN_CLOSEUP
  kCbnSelEndOk = 9,       // CBN_SELENDOK
  kCbnSelEndCancel = 10,  // CBN_SELENDCANCEL
};

/// The identifier of the edit inside a kCbsDropDown combo box.
constexpr int kComboEditId = 1001;

int ComboBoxAddString(Hwnd h, std::string_view text);
int ComboBoxInsertString(Hwnd h, int index, std::string_view text);
int ComboBoxDeleteString(Hwnd h, int index);
void ComboBoxResetContent(Hwnd h);
int ComboBoxGetCount(Hwnd h);
std::optional<std::string> ComboBoxGetText(Hwnd h, int index);
int ComboBoxFindString(Hwnd h, int start, std::string_view prefix);
int ComboBoxFindStringExact(Hwnd h, int start, std::string_view text);
int ComboBoxGetCurSel(Hwnd h);
/// Selects INDEX (-1: none) and shows its text; returns INDEX or -1.
int ComboBoxSetCurSel(Hwnd h, int index);
bool ComboBoxSetItemData(Hwnd h, int index, std::intptr_t data);
std::intptr_t ComboBoxGetItemData(Hwnd h, int index);
/// Text limit of the edit part.
void ComboBoxLimitText(Hwnd h, int limit);
/// Drops the list down or closes it (notifying kCbnDropDown / kCbnCloseUp).
void ComboBoxShowDropDown(Hwnd h, bool show);
bool ComboBoxGetDroppedState(Hwnd h);
/// The pop-up list window while dropped (kNoWindow otherwise).
Hwnd ComboBoxGetListWindow(Hwnd h);
/// The edit child of a kCbsDropDown combo box (kNoWindow otherwise).
Hwnd ComboBoxGetEdit(Hwnd h);

// ---------------------------------------------------------------------------
// Scroll codes of HScroll and VScroll messages (low word of wParam)

enum : int {
  kSbLineUp = 0,  // SB_LINEUP / SB_LINELEFT / TB_LINEUP
  kSbLineDown = 1,
  kSbPageUp = 2,
  kSbPageDown = 3,
  kSbThumbPosition = 4,  // SB_THUMBPOSITION: the position is in the high word
  kSbThumbTrack = 5,     // SB_THUMBTRACK: while dragging
  kSbTop = 6,
  kSbBottom = 7,
  kSbEndScroll = 8,  // SB_ENDSCROLL / TB_ENDTRACK
};

// ---------------------------------------------------------------------------
// Scroll bar (class SCROLLBAR). Arrows and track clicks tell the parent
// (kSbLineUp, kSbPageDown, ...) and leave the position to it; dragging the
// thumb sends kSbThumbTrack and at the end kSbThumbPosition; every press ends
// with kSbEndScroll.

inline constexpr unsigned kSbsVert = 0x1;       // SBS_VERT
inline constexpr unsigned kSbsSizeBox = 0x8;    // SBS_SIZEBOX: a size box instead of a bar
inline constexpr unsigned kSbsSizeGrip = 0x10;  // SBS_SIZEGRIP
/// The bar is its parent window's own scroll bar: its scroll messages carry
/// no control (lParam 0), as a window's own bars do.
inline constexpr unsigned kSbsWindowBar = 0x200;

/// Range MIN..MAX with a page of PAGE (0: none); the position is kept so that
/// a page fits.
void ScrollBarSetRange(Hwnd h, int min, int max, int page = 0);
std::pair<int, int> ScrollBarGetRange(Hwnd h);
int ScrollBarGetPage(Hwnd h);
/// Returns the old position.
int ScrollBarSetPos(Hwnd h, int pos);
int ScrollBarGetPos(Hwnd h);

// ---------------------------------------------------------------------------
// A window's own scroll bars, for a window with kWsVScroll or kWsHScroll:
// scroll bar children along its right and bottom edges, which send their
// scroll messages to the window with lParam 0. A bar whose range holds no
// more than a page is disabled, never hidden. The window calls
// PlaceWindowScrollBars when it is created and sized, and lays out its own
// contents inside ClientInsideScrollBars.

inline constexpr int kWindowScrollBarSize = 16;

/// Creates the bars H's style asks for (once) and places them.
void PlaceWindowScrollBars(Hwnd h);
/// H's client area less its bars.
Rect ClientInsideScrollBars(Hwnd h);
/// The bar (kNoWindow when H has none).
Hwnd WindowScrollBar(Hwnd h, bool vertical);
/// Range, page and position of a bar (the position kept so that a page fits).
void SetWindowScrollInfo(Hwnd h, bool vertical, int min, int max, int page, int pos);
void SetWindowScrollPos(Hwnd h, bool vertical, int pos);
int GetWindowScrollPos(Hwnd h, bool vertical);
struct WindowScrollInfo {
  int min = 0;
  int max = 0;
  int page = 0;
  int pos = 0;
};
WindowScrollInfo GetWindowScrollInfo(Hwnd h, bool vertical);

// ---------------------------------------------------------------------------
// Header (class SysHeader32): a row of items, each a caption with a width.
// With kHdsButtons an item is pressed like a button and a click on it sends
// Notify kHdnItemClick. A press on the divider at an item's right edge first
// sends kHdnBeginTrack: a non-zero answer refuses the drag, else dragging
// changes the item's width and ends with kHdnEndTrack.

inline constexpr std::string_view kHeaderClass = "SysHeader32";
inline constexpr unsigned kHdsButtons = 0x2;
enum : int { kHdnItemClick = -302, kHdnBeginTrack = -306, kHdnEndTrack = -307 };
enum class HeaderAlign { Left = 0, Right = 1, Centre = 2 };
struct HeaderItem {
  std::string text;
  int width = 0;
  HeaderAlign align = HeaderAlign::Left;
};
/// What a header's Notify points at.
struct HeaderNotify {
  NotifyHeader hdr;
  int item = -1;
  int button = 0;  // 0 left, 1 right
};
/// Inserts ITEM before INDEX (at the end when INDEX is past it); the index
/// it took, or -1.
int HeaderInsertItem(Hwnd h, int index, const HeaderItem& item);
bool HeaderSetItem(Hwnd h, int index, const HeaderItem& item);
std::optional<HeaderItem> HeaderGetItem(Hwnd h, int index);
/// Removes item INDEX; false when there is none.
bool HeaderDeleteItem(Hwnd h, int index);
int HeaderItemCount(Hwnd h);

// ---------------------------------------------------------------------------
// Status bar (class msctls_statusbar32): a row of parts along the bottom of
// its parent. It places itself at the bottom of its parent when created and
// at StatusBarDock.

inline constexpr unsigned kSbarsSizeGrip = 0x100;
/// Borders of a status-bar part.
enum class PartBorder { None = 0, Sunken = 1, Raised = 2 };

/// Sets the parts' right edges in pixels (-1: to the end of the bar); texts
/// of parts that stay are kept. At most 255 parts.
bool StatusBarSetParts(Hwnd h, std::span<const int> rightEdges);
std::vector<int> StatusBarGetParts(Hwnd h);
bool StatusBarSetText(Hwnd h, int part, std::string_view text,
                      PartBorder border = PartBorder::Sunken);
std::string StatusBarGetText(Hwnd h, int part);
/// Single-part mode (shows the simple text over the whole bar) or back to the parts.
void StatusBarSetSimple(Hwnd h, bool simple);
bool StatusBarIsSimple(Hwnd h);
void StatusBarSetSimpleText(Hwnd h, std::string_view text);
/// Moves the bar to the bottom of its parent's client area, full width.
void StatusBarDock(Hwnd h);
/// The bar's height for its font.
int StatusBarHeight(Hwnd h);

// ---------------------------------------------------------------------------
// Toolbar (class ToolbarWindow32): buttons with images from one bitmap strip.
// A click sends Msg::Command with wParam = MakeWParam(command, kBnClicked)
// and lParam = the toolbar to the parent. With kTbStyleTooltips, a mouse
// resting on a button shows its tooltip, whose text the parent gives in
// answer to a TooltipTextNotify.

inline constexpr unsigned kTbStyleTooltips = 0x100;  // TBSTYLE_TOOLTIPS
inline constexpr unsigned kTbStyleFlat =
    0x800;                                  // TBSTYLE_FLAT: buttons raised only under the mouse
inline constexpr unsigned kCcsVert = 0x80;  // CCS_VERT: buttons in a column

struct ToolbarButton {
  int image = 0;    // index in the bitmap strip
  int command = 0;  // 0 makes a separator
  bool enabled = true;
  bool checked = false;
  bool checkable = false;  // a click toggles the check
};

/// The code of the tooltip text request (TTN_GETDISPINFO).
constexpr int kTtnGetDispInfo = -520;
/// Sent to the toolbar's parent as Notify; hdr.id is the command. The parent
/// fills TEXT (at most 79 characters are shown).
struct TooltipTextNotify {
  NotifyHeader hdr;
  std::string text;
};

/// The images, side by side, each IMAGESIZE; pixels of the strip's top-left
/// colour show the button face.
void ToolbarSetBitmap(Hwnd h, std::shared_ptr<const Surface> strip, Size imageSize);
void ToolbarAddButtons(Hwnd h, std::span<const ToolbarButton> buttons);
void ToolbarDeleteAll(Hwnd h);
int ToolbarButtonCount(Hwnd h);
/// Button INDEX (separators counted).
std::optional<ToolbarButton> ToolbarGetButton(Hwnd h, int index);
/// State of the button with COMMAND; false when there is none.
bool ToolbarEnableButton(Hwnd h, int command, bool enable);
bool ToolbarCheckButton(Hwnd h, int command, bool check);
bool ToolbarIsButtonEnabled(Hwnd h, int command);
bool ToolbarIsButtonChecked(Hwnd h, int command);
bool ToolbarHasButton(Hwnd h, int command);
/// The button's rectangle in the toolbar's client area (empty when none).
Rect ToolbarGetButtonRect(Hwnd h, int command);
/// Button size: image + 7 by image + 6 (a horizontal bar's height).
Size ToolbarButtonSize(Hwnd h);
/// The tooltip window while one shows (kNoWindow otherwise), and its text.
Hwnd ToolbarGetTooltip(Hwnd h);
/// How long the mouse must rest on a button before its tooltip shows.
constexpr std::uint32_t kTooltipDelayMs = 500;

// ---------------------------------------------------------------------------
// Up-down (class msctls_updown32): two arrows that step a position, often
// for a buddy edit beside them.

inline constexpr unsigned kUdsWrap = 0x1;  // UDS_WRAP: steps past an end wrap round
inline constexpr unsigned kUdsSetBuddyInt =
    0x2;  // UDS_SETBUDDYINT: the buddy's text shows the position
inline constexpr unsigned kUdsAlignRight =
    0x4;  // UDS_ALIGNRIGHT: placed against the buddy's right edge
inline constexpr unsigned kUdsAlignLeft = 0x8;
inline constexpr unsigned kUdsAutoBuddy =
    0x10;  // UDS_AUTOBUDDY: the control made before it is the buddy
inline constexpr unsigned kUdsArrowKeys = 0x20;
inline constexpr unsigned kUdsHorz = 0x40;  // UDS_HORZ: left and right arrows
inline constexpr unsigned kUdsNoThousands = 0x80;

/// Asked of the parent before a step (UDN_DELTAPOS); a non-zero answer
/// keeps the position. Then HScroll/VScroll with kSbThumbPosition follows.
constexpr int kUdnDeltaPos = -722;
struct UpDownNotify {
  NotifyHeader hdr;
  int pos = 0;    // the position before the step
  int delta = 0;  // +1 up (or right), -1 down (or left), times the step
};

/// The range; MIN may be above MAX (the up arrow then decreases).
void UpDownSetRange(Hwnd h, int min, int max);
std::pair<int, int> UpDownGetRange(Hwnd h);
/// Sets the position (kept within the range); returns the old one.
int UpDownSetPos(Hwnd h, int pos);
int UpDownGetPos(Hwnd h);
/// Sets the buddy window; returns the old one.
Hwnd UpDownSetBuddy(Hwnd h, Hwnd buddy);
Hwnd UpDownGetBuddy(Hwnd h);

// ---------------------------------------------------------------------------
// Trackbar (class msctls_trackbar32): a slider. Moves send HScroll (VScroll
// when vertical) with the scroll codes above, then kSbEndScroll.

inline constexpr unsigned kTbsAutoTicks = 0x1;
inline constexpr unsigned kTbsVert = 0x2;  // TBS_VERT
inline constexpr unsigned kTbsTop = 0x4;
inline constexpr unsigned kTbsBoth = 0x8;
inline constexpr unsigned kTbsNoTicks = 0x10;
inline constexpr unsigned kTbsEnableSelRange =
    0x20;  // TBS_ENABLESELRANGE: shows the selection span
inline constexpr unsigned kTbsNoThumb = 0x80;

void TrackbarSetRange(Hwnd h, int min, int max);
int TrackbarGetRangeMin(Hwnd h);
int TrackbarGetRangeMax(Hwnd h);
void TrackbarSetPos(Hwnd h, int pos);
int TrackbarGetPos(Hwnd h);
void TrackbarSetPageSize(Hwnd h, int size);
void TrackbarSetLineSize(Hwnd h, int size);
void TrackbarSetTicFreq(Hwnd h, int freq);
/// The selection span (kTbsEnableSelRange); START > END clears it.
void TrackbarSetSel(Hwnd h, int start, int end);
void TrackbarClearSel(Hwnd h);
/// The selection's ends, or nullopt when there is none.
std::optional<std::pair<int, int>> TrackbarGetSel(Hwnd h);

// ---------------------------------------------------------------------------
// Progress bar (class msctls_progress32)

inline constexpr unsigned kPbsSmooth = 0x1;  // PBS_SMOOTH: one bar instead of blocks
inline constexpr unsigned kPbsVertical = 0x4;

/// Range (default 0..100); the position is kept inside it.
void ProgressSetRange(Hwnd h, int min, int max);
std::pair<int, int> ProgressGetRange(Hwnd h);
/// Each returns the previous position.
int ProgressSetPos(Hwnd h, int pos);
int ProgressDeltaPos(Hwnd h, int delta);
int ProgressSetStep(Hwnd h, int step);  // default 10
/// Advances by the step, wrapping to the minimum past the maximum.
int ProgressStepIt(Hwnd h);
int ProgressGetPos(Hwnd h);

// ---------------------------------------------------------------------------
// Tab control (class SysTabControl32): a row of tabs over a page area. A
// click or an arrow key asks the parent with kTcnSelChanging (a non-zero
// answer keeps the tab), then changes and tells kTcnSelChange.

inline constexpr unsigned kTcsButtons = 0x100;
inline constexpr unsigned kTcsFocusNever = 0x8000;
enum : int { kTcnSelChange = -551, kTcnSelChanging = -552 };

/// Inserts a tab at INDEX (past the end: at the end); returns its index.
int TabInsertItem(Hwnd h, int index, std::string_view text, std::intptr_t data = 0);
bool TabDeleteItem(Hwnd h, int index);
void TabDeleteAllItems(Hwnd h);
int TabGetItemCount(Hwnd h);
std::optional<std::string> TabGetItemText(Hwnd h, int index);
bool TabSetItemText(Hwnd h, int index, std::string_view text);
std::intptr_t TabGetItemData(Hwnd h, int index);
int TabGetCurSel(Hwnd h);
/// Selects INDEX without notifying; returns the previous selection or -1.
int TabSetCurSel(Hwnd h, int index);
int TabGetCurFocus(Hwnd h);
void TabSetCurFocus(Hwnd h, int index);
/// The tab's rectangle in the control (empty when none).
Rect TabGetItemRect(Hwnd h, int index);
/// The tab under client point P, or -1.
int TabHitTest(Hwnd h, Point p);
/// LARGER false: the page area inside window rectangle R; true: the window
/// rectangle whose page area is R.
Rect TabAdjustRect(Hwnd h, bool larger, Rect r);

// ---------------------------------------------------------------------------
// Tree view (class SysTreeView32): items with a caption and a data word in a
// tree, one row each, children indented under their parent and shown while
// it is expanded. The user moves the selection with the mouse and the arrow
// keys, and expands or collapses with the box, a double click, Left/Right and
// the keypad "+" and "-". User changes are told to the parent with Notify and
// a TreeViewNotify: kTvnSelChanged after the selection moved,
// kTvnItemExpanded after a branch opened or closed, kNmDblClk on a double click
// (a non-zero answer keeps the branch as it is), kNmSetFocus when it gains the focus.

inline constexpr unsigned kTvsHasButtons = 0x1;   // TVS_HASBUTTONS: a +/- box before branches
inline constexpr unsigned kTvsHasLines = 0x2;     // TVS_HASLINES: dotted lines to the parent
inline constexpr unsigned kTvsLinesAtRoot = 0x4;  // TVS_LINESATROOT: boxes for root items too
inline constexpr unsigned kTvsEditLabels = 0x8;
inline constexpr unsigned kTvsDisableDragDrop = 0x10;
inline constexpr unsigned kTvsShowSelAlways = 0x20;  // TVS_SHOWSELALWAYS: selection shown unfocused

/// An item of a tree view; 0 is no item (and, as a parent, the root).
using TreeItem = std::intptr_t;
constexpr TreeItem kTreeNone = 0;
/// Where TreeViewInsertItem puts the new item among its siblings.
constexpr TreeItem kTreeFirst = -1;  // TVI_FIRST
constexpr TreeItem kTreeLast = -2;   // TVI_LAST

enum : int {
  kNmDblClk = -3,           // NM_DBLCLK
  kNmSetFocus = -7,         // NM_SETFOCUS: the tree gained the focus
  kTvnSelChanged = -402,    // TVN_SELCHANGED
  kTvnItemExpanded = -406,  // TVN_ITEMEXPANDED
};
/// How an item was expanded (TreeViewNotify::action of kTvnItemExpanded).
enum class TreeExpand { Collapse = 1, Expand = 2, Toggle = 3 };

struct TreeViewNotify {
  NotifyHeader hdr;
  TreeItem oldItem = kTreeNone;  // kTvnSelChanged: the item selected before
  TreeItem newItem = kTreeNone;  // the item selected now, expanded, or double-clicked
  int action = 0;                // kTvnItemExpanded: TreeExpand::Collapse or Expand
};

/// Relations TreeViewGetNextItem follows.
enum class TreeRelation {
  Root,          // the first root item
  Next,          // the next sibling
  Previous,      // the previous sibling
  Parent,        // the parent (kTreeNone for a root item)
  Child,         // the first child
  Selection,     // the selected item
  FirstVisible,  // the first row shown
  NextVisible,   // the next row shown (inside expanded branches)
};

/// Inserts an item under PARENT (kTreeNone: a root item) after sibling
/// AFTER (or kTreeFirst, kTreeLast); returns it, or kTreeNone when PARENT or
/// AFTER is no item of the tree (AFTER must be a child of PARENT).
TreeItem TreeViewInsertItem(Hwnd h, TreeItem parent, TreeItem after, std::string_view text,
                            std::intptr_t data = 0);
/// Deletes ITEM with its children (kTreeNone: every item).
bool TreeViewDeleteItem(Hwnd h, TreeItem item);
TreeItem TreeViewGetNextItem(Hwnd h, TreeItem item, TreeRelation relation);
/// Number of items in the tree.
int TreeViewGetCount(Hwnd h);
std::optional<std::string> TreeViewGetItemText(Hwnd h, TreeItem item);
bool TreeViewSetItemText(Hwnd h, TreeItem item, std::string_view text);
std::intptr_t TreeViewGetItemData(Hwnd h, TreeItem item);
bool TreeViewSetItemData(Hwnd h, TreeItem item, std::intptr_t data);
/// Selects ITEM (kTreeNone: nothing), expanding its ancestors and scrolling
/// it into view.
bool TreeViewSelectItem(Hwnd h, TreeItem item);
/// Expands, collapses or toggles ITEM; false when it has no children.
bool TreeViewExpand(Hwnd h, TreeItem item, TreeExpand action);
bool TreeViewIsExpanded(Hwnd h, TreeItem item);
bool TreeViewHasChildren(Hwnd h, TreeItem item);
/// The row of ITEM in client coordinates (empty when it is not shown).
Rect TreeViewGetItemRect(Hwnd h, TreeItem item);
/// The item whose row holds client point P (kTreeNone: none).
TreeItem TreeViewHitTest(Hwnd h, Point p);
/// Indent of one level in pixels.
constexpr int kTreeIndent = 16;

}  // namespace plat
