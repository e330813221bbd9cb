// Velloran: the program's entry point. For now it opens the empty main
// window through the platform layer and runs the message loop until the
// window is closed.
#include "platform/backend/Backend.h"
#include "platform/window/Window.h"

namespace {

constexpr const char* kMainClass = "VelloranMain";

plat::LResult MainWindowProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  if (m == plat::Msg::Destroy) {
    plat::PostQuitMessage(0);
    return 0;
  }
  return plat::DefWindowProc(h, m, w, l);
}

}  // namespace

int main() {
  plat::Init(plat::MakeDefaultBackend());
  plat::RegisterWindowClass({kMainClass, MainWindowProc,
                             plat::kClassDblClks | plat::kClassHRedraw | plat::kClassVRedraw,
                             plat::Rgb(255, 255, 255)});
  // 60 % of the screen, centred.
  const plat::Size screen = plat::ScreenSize();
  const int width = screen.width * 60 / 100, height = screen.height * 60 / 100;
  const int x = (screen.width - width) / 2, y = (screen.height - height) / 2;
  plat::CreateWindow({.className = kMainClass,
                      .title = "Velloran",
                      .style = plat::kStyleVisible,
                      .rect = {x, y, x + width, y + height}});
  plat::Message msg;
  while (plat::GetMessage(msg)) {
    plat::TranslateMessage(msg);
    plat::DispatchMessage(msg);
  }
  plat::Shutdown();
  return static_cast<int>(msg.wParam);
}
