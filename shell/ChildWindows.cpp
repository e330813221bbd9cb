#include "shell/ChildWindows.h"

#include <optional>
#include <string>

#include "display/Refraction.h"
#include "display/WaveletPlot.h"
#include "shell/Velloran.h"
#include "support/PenPlot.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Menus.h"
#include "toolkit/core/Windows.h"
#include "toolkit/graphics/Graphics.h"

namespace vel {
namespace {

// A negative remembered x or y centres the window on the screen: it opens
// centred, and the reposition that follows keeps that coordinate.
int CentredIfNegative(int v) { return v < 0 ? tk::kKeepOrCentre : v; }
std::optional<int> KeptIfNegative(int v) { return v >= 0 ? std::optional<int>(v) : std::nullopt; }

}  // namespace

std::array<ChildWindowEntry, 2> ChildWindowTable(Velloran& app) {
  return {{
      {&app.waveletWindow, &app.settings.waveletWindow, "WWave", kWaveletMenu, kWaveletToolbar},
      {&app.refractionWindow, &app.settings.refractionWindow, "Ref Window", kRefractionMenu,
       kRefractionToolbar},
  }};
}

void WINDOWWV(Velloran& app) {
  if (app.waveletWindow > 0) {
    tk::WindowMakeCurrent(app.waveletWindow);
    tk::IGrBlankArea();
    return;
  }
  WindowPlacement& place = app.settings.waveletWindow;
  place.width = std::max(place.width, kWaveletLeastSize);
  place.height = std::max(place.height, kWaveletLeastSize);
  std::string title(kWaveletTitle);
  title.resize(80, ' ');
  int number = -1;
  tk::WindowOpenChild(number, kWaveletWindowFlags, CentredIfNegative(place.x),
                      CentredIfNegative(place.y), place.width, place.height, kWaveletMenu, {}, 0,
                      title);
  if (number < 1) return;  // every window number in use: the toolkit has said so
  app.waveletWindow = number;
  tk::WindowReposition(place.width, place.height, KeptIfNegative(place.x),
                       KeptIfNegative(place.y), place.state);
  tk::WMenuWindow(kWaveletMenu, number);
  tk::WMenuToolbar(kWaveletToolbar, number, 1);
  constexpr int kStatusWidths[] = {1000, 1500, 1500, 1500, 5000};
  tk::WindowStatusParts(5, kStatusWidths);
  tk::WindowRaiseChild(number);
  // The wavelet window's menu has no Zoom item: the check mark only
  // matters to windows that carry it, and the miss is no error.
  tk::WMenuSetState(40017, 2, app.settings.LZOOM ? 1 : 0);
  (void)tk::WErrorStatusQuery(1);
}

void CLOSEWAVEWIND(Velloran& app) {
  if (app.waveletWindow <= 0) return;
  tk::WindowMakeCurrent(app.waveletWindow);
  TakePlacement(app.settings.waveletWindow, app.toolbarHeight);
  tk::WindowCloseChild(app.waveletWindow);
  app.waveletWindow = -1;
  tk::WindowMakeCurrent(tk::kMainWindow);
}

void REFRACT(Velloran& app, bool PRINT) {
  RefractionResult& r = app.refraction;
  RefractionGraph graph;
  if (!InterpretRefraction(app.record, r.directCount, r.v1, r.v2, r.depth, r.intercept, graph))
    return;
  if (PRINT) {
    sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, graph.axes);
    PlotRefractionGraph(graph, r);
    return;
  }
  WindowPlacement& place = app.settings.refractionWindow;
  if (app.refractionWindow < 1) {
    std::string title(kRefractionTitle);
    title.resize(80, ' ');
    int number = -1;
    tk::WindowOpenChild(number, kRefractionWindowFlags, CentredIfNegative(place.x),
                        CentredIfNegative(place.y), place.width, place.height, kRefractionMenu, {},
                        0, title);
    if (number < 1) return;  // every window number in use: the toolkit has said so
    app.refractionWindow = number;
    tk::WindowReposition(place.width, place.height, KeptIfNegative(place.x),
                         KeptIfNegative(place.y), place.state);
    tk::WMenuToolbar(kRefractionToolbar, number, 1);
  } else {
    tk::WindowMakeCurrent(app.refractionWindow);
  }
  tk::WindowTitle(kRefractionTitle);
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, graph.axes);
  PlotRefractionGraph(graph, r);
  TakePlacement(place, app.toolbarHeight);
}

void RefreshRefractionWindow(Velloran& app) {
  if (app.refractionWindow <= 0) return;
  app.refraction.directCount = 0;
  REFRACT(app, false);
  tk::WindowMakeCurrent(tk::kMainWindow);
}

void CLOSEREFRACTWIND(Velloran& app) {
  if (app.refractionWindow <= 0) return;
  tk::WindowMakeCurrent(app.refractionWindow);
  TakePlacement(app.settings.refractionWindow, app.toolbarHeight);
  tk::WindowCloseChild(app.refractionWindow);
  app.refractionWindow = -1;
  tk::WindowMakeCurrent(tk::kMainWindow);
}

void RedrawWaveletWindow(Velloran& app) {
  const SelectedWavelet& w = app.picking.wavelet;
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, app.picking.waveletAxes);
  PLOTWAVE(w.samples, w.sampleInterval, w.count, app.picking.waveletAxes);
}

}  // namespace vel
