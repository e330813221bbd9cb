// The graphics state: reset, target selection, plot area, units and queries.
#include "toolkit/graphics/GraphicsState.h"

#include <cctype>
#include <cmath>

#include "toolkit/core/Errors.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/ImageDevice.h"
#include "toolkit/graphics/PresentationGraphics.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/graphics/Text.h"

namespace tk {
namespace {

constexpr int kErrUnits = 16;
constexpr int kErrArea = 44;
constexpr int kErrTarget = 1019;
constexpr int kErrMetafile = 1060;

GraphicsTargets& TargetStore() {
  static GraphicsTargets t;
  return t;
}

int CurrentWindowNumber() {
  const GraphicsTargets& t = TargetStore();
  return t.currentWindow ? t.currentWindow() : 0;
}

void ReleaseSurface() {
  ScreenSurfaceRelease();
  if (TargetStore().releaseSurface) TargetStore().releaseSurface();
}

void Bind(const SurfaceBinding& b, int kind, int number) {
  ScreenSurfacePrepare(b);
  GraphicsSurfaceResize(kind, number, b.size.width, b.size.height);
}

// Applies the area fractions: device area, clip, scales (IGrArea steps 2-4).
void ApplyArea() {
  GraphicsState& gs = Gs();
  ClipRectangleSet(gs.extentX * gs.areaFracX0, gs.extentY * gs.areaFracY0,
                   gs.extentX * gs.areaFracX1, gs.extentY * gs.areaFracY1);
  gs.scaleX = gs.spanX > 0 ? gs.areaWidth / gs.spanX : gs.areaWidth;
  gs.scaleY = gs.spanY > 0 ? gs.areaHeight / gs.spanY : gs.areaHeight;
  // A window re-selected on behalf of other routines sends no clip to the
  // hardcopy; its text metrics still follow it when its plot area differs
  // from the one they were made for, so that text keeps its size on every
  // window whichever window was drawn in last.
  const bool areaMoved = gs.text.areaWidthPixels != gs.areaWidth ||
                         gs.text.areaHeightPixels != gs.areaHeight ||
                         gs.areaFracWidth != gs.areaFracX1 - gs.areaFracX0 ||
                         gs.areaFracHeight != gs.areaFracY1 - gs.areaFracY0;
  if (!gs.quietReselect) HardcopyDriverCall(DriverOperation::ClipRectangle);
  if (!gs.quietReselect || areaMoved) {
    gs.text.areaWidthPixels = gs.areaWidth;
    gs.text.areaHeightPixels = gs.areaHeight;
    gs.areaFracWidth = gs.areaFracX1 - gs.areaFracX0;
    gs.areaFracHeight = gs.areaFracY1 - gs.areaFracY0;
    if (TextHooks().areaChanged) TextHooks().areaChanged();
  }
}

std::int32_t Trunc(float v) {
  std::int32_t out;
  (void)TruncateIntChecked(v, out);
  return out;
}

}  // namespace

GraphicsState& Gs() {
  static GraphicsState gs;
  return gs;
}

GraphicsStateSaver::GraphicsStateSaver() {
  const GraphicsState& gs = Gs();
  previous_ = gs.previous;
  current_ = gs.current;
  lineType_ = gs.lineType;
  plotMode_ = gs.plotMode;
  fillStyle_ = gs.fillStyle;
  outline_ = gs.outlineFlag;
  density_ = gs.hatchDensity;
  angle_ = gs.hatchAngle;
}

GraphicsStateSaver::~GraphicsStateSaver() {
  GraphicsState& gs = Gs();
  gs.fillStyle = fillStyle_;
  gs.outlineFlag = outline_;
  gs.hatchDensity = density_;
  gs.hatchAngle = angle_;
  if (gs.plotMode != plotMode_) {
    gs.plotMode = plotMode_;
    ScreenDriverCall(DriverOperation::PlotMode);
  }
  if (gs.lineType != lineType_) {
    gs.lineType = lineType_;
    ScreenDriverCall(DriverOperation::LineType);
    HardcopyDriverCall(DriverOperation::LineType);
  }
  if (!(gs.current == current_ && gs.previous == previous_)) {
    // Two selections leave the saved pair as previous and current.
    ColourDirectSet(previous_.number, previous_.rgb, previous_.slot, 0);
    ColourDirectSet(current_.number, current_.rgb, current_.slot, 0);
  }
}

GraphicsHardcopyHooks& HardcopyHooks() {
  static GraphicsHardcopyHooks hooks;
  return hooks;
}

GraphicsTextHooks& TextHooks() {
  static GraphicsTextHooks hooks;
  return hooks;
}

void SetGraphicsTargets(GraphicsTargets targets) {
  TargetStore() = std::move(targets);
}
GraphicsTargets& Targets() {
  return TargetStore();
}

MetafileSlot& MetafileSlotAt(int slot) {
  static std::array<MetafileSlot, kMetafileSlots + 1> slots;
  return slots[(slot >= 1 && slot <= kMetafileSlots) ? slot : 0];
}

void GraphicsStart(int displayColours) {
  GraphicsState& gs = Gs();
  gs.screenOn = 0;
  gs.hardcopyOn = 0;
  gs.quietReselect = 0;
  gs.aspectRatio = 1.32f;
  gs.displayPaletteSize = displayColours == 2     ? 2
                          : displayColours == 16  ? 8
                          : displayColours == 256 ? 16
                                                  : 256;
  gs.paletteSize = gs.displayPaletteSize;
  ResetDriverDispatch();
  ScreenDisplaySet(displayColours);
  TextLayerInstall();
  ImageLayerInstall();
}

bool OptionLetterTest(std::string_view OPTIONS, char LETTER) {
  if (OPTIONS.find(LETTER) != std::string_view::npos) return true;
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(LETTER)));
  return OPTIONS.find(lower) != std::string_view::npos;
}

void IGrStateReset(std::string_view OPTIONS) {
  GraphicsState& gs = Gs();
  DriverParameters& dp = DriverParams();
  gs.areaFracX0 = gs.areaFracY0 = 0;
  gs.areaFracX1 = gs.areaFracY1 = 1;
  gs.areaFracWidth = gs.areaFracHeight = 1;
  gs.spanX = gs.spanY = 1;
  {
    TextAttributes fresh;
    fresh.charWidths = gs.text.charWidths;
    gs.text = fresh;
  }
  gs.fillRequestScreen = gs.fillRequestHardcopy = 0;
  gs.plotMode = kPlotCopy;
  gs.colourMode = 1;
  gs.previous.number = 0;
  gs.previous.rgb = 16777215;
  gs.current.number = 223;
  gs.current.rgb = 0;
  gs.lineType = 0;
  gs.screenLineWidth = 1;
  gs.metafileLineWidth = 5;
  if (OptionLetterTest(OPTIONS, 'H')) {
    gs.screenOn = 0;
  } else {
    gs.screenOn = 1;
    ScreenDriverCall(DriverOperation::BeginPicture);
  }
  IGrSelect(kDrawWindow, CurrentWindowNumber());
  if (gs.screenOn) {
    gs.paletteSize = gs.outputColours = gs.displayPaletteSize;
    const int previous = gs.previous.number, current = gs.current.number;
    IGrColourN(previous);
    IGrColourN(current);
    ScreenDriverCall(DriverOperation::PlotMode);
    ScreenDriverCall(DriverOperation::LineType);
    ScreenDriverCall(DriverOperation::LineWidth);
    ScreenDriverCall(DriverOperation::CharacterSize);
  }
  if (TextHooks().reset) TextHooks().reset();
  StrokeFontStandard(gs.fonts);
  // End any hardcopy output: the page, the output and a pending spool.
  gs.pagePending = 0;
  if (HardcopyHooks().end)
    HardcopyHooks().end();
  else
    HardcopyOutputEnd();
  dp.pageDirty = 0;
  if (HardcopyHooks().selectForReset)
    HardcopyHooks().selectForReset(dp.driverNumber != 0 && OptionLetterTest(OPTIONS, 'P'));
  IGrUnits(0, 0, 1, 1);
  gs.penX = gs.penY = 0;
  gs.fillStyle = kFillOutline;
  gs.outlineFlag = 1;
  gs.fillRequestScreen = gs.fillRequestHardcopy = 0;
  PgStateReset();
}

void IGrSelect(int KIND, std::optional<int> NUMBER) {
  GraphicsState& gs = Gs();
  GraphicsTargets& t = TargetStore();
  const int recorderBefore = gs.memoryRecorderOn;
  gs.memoryRecorderOn = 0;
  if (KIND >= kDrawWindow && KIND <= kDrawMetafile) {
    bool ok = false;
    std::optional<SurfaceBinding> b;
    gs.drawableKind = KIND;
    switch (KIND) {
      case kDrawWindow: {
        ReleaseSurface();
        gs.drawableNumber = NUMBER.value_or(CurrentWindowNumber());
        gs.drawableDialog = 0;
        const std::int32_t saved = ErrorState().lastError;
        ErrorState().lastError = 0;
        if (t.selectWindow) b = t.selectWindow(gs.drawableNumber);
        if (b) ErrorState().lastError = saved;
        break;
      }
      case kDrawBitmap:
        ReleaseSurface();
        gs.drawableNumber = NUMBER.value_or(1);
        gs.drawableDialog = 0;
        if (t.selectBitmap) b = t.selectBitmap(gs.drawableNumber);
        break;
      case kDrawDialogField:
        if (t.dialogCurrent && t.dialogCurrent()) {
          ReleaseSurface();
          gs.drawableNumber = NUMBER.value_or(0);
          gs.drawableDialog = t.currentDialog ? t.currentDialog() : 0;
          if (t.selectField) b = t.selectField(gs.drawableNumber);
        }
        break;
      default: {
        ReleaseSurface();
        gs.drawableNumber = NUMBER.value_or(1);
        gs.drawableDialog = 0;
        const MetafileSlot& slot = MetafileSlotAt(gs.drawableNumber);
        const bool valid = gs.drawableNumber >= 1 && gs.drawableNumber <= kMetafileSlots &&
                           slot.inUse && slot.kind != 0;
        if (valid && slot.kind == 6) {
          gs.memoryRecorderOn = 1;
          ScreenSurfaceRelease();
          GraphicsSurfaceResize(kDrawMetafile, gs.drawableNumber, slot.width, slot.height);
          ok = true;
        } else if (valid && slot.kind == 3 && t.selectMetafile) {
          b = t.selectMetafile(gs.drawableNumber);
        }
        break;
      }
    }
    if (b) {
      Bind(*b, KIND, gs.drawableNumber);
      ok = true;
    }
    if (!ok) {
      gs.drawableKind = kDrawWindow;
      gs.drawableNumber = CurrentWindowNumber();
      gs.drawableDialog = 0;
      std::optional<SurfaceBinding> w;
      if (t.selectWindow) {
        const std::int32_t saved = ErrorState().lastError;
        w = t.selectWindow(gs.drawableNumber);
        ErrorState().lastError = saved;
      }
      if (w) Bind(*w, kDrawWindow, gs.drawableNumber);
      ReportLibraryError(kErrTarget, "IGrSelect");
      return;
    }
  }
  ScreenDriverCall(DriverOperation::Select);
  if (recorderBefore || gs.memoryRecorderOn) {
    for (DriverOperation op :
         {DriverOperation::BeginPicture, DriverOperation::LineWidth, DriverOperation::LineType,
          DriverOperation::PaletteReload, DriverOperation::ClipRectangle})
      ScreenDriverCall(op);
  }
}

void GraphicsSurfaceResize(int kind, int number, int width, int height) {
  GraphicsState& gs = Gs();
  if (kind != gs.drawableKind || number != gs.drawableNumber) return;
  gs.width = width;
  gs.height = height;
  gs.maxX = width - 1;
  gs.maxY = height - 1;
  gs.extentX = static_cast<float>(width) - 0.01f;
  gs.extentY = static_cast<float>(height) - 0.01f;
  gs.aspectRatio = height == 0 ? 1.0f : static_cast<float>(width) / static_cast<float>(height);
  if (gs.hardcopyOn) {
    DriverParams().P2 = -1;
    HardcopyDriverCall(DriverOperation::BeginPicture);
  }
  ApplyArea();
}

void WindowSurfaceResized(int window, int width, int height) {
  if (window != CurrentWindowNumber()) return;
  // The screen driver's surface follows the window's new client size.
  ScreenSurfaceResized(width, height);
  GraphicsSurfaceResize(kDrawWindow, window, width, height);
}

void FieldSurfaceResized(int dialog, int field, int width, int height) {
  const GraphicsState& gs = Gs();
  if (gs.drawableKind != kDrawDialogField || gs.drawableNumber != field ||
      gs.drawableDialog != dialog)
    return;
  ScreenSurfaceResized(width, height);
  GraphicsSurfaceResize(kDrawDialogField, field, width, height);
}

void IGrArea(float XMIN, float YMIN, float XMAX, float YMAX) {
  GraphicsState& gs = Gs();
  auto axis = [](float lo, float hi, float& outLo, float& outHi) {
    if (lo < hi && hi > 0 && hi <= 1 && lo >= 0 && lo < 1) {
      outLo = lo;
      outHi = hi;
    } else {
      outLo = 0;
      outHi = 1;
      ReportLibraryError(kErrArea, "IGrArea");
    }
  };
  axis(XMIN, XMAX, gs.areaFracX0, gs.areaFracX1);
  axis(YMIN, YMAX, gs.areaFracY0, gs.areaFracY1);
  ApplyArea();
}

void ClipRectangleSet(float x0, float y0, float x1, float y1) {
  GraphicsState& gs = Gs();
  x0 = std::max(x0, 0.0f);
  y0 = std::max(y0, 0.0f);
  x1 = std::min(x1, gs.extentX);
  y1 = std::min(y1, gs.extentY);
  gs.areaX0 = x0;
  gs.areaY0 = y0;
  gs.areaX1 = x1;
  gs.areaY1 = y1;
  gs.clipX0 = x0 - 0.001f;
  gs.clipY0 = y0 - 0.001f;
  gs.clipX1 = x1 + 0.001f;
  gs.clipY1 = y1 + 0.001f;
  gs.clipPixX0 = Trunc(x0);
  gs.clipPixY0 = Trunc(y0);
  gs.clipPixX1 = Trunc(x1);
  gs.clipPixY1 = Trunc(y1);
  gs.clipPixWidth = gs.clipPixX1 - gs.clipPixX0 + 1;
  gs.clipPixHeight = gs.clipPixY1 - gs.clipPixY0 + 1;
  gs.areaWidth = x1 - x0;
  gs.areaHeight = y1 - y0;
  ScreenDriverCall(DriverOperation::ClipRectangle);
}

void IGrUnits(float XMIN, float YMIN, float XMAX, float YMAX) {
  GraphicsState& gs = Gs();
  auto axis = [](float lo, float hi, float& outLo, float& outHi) {
    if (lo < hi) {
      outLo = lo;
      outHi = hi;
    } else {
      outLo = 0;
      outHi = 1;
      ReportLibraryError(kErrUnits, "IGrUnits");
    }
  };
  axis(XMIN, XMAX, gs.userX0, gs.userX1);
  axis(YMIN, YMAX, gs.userY0, gs.userY1);
  gs.spanX = gs.userX1 - gs.userX0;
  gs.spanY = gs.userY1 - gs.userY0;
  gs.scaleX = gs.areaWidth / gs.spanX;
  gs.scaleY = gs.areaHeight / gs.spanY;
}

void UserToDevice(float UX, float UY, float& DX, float& DY) {
  const GraphicsState& gs = Gs();
  DX = (UX - gs.userX0) * gs.scaleX + gs.areaX0;
  DY = (UY - gs.userY0) * gs.scaleY + gs.areaY0;
}

void DeviceToUserUnits(float DX, float DY, float& UX, float& UY) {
  const GraphicsState& gs = Gs();
  // A plot area of no size maps everything to the range's start.
  UX = gs.scaleX != 0 ? (DX - gs.areaX0) / gs.scaleX + gs.userX0 : gs.userX0;
  UY = gs.scaleY != 0 ? (DY - gs.areaY0) / gs.scaleY + gs.userY0 : gs.userY0;
}

void IGrPixelToUnits(int PX, int PY, float& UX, float& UY) {
  DeviceToUserUnits(static_cast<float>(PX) + 0.5f, static_cast<float>(PY) + 0.5f, UX, UY);
}

void IGrUserToPixel(float UX, float UY, int& PX, int& PY) {
  float dx, dy;
  UserToDevice(UX, UY, dx, dy);
  if (dx < 0) dx -= 0.999f;
  if (dy < 0) dy -= 0.999f;
  PX = Trunc(dx);
  PY = Trunc(dy);
}

int IGrStateQuery(int ITEM) {
  const GraphicsState& gs = Gs();
  const DriverParameters& dp = DriverParams();
  const ScreenProperties& sp = ScreenDriverProperties();
  if (ITEM >= 1 && ITEM <= 29) return dp.capabilities[0][ITEM - 1] == '1' ? 1 : 0;
  auto colour = [&](const StateColour& c) { return gs.colourMode == 1 ? c.number : c.rgb; };
  switch (ITEM) {
    case 30:
      return gs.paletteSize;
    case 31:
      return gs.displayPaletteSize;
    case 32:
      return Trunc(gs.aspectRatio * 100.0f);
    case 33:
      return 5;
    case 34:
      return colour(gs.previous);
    case 35:
      return colour(gs.current);
    case 36:
      return gs.lineType;
    case 37:
      return gs.plotMode;
    case 38:
      return sp.item38;
    case 39:
      return gs.fonts.current.charsetBits;
    case 40:
      return dp.textAngles[0];
    case 41:
      return dp.platformLevel[0];
    case 42:
      return dp.trueColour[0];
    case 43:
      return gs.drawableKind;
    case 44:
      return gs.drawableNumber;
    case 45:
    case 46:
      return TargetStore().systemColour ? TargetStore().systemColour(ITEM) : 0;
    case 49:
      return dp.gradientFill[0];
    default:
      return 0;
  }
}

void WMetafileDestroy(int SLOT) {
  if (SLOT < 1 || SLOT > kMetafileSlots || MetafileSlotAt(SLOT).kind == 0) {
    ReportLibraryError(kErrMetafile, "WMetafileDestroy");
    return;
  }
  if (MetafileSlotAt(SLOT).kind == 3 && TargetStore().destroyMetafile)
    TargetStore().destroyMetafile(SLOT);
  MetafileSlotAt(SLOT) = MetafileSlot{};
}

}  // namespace tk
