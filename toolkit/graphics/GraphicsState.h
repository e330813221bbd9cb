#pragma once
// The one drawing state of the toolkit, the drawing targets it can select
// and the mapping of user units to device pixels over the plot area.
//
// Device units are real pixel positions of the current drawable with the
// origin at the bottom-left corner and y upwards; a pixel's column is the
// integer part of x and its row from the bottom the integer part of y.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Geometry.h"
#include "platform/draw/Surface.h"
#include "platform/window/Messages.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/graphics/StrokeFont.h"

namespace tk {

/// The drawing targets of IGrSelect: the kinds of current drawable the
/// toolkit core keeps (one type, so both headers can meet in one file).
inline constexpr DrawableKind kDrawWindow = kDrawableWindow;
inline constexpr DrawableKind kDrawBitmap = kDrawableBitmap;
inline constexpr DrawableKind kDrawDialogField = kDrawableField;
inline constexpr DrawableKind kDrawMetafile = kDrawableMetafile;

/// Plot modes (IGrDrawMode).
enum PlotMode : std::int32_t { kPlotCopy = 0, kPlotOr = 1, kPlotAnd = 2, kPlotXor = 3 };

/// Fill styles (IGrFillStyle).
enum FillStyleCode : std::int32_t {
  kFillOutline = 0,
  kFillHatch = 1,
  kFillCrossHatch = 2,
  kFillHalftone = 3,
  kFillSolid = 4,
};

/// A colour as the state holds it: palette number (-1 when an RGB colour
/// has none), packed RGB and device slot.
struct StateColour {
  std::int32_t number = 0;
  std::int32_t rgb = 0;
  std::int32_t slot = 0;
  friend bool operator==(const StateColour&, const StateColour&) = default;
};

/// The text attributes the reset restores; the text routines own their meaning.
struct TextAttributes {
  float charWidth = 0.01333333f;  // fraction of the plot area's width
  float charHeight = 0.04f;       // fraction of the plot area's height
  std::int32_t strokeFamily = 0;
  std::int32_t deviceFace = 1;
  std::string userFace = std::string(100, ' ');
  std::int32_t spacingMode = 0;
  std::int32_t substituteFace = 1;
  std::int32_t styleBits = 0;
  float slant = 0;
  float angle = 0;
  float cosA = 1;
  float qSinA = 0;
  float sinAOverQ = 0;
  std::int32_t hJustify = 1;
  std::int32_t vJustify = 2;
  std::int32_t vertical = 0;
  std::int32_t screenScaleTest = 1;
  std::int32_t hardcopyScaleTest = 1;
  float columns = 0;  // character cells across the device width, as realised
  float rows = 0;     // and up its height
  // Direction products of the text pass being drawn: w cos a, w q sin a,
  // h cos a and h sin a / q for the pass's cell (w, h).
  float passWCos = 0, passWQSin = 0, passHCos = 0, passHSinQ = 0;
  float passCellWidth = 0, passCellHeight = 0;
  float areaWidthPixels = 0;  // plot area in device units, copied by IGrArea
  float areaHeightPixels = 0;
  std::array<float, 256> charWidths{};
};

struct GraphicsState {
  // Target
  std::int32_t drawableKind = kDrawWindow;
  std::int32_t drawableNumber = 0;
  std::int32_t drawableDialog = 0;
  std::int32_t memoryRecorderOn = 0;
  std::int32_t quietReselect = 0;
  // Extent
  std::int32_t width = 0, height = 0;
  std::int32_t maxX = -1, maxY = -1;
  float extentX = 0, extentY = 0;
  float aspectRatio = 1.32f;
  // Plot area: fractions and device units
  float areaFracX0 = 0, areaFracY0 = 0, areaFracX1 = 1, areaFracY1 = 1;
  float areaFracWidth = 1, areaFracHeight = 1;
  float areaX0 = 0, areaY0 = 0, areaX1 = 0, areaY1 = 0;
  float areaWidth = 0, areaHeight = 0;
  // Clip
  float clipX0 = 0, clipY0 = 0, clipX1 = 0, clipY1 = 0;
  std::int32_t clipPixX0 = 0, clipPixY0 = 0, clipPixX1 = 0, clipPixY1 = 0;
  std::int32_t clipPixWidth = 0, clipPixHeight = 0;
  // Units
  float userX0 = 0, userY0 = 0, userX1 = 1, userY1 = 1;
  float spanX = 1, spanY = 1;
  float scaleX = 1, scaleY = 1;
  // Pen
  float penX = 0, penY = 0;
  // Output
  std::int32_t screenOn = 0;
  std::int32_t hardcopyOn = 0;
  std::int32_t pagePending = 0;
  // Colour
  std::int32_t displayPaletteSize = 256;
  std::int32_t paletteSize = 256;
  std::int32_t outputColours = 256;
  std::int32_t colourMode = 1;
  StateColour previous{0, 16777215, 0};
  StateColour current{223, 0, 223};
  // Line
  std::int32_t lineType = 0;
  std::int32_t screenLineWidth = 1;
  std::int32_t metafileLineWidth = 5;
  std::int32_t hardcopyLineWidth = 5;  // hardcopy option 9
  // Fill
  std::int32_t fillStyle = kFillOutline;
  std::int32_t outlineFlag = 1;
  std::int32_t hatchDensity = 2;
  std::int32_t hatchAngle = 3;
  std::int32_t fillRequestScreen = 0;
  std::int32_t fillRequestHardcopy = 0;
  std::int32_t glyphFill = 0;
  // Mode
  std::int32_t plotMode = kPlotCopy;
  // Text
  TextAttributes text;
  StrokeFontStore fonts;
};

/// The toolkit's one graphics state.
GraphicsState& Gs();

/// Saves the attributes a temporary change may touch (colours, line, fill,
/// plot mode, text) and restores them when it goes; the driver is told of
/// the restored plot mode, line type and colour.
class GraphicsStateSaver {
 public:
  GraphicsStateSaver();
  ~GraphicsStateSaver();
  GraphicsStateSaver(const GraphicsStateSaver&) = delete;
  GraphicsStateSaver& operator=(const GraphicsStateSaver&) = delete;

 private:
  StateColour previous_, current_;
  std::int32_t lineType_, plotMode_, fillStyle_, outline_, density_, angle_;
};

/// Where the screen driver draws: a surface, the pixel of the drawable's
/// top-left corner on it, and the drawable's size. WINDOW, when set, is the
/// window whose backing surface this is (its drawing is queued for showing).
struct SurfaceBinding {
  plat::Surface* surface = nullptr;
  plat::Point origin;
  plat::Size size;
  plat::Hwnd window = plat::kNoWindow;
  bool dialogField = false;
  bool metafile = false;
};

/// How the graphics layer reaches the owners of drawing targets. Each hook
/// makes the target the drawing surface and returns its binding, or nothing
/// when it cannot. Hooks left empty mean the target does not exist.
struct GraphicsTargets {
  std::function<int()> currentWindow;
  std::function<std::optional<SurfaceBinding>(int window)> selectWindow;
  /// The binding of a window's client area without selecting it.
  std::function<std::optional<SurfaceBinding>(int window)> peekWindow;
  std::function<std::optional<SurfaceBinding>(int slot)> selectBitmap;
  std::function<bool()> dialogCurrent;
  std::function<int()> currentDialog;
  std::function<std::optional<SurfaceBinding>(int field)> selectField;
  std::function<std::optional<SurfaceBinding>(int slot)> selectMetafile;
  /// Frees an enhanced-metafile slot's recording or picture.
  std::function<void(int slot)> destroyMetafile;
  /// The picture of an enhanced-metafile slot drawn at its own size (null
  /// when the slot holds none).
  std::function<std::shared_ptr<plat::Surface>(int slot)> metafileImage;
  std::function<void()> releaseSurface;
  /// System colours: window text (item 45) and background.
  std::function<std::int32_t(int item)> systemColour;
};
void SetGraphicsTargets(GraphicsTargets targets);
GraphicsTargets& Targets();

/// What the text routines do when the state changes; installed by the text layer.
struct GraphicsTextHooks {
  /// The plot area changed (not while a window is re-selected quietly):
  /// refresh the text angle terms and the character metrics.
  std::function<void()> areaChanged;
  /// The state reset: apply the character size and reset the width table.
  std::function<void()> reset;
};
GraphicsTextHooks& TextHooks();

/// What a reset of the graphics state asks of the hardcopy layer; installed
/// by it at start-up. Empty: the output is ended here, nothing else.
struct GraphicsHardcopyHooks {
  /// Ends the page, the output and a pending spool.
  std::function<void()> end;
  /// Clears the hardcopy option table and selects the driver again; KEEP
  /// keeps the selected device's options and file name.
  std::function<void(bool keep)> selectForReset;
};
GraphicsHardcopyHooks& HardcopyHooks();

/// Metafile slots (none is ever created by the program).
struct MetafileSlot {
  std::int32_t kind = 0;  // 0 free, 3 enhanced metafile, 6 memory CGM
  std::int32_t inUse = 0;
  /// The drawable's size in pixels (a memory CGM: its VDC extent).
  std::int32_t width = 0, height = 0;
  /// The page size in points.
  std::int32_t first = 0, second = 0;
  /// A memory CGM's buffer: CAPACITY bytes, the first USED of them recorded.
  std::string cgm;
  std::int32_t capacity = 0;
  std::int32_t used = 0;
};
inline constexpr int kMetafileSlots = 20;
MetafileSlot& MetafileSlotAt(int slot);  // 1-20

/// Toolkit start of the graphics layer: outputs off, aspect ratio 1.32,
/// display palette size from the display's colour count, dispatch number 10.
void GraphicsStart(int displayColours = 1 << 24);

/// Records a drawable's pixel size when KIND and NUMBER are the current drawable.
void GraphicsSurfaceResize(int kind, int number, int width, int height);
/// Size hooks of the window and dialog procedures.
void WindowSurfaceResized(int window, int width, int height);
void FieldSurfaceResized(int dialog, int field, int width, int height);

/// Plot area and clip rectangle from real device positions.
void ClipRectangleSet(float x0, float y0, float x1, float y1);

/// True when LETTER (or its lower case) occurs in OPTIONS.
bool OptionLetterTest(std::string_view OPTIONS, char LETTER);

/// The transform of user units to device units and back.
void UserToDevice(float UX, float UY, float& DX, float& DY);
void DeviceToUserUnits(float DX, float DY, float& UX, float& UY);

}  // namespace tk
