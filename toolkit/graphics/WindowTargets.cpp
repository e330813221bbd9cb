// The window side of the drawing targets.
#include "toolkit/graphics/WindowTargets.h"

#include "platform/window/Window.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {
namespace {

std::optional<SurfaceBinding> WindowBinding(int n) {
  if (!WindowSlotInUse(n)) return std::nullopt;
  const plat::Hwnd client = WindowClientHandle(n);
  const plat::PaintContext ctx = plat::GetDrawContext(client);
  if (!ctx.surface) return std::nullopt;
  return SurfaceBinding{ctx.surface, ctx.origin, WindowClientSize(n), client, false, false};
}

// The window colours (0xRRGGBB) as toolkit RGB.
std::int32_t SystemColour(int item) {
  const plat::Pixel p = WindowColour(item == 45 ? 16 : 17);
  return PixelToRgb(p);
}

}  // namespace

void GraphicsConnectWindows() {
  GraphicsTargets t = Targets();
  t.currentWindow = [] { return CurrentWindow(); };
  t.peekWindow = WindowBinding;
  t.selectWindow = [](int n) -> std::optional<SurfaceBinding> {
    WindowMakeCurrent(n);  // reports 1003 itself for a window that is not open
    if (!WindowSlotInUse(n)) return std::nullopt;
    return WindowBinding(n);
  };
  t.systemColour = SystemColour;
  t.selectBitmap = BitmapSurfaceBinding;
  SetGraphicsTargets(std::move(t));

  GraphicsLink link = GetGraphicsLink();
  link.windowSurfaceResized = [](int n, plat::Size client) {
    WindowSurfaceResized(n, client.width, client.height);
  };
  link.windowSelected = [](int n) {
    GraphicsState& gs = Gs();
    if (gs.drawableKind != kDrawWindow) return;
    const std::optional<SurfaceBinding> b = WindowBinding(n);
    if (!b) return;
    gs.drawableNumber = n;
    ScreenSurfacePrepare(*b);
    const int quiet = gs.quietReselect;
    gs.quietReselect = 1;
    GraphicsSurfaceResize(kDrawWindow, n, b->size.width, b->size.height);
    gs.quietReselect = quiet;
  };
  // The graphics layer starts with the main window: the display's colours,
  // the default palette and a fresh drawing state.
  link.mainWindowOpened = [](int displayColours) {
    GraphicsStart(displayColours);
    PaletteLoadDefault();
    IGrStateReset();
  };
  link.windowClosing = [](int n) {
    const GraphicsState& gs = Gs();
    if (gs.drawableKind == kDrawWindow && gs.drawableNumber == n) ScreenSurfaceRelease();
  };
  link.plotMapping = [](std::array<double, 4>& area, std::array<double, 4>& units) {
    const GraphicsState& gs = Gs();
    area = {gs.areaFracX0, gs.areaFracY0, gs.areaFracX1, gs.areaFracY1};
    units = {gs.userX0, gs.userY0, gs.userX1, gs.userY1};
  };
  SetGraphicsLink(std::move(link));
}

}  // namespace tk
