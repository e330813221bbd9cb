#pragma once
// The grid control's records: one GridRecord per grid field, kept with the
// JQXGRID window, with its columns, their cell storage and flags, and the
// module state the grid files share.
//
// Rows and columns count from 0 in these records; every routine, event value
// and file the application sees counts them from 1.
//
// Windows of one grid: the JQXGRID window (the dialog field) holds the
// column header (style 0x200), the row-label controls (style 0x400) and the
// cell area (class JQXGRIDCLIENT); the cell area holds the hidden column
// prototypes and the in-place editor of the current cell.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/Font.h"
#include "platform/window/Window.h"
#include "toolkit/dialogs/DialogExtras.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

inline constexpr std::string_view kGridClass = "JQXGRID";
inline constexpr std::string_view kGridClientClass = "JQXGRIDCLIENT";

/// Grid styles: the low word of the grid field's window style.
enum GridStyle : unsigned {
  kGridSelectionEvents = 0x0020,  // selection changes raise field-changed events
  kGridPasteEvents = 0x0040,      // paste and clear raise field-changed events
  kGridNoLabelLines = 0x0080,     // the "[Grids]" entry has no label lines
  kGridKeepHeight = 0x0100,       // keeps the template height
  kGridColumnHeaders = 0x0200,
  kGridRowLabels = 0x0400,
  kGridReadOnly = 0x0800,
  kGridEnterMovesDown = 0x1000,
  kGridTabMoves = 0x4000,
  kGridWrapRows = 0x8000,
};

/// Private messages of the grid window.
inline constexpr plat::Msg kGmBuildColumns = plat::UserMessage(1);  // 1025
inline constexpr plat::Msg kGmReadLabels = plat::UserMessage(2);    // 1026
inline constexpr plat::Msg kGmUpdateScroll = plat::UserMessage(3);  // 1027
inline constexpr plat::Msg kGmSetSize = plat::UserMessage(4);       // 1028
inline constexpr plat::Msg kGmDisplayOnly = plat::UserMessage(5);   // 1029

/// Limits: columns and rows as a packed cell can name them.
inline constexpr int kMaxGridColumns = 16383;
inline constexpr int kMaxGridRows = 262143;
/// A string cell holds this many characters unless "[Lengths]" says.
inline constexpr int kDefaultCellTextLength = 1024;
/// A row label holds at most this many characters.
inline constexpr std::size_t kRowLabelLength = 50;
/// Numbers are written into texts of at most this many characters.
inline constexpr std::size_t kNumberTextLength = 50;
/// The edit descriptor of a real or double column without a format.
inline constexpr std::string_view kDefaultGridFormat = "(G15.5E2)";

enum GridColumnType : std::int32_t {
  kColumnString = 0,
  kColumnInteger = 1,
  kColumnReal = 2,
  kColumnDouble = 3,
  kColumnCheckBox = 4,
  kColumnOption = 5,
};

/// Bits of a cell's flag byte.
enum CellFlags : std::uint8_t {
  kCellLocked = 1,   // the user cannot change the cell
  kCellPresent = 2,  // the cell holds a value
  kCellEntered = 4,  // a non-blank value was stored since the last clear-all
};

/// A cell's own colours: flag bit 0 a text colour is set, bit 1 a background.
struct CellColour {
  std::uint8_t flags = 0;
  std::uint8_t text[3] = {0, 0, 0};        // red, green, blue
  std::uint8_t background[3] = {0, 0, 0};  // red, green, blue
};
static_assert(sizeof(CellColour) == 7);

struct GridColumn {
  std::int32_t width = 0;  // pixels, with the grid line shared with the right neighbour
  std::int32_t type = kColumnString;
  std::int32_t textLength = 0;  // string columns; 11 for integer columns
  std::string className;        // the template control's class (the editor's too)
  // Cell storage, one element per row of the capacity, in the vector of the
  // column's type: texts (string), ints (integer, check box, option index
  // from 0, -1 none), reals, doubles.
  std::vector<std::string> texts;
  std::vector<std::int32_t> ints;
  std::vector<float> reals;
  std::vector<double> doubles;
  std::vector<std::uint8_t> cellFlags;
  std::vector<CellColour> cellColours;  // empty until the first colour put
  plat::Hwnd prototype = plat::kNoWindow;
  ControlRecord settings;  // the prototype's settings record
};

struct GridRecord : plat::WindowExtra {
  plat::Hwnd window = plat::kNoWindow;  // the JQXGRID window
  std::int32_t built = 0;
  std::int32_t columnCount = 0;
  std::int32_t maxLeftColumn = 0;
  std::int32_t rowCapacity = 0;
  std::int32_t builtColumnCount = 0;
  std::int32_t rowCount = 0;
  std::int32_t visibleRows = 0;
  std::int32_t labelWindowCount = 0;
  std::int32_t shownRows = 0;
  std::int32_t rowHeight = 0;  // a row's height plus the grid line it shares
  std::int32_t currentColumn = 0;
  std::int32_t currentRow = 0;
  std::int32_t leftColumn = 0;
  std::int32_t rightColumn = 0;
  std::int32_t topRow = 0;
  std::int32_t labelWidth = 0;
  std::int32_t headerHeight = 0;
  std::int32_t columnDialogId = 0;
  std::int32_t selFirstRow = -1;
  std::int32_t selLastRow = -1;
  std::int32_t selFirstColumn = -1;
  std::int32_t selLastColumn = -1;
  std::int32_t anchorColumn = -1;
  std::int32_t anchorRow = -1;
  std::int32_t scrollScale = 1;
  std::int32_t pendingTopRow = 0;
  std::int32_t wheelDelta = 0;
  std::int32_t initialClientHeight = 0;
  std::int32_t frameHeight = 0;
  std::vector<GridColumn> columns;
  plat::Hwnd cellArea = plat::kNoWindow;
  plat::Hwnd editor = plat::kNoWindow;  // the in-place editor of the current cell
  DialogField editorField;              // its field record: class, window, settings
  plat::Hwnd columnHeader = plat::kNoWindow;
  std::vector<plat::Hwnd> labelWindows;
  plat::Hwnd menuTarget = plat::kNoWindow;
  std::vector<std::string> rowLabels;  // one per row of the capacity
  plat::Hwnd droppedList = plat::kNoWindow;
  std::int32_t modified = 0;
  std::int32_t changed = 0;
  std::int32_t displayOnly = 0;
  std::shared_ptr<const plat::Font> font;
};

/// The record of grid window H (null when H is no grid or has none yet).
GridRecord* GridOf(plat::Hwnd h);
/// The grid named by FIELD: 0 the grid of the current window when it is a
/// grid window, else the JQXGRID field of the current dialog. Null when none.
GridRecord* FindGrid(int field);
/// Style bits of the grid window.
unsigned GridStyleOf(const GridRecord& g);
/// The dialog field of grid G in the dialog holding it (null when none).
DialogField* GridField(const GridRecord& g);

// ---------------------------------------------------------------------------
// Module state

/// A changed cell is repainted at once; 0 while a bulk operation runs.
int& RepaintCellsAtOnce();

// ---------------------------------------------------------------------------
// Building (GridBuild.cpp)

/// Applies grid G's "[Grids]" entry E; a failure destroys the grid window.
void GridBuildFromExtras(GridRecord& g, const ExtrasEntry& e);
/// GM_BUILDCOLUMNS: the columns from the controls of column template D, in
/// template order or at the 1-based POSITIONS given. 1 built, 0 failed.
int GridBuildColumns(GridRecord& g, LoadedDialog& d, const std::vector<int>* positions);
/// GM_READLABELS: the label width in dialog units and the label lines. The
/// lines consumed, or -1 when a control could not be made.
int GridReadLabels(GridRecord& g, int labelWidthUnits, const std::vector<std::string>& lines);
/// GM_SETSIZE.
void GridSetSize(GridRecord& g, int rows, int columns);
/// Pixels of a rectangle in dialog units with the metrics of FONT.
plat::Rect DialogUnitsToPixels(const plat::Font* font, const plat::Rect& du);
/// The text of one cell; DISPLAY 1 gives check boxes as the one-character
/// codes 0xFC (checked) and 0xFB, else "Yes" and "No".
std::string GridCellText(const GridRecord& g, int column, int row, int display);
/// Clears every cell; EMPTYLISTS empties the option lists too.
void GridClearAllCells(GridRecord& g, int emptyLists);
/// Releases what the grid owns (the window goes with its children).
void GridRelease(GridRecord& g);
/// The option texts of column C's prototype.
std::vector<std::string> GridColumnOptions(const GridColumn& c);
/// Makes grid T (freshly created, its font set) a copy of grid S: sizes,
/// positions, flags, row labels, and every column with its cells, flags,
/// colours, settings, prototype and option list; the cell area, the header
/// items and the row-label controls are made for it. False when a window
/// or memory runs out.
bool GridCopyFrom(GridRecord& t, const GridRecord& s);

// ---------------------------------------------------------------------------
// The window (GridWindow.cpp)

/// Grid line x of column J (cell-area pixels; J may be one past the last
/// visible column); columns left of leftColumn count as off the area.
int GridColumnLine(const GridRecord& g, int column);
/// Width of the cell area's client.
int GridCellAreaWidth(const GridRecord& g);
/// The fitting rule: the last column from FIRST on that fits into WIDTH.
int GridLastFittingColumn(const GridRecord& g, int first, int width);
/// Subclasses a column-header or row-label control: the arrow cursor, and
/// transparent to the mouse while the grid is display-only.
void GridSubclassHeader(plat::Hwnd h);
/// GM_UPDATESCROLL.
void GridUpdateScroll(GridRecord& g);
/// Vertical and horizontal scrolls by T rows or columns (clamped).
void GridScrollRows(GridRecord& g, int t);
void GridScrollColumns(GridRecord& g, int t);
/// The row-label controls show the labels of the visible rows.
void GridRefreshRowLabels(GridRecord& g);
/// The grid's context menu at SCREEN, opened on TARGET (the editor or the
/// cell area); the chosen command is carried out.
void GridOpenContextMenu(GridRecord& g, plat::Hwnd target, plat::Point screen);
/// Marks one cell for repainting when visible; NOW repaints at once.
void GridInvalidateCell(GridRecord& g, int column, int row, int now);
/// Repaints column C's strip of the cell area at once when it is visible.
void GridRepaintColumn(GridRecord& g, int column);
/// The selected look of a check-box picture: button-face pixels become the
/// highlight colour.
void MakeHighlightBitmap(const plat::Surface& picture, plat::Surface& result,
                         plat::Surface& scratch);
/// The font, row measure and snapping of a set-font.
void GridSetFont(GridRecord& g, std::shared_ptr<const plat::Font> font);

// ---------------------------------------------------------------------------
// Hooks for the selection and the in-place editor, which come with their
// own files: what the data model and the window call of them.

/// Removes the selected block (selFirstRow -1) and repaints what it covered.
void GridDeselect(GridRecord& g);
/// Whether cell (COLUMN, ROW) lies in the selected block.
bool GridCellInSelection(const GridRecord& g, int column, int row);
/// Stores the editor's text into the current cell (nothing without editor).
void GridStoreEditor(GridRecord& g);
/// Makes (COLUMN, ROW) the current cell; TAKEFOCUS gives the editor the focus.
void GridMoveCurrentCell(GridRecord& g, int column, int row, bool takeFocus);
/// Creates the editor of the current cell when there is none.
void GridCreateEditor(GridRecord& g);
/// Stores and destroys the editor.
void GridDestroyEditor(GridRecord& g);
/// True when the editor holds a number it refuses (the user is told).
bool GridEditorRefusesScroll(GridRecord& g);
/// Whether the editor serves cell (COLUMN, ROW).
bool GridEditorServes(const GridRecord& g, int column, int row);
/// Selects the block between two cells (any corners); the anchor stays.
void GridSelectBlock(GridRecord& g, int column1, int row1, int column2, int row2);
/// Marks the visible part of the selected block for repainting.
void GridRepaintSelection(GridRecord& g);

// ---------------------------------------------------------------------------
// The selected block and the clipboard texts (GridSelection.cpp)

/// Makes the block the selection; nothing when it is the selection already.
/// With style 0x20 the dialog hears of it (value3 2, the packed corners).
void GridSetSelection(GridRecord& g, int firstRow, int lastRow, int firstColumn, int lastColumn);
/// A click on item ITEM of header control FROM (the column header: item 0
/// the corner; or a row-label control): whole columns, rows or all cells.
void GridHeaderClick(GridRecord& g, plat::Hwnd from, int item);
/// Not read-only, and no cell of the block Locked.
bool GridSelectionWritable(const GridRecord& g);
/// Not read-only, and no Locked cell where a clipboard block of ROWS by
/// COLUMNS would land from the current cell on (inside the grid).
bool GridPasteBlockWritable(const GridRecord& g, int rows, int columns);
/// 0 no text, 1 a single value, 2 a block of cells (a TAB or a line end).
int ClipboardTextKind(const std::optional<std::string>& text);
/// The rows and columns of a clipboard block; a line ends at CR LF, or at a
/// bare LF or CR, and a last line end adds no row.
void ClipboardTextBlockSize(std::string_view text, int& rows, int& columns);
/// The block as clipboard text: TAB between cells, CR LF between rows, no
/// line end after the last; cells without value give empty fields.
std::string GridSelectionText(const GridRecord& g);
/// Pastes TEXT from the current cell on, each field converted to its
/// column's type; refused fields and fields outside the grid are skipped.
void GridPasteText(GridRecord& g, std::string_view text);
/// Empties the block's cells (Present cleared, Entered kept).
void GridClearSelection(GridRecord& g);

// ---------------------------------------------------------------------------
// The system clipboard (GridClipboard.cpp)

/// The kind of the clipboard's text (see ClipboardTextKind).
int GridClipboardKind();
/// The size of the block in the clipboard; 1 by 1 without text.
void ClipboardBlockSize(int& rows, int& columns);
/// The clipboard block may be pasted at the current cell.
bool GridPasteTargetWritable(const GridRecord& g);
/// Puts the block's text on the clipboard; on failure the user is told and
/// the answer is false.
bool GridCopySelection(GridRecord& g);
/// Pastes the clipboard's text at the current cell.
void GridPasteClipboard(GridRecord& g);
/// Copies the block and, when that succeeded, clears it.
void GridCutSelection(GridRecord& g);
/// The clipboard commands of an edit editor on its text selection.
enum class EditorClipCommand { Cut, Copy, Paste, Clear };
void EditorClipboardCommand(GridRecord& g, plat::Hwnd edit, EditorClipCommand command);

// ---------------------------------------------------------------------------
// The current cell and its editor (GridEditor.cpp)

/// (COLUMN + 1) x 262144 + ROW + 1.
std::int32_t GridPackedCell(int column, int row);
/// Makes (COLUMN, ROW) the current cell: validates, stores and destroys
/// the old editor and makes the new one. TAKEFOCUS gives the grid the
/// focus; EXTEND extends the selection from the anchor (or the old cell).
void GridSetCurrentCell(GridRecord& g, int column, int row, bool takeFocus, bool extend);
void GridCreateCellEditor(GridRecord& g);
void GridLoadCellEditor(GridRecord& g);
void GridSaveCellEditor(GridRecord& g);
void GridDestroyCellEditor(GridRecord& g);
/// Sets the editor's text as loading it does: no change notification.
void GridSetEditorText(GridRecord& g, std::string_view text);
/// A locked editor refuses changes: edits read-only (spin arrows disabled),
/// check boxes plain; an unlock does nothing in a read-only grid.
void GridEditorSetLocked(plat::Hwnd editor, int type, bool locked, bool now);
/// The grid's read-only style bit changed: the editor is read-only when the
/// grid is or its cell is locked, and the cells are repainted.
void GridReadOnlyChanged(GridRecord& g);
/// Sends the scroll request MESSAGE/CODE to the grid; EXTEND extends the
/// selection from the anchor to the new current cell.
void GridScrollExtend(GridRecord& g, plat::Msg message, int code, bool extend);
/// The grid got the focus from PREVIOUS: the current cell comes into view,
/// the editor takes the focus (its whole text selected when PREVIOUS is the
/// cell area).
void GridTakeFocus(GridRecord& g, plat::Hwnd previous);
/// A button press at P in the cell area.
void GridCellAreaButton(GridRecord& g, plat::Msg m, plat::WParam w, plat::Point p);
/// The mouse moved to P (cell-area pixels) with the left button held.
void GridDragSelect(GridRecord& g, plat::Point p);
/// A notification CODE from the editor.
void GridEditorCommand(GridRecord& g, int code);
/// The change request of a spin editor's arrows; true when handled.
bool GridEditorSpinNotify(GridRecord& g, const plat::NotifyHeader& hdr);
/// A spin editor's arrows scrolled (CODE the scroll code).
void GridEditorSpinScroll(GridRecord& g, int code);
/// True when the editor holds a number its field refuses (the user is told).
bool GridEditorRefusesMove(GridRecord& g);
/// The field record of cell editor H (null when H is none).
DialogField* GridEditorField(plat::Hwnd h);
/// An up-down control's procedure that hands a Shift+left press to the
/// control's buddy; OWN is the control's own procedure.
plat::LResult SpinShiftClickProc(const plat::WindowProc& own, plat::Hwnd h, plat::Msg m,
                                 plat::WParam w, plat::LParam l);
/// Gives up-down control UPDOWN that procedure.
void InstallSpinShiftClick(plat::Hwnd upDown);
/// Forgets the editing state the grids share.
void ResetGridEditing();

}  // namespace tk
