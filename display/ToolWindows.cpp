#include "display/ToolWindows.h"

#include <cmath>
#include <cstdlib>

#include "support/PenPlot.h"
#include "support/UserMessages.h"
#include "toolkit/core/DialogStatus.h"
#include "toolkit/core/WindowUnits.h"
#include "toolkit/core/Windows.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/HardcopyDialogs.h"
#include "toolkit/hardcopy/HardcopySwitch.h"

namespace vel {

void RunToolLoop(const bool& running, const std::function<void(int type, const tk::EventRecord& e)>& handle) {
  while (running) {
    int type = 0;
    tk::EventRecord e;
    tk::WEventWait(type, e);
    handle(type, e);
  }
}

void ToolPress::Take(const tk::EventRecord& e) {
  time = e.time;
  x = e.x;
  y = e.y;
  button = e.value1;
  window = e.window;
  tk::WEventTypeSwitch(tk::kEventButtonUp, 1);
  tk::WEventTypeSwitch(tk::kEventMouseMove, 1);
}

bool ToolPress::Dragging(const tk::EventRecord& e) const {
  return button == 1 && e.time - time > kToolDragMilliseconds;
}

int OpenToolWindow(int flags, int menu, const ToolPlace& place, std::string_view title) {
  int number = -1;
  tk::WindowOpenChild(number, flags, place.x, place.y, place.width, place.height, menu);
  if (number < 1) return 0;
  tk::WindowReposition(place.width, place.height, place.x, place.y, place.state);
  tk::WindowTitle(title);
  return number;
}

void TakeToolPlace(ToolPlace& place, std::int32_t heightExtra) {
  place.state = tk::WindowQuery(9);
  if (place.state != 1) return;
  place.x = tk::WindowQuery(5);
  place.y = tk::WindowQuery(6);
  place.width = tk::WindowQuery(1);
  place.height = tk::WindowQuery(2) + heightExtra;
}

void CloseToolWindow(int& number, ToolPlace& place) {
  if (number < 1) {
    number = 0;
    return;
  }
  tk::WindowMakeCurrent(number);
  TakeToolPlace(place, 0);
  tk::WindowCloseChild(number);
  number = 0;
}

void DrawToolPicture(bool hardcopy, sup::GraphAxes& axes, const std::function<void()>& draw) {
  if (hardcopy)
    sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, axes);
  else
    sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  draw();
}

void PrintToolPicture(sup::GraphAxes& axes, const std::function<void()>& draw,
                      const std::function<void()>& beforePrint,
                      const std::function<void()>& afterPrint) {
  tk::WHardcopyOptions();
  if (tk::WDialogStatusQuery(4) != 1) return;
  tk::WCursorShape(tk::kCursorHourglass);
  sup::PLOTXY(0.0f, 1.0f, sup::kPenStartPage, axes);
  if (beforePrint) beforePrint();
  draw();
  tk::WHardcopySwitch("S");
  tk::IGrStateReset("P");
  sup::PLOTXY(1.0f, 0.0f, sup::kPenStartPage, axes);
  if (afterPrint) afterPrint();
  draw();
  tk::WCursorShape(tk::kCursorArrow);
}

bool ZoomBoxLargeEnough(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  return std::abs(x2 - x1) > 19 && std::abs(y2 - y1) > 19;
}

bool SpectrumRecordUsable(float sampleInterval, std::int64_t samples) {
  if (!(sampleInterval > 0.0f) || !std::isfinite(sampleInterval)) {
    sup::WINMSG("SAMPLE INTERVAL NOT VALID: NO SPECTRUM CAN BE COMPUTED");
    return false;
  }
  if (samples < 3) {
    sup::WINMSG("AT LEAST 3 SAMPLES ARE NEEDED FOR A SPECTRUM");
    return false;
  }
  return true;
}

}  // namespace vel
