// Velloran: the program's entry point. Starts the window system and runs the
// program until it exits.
#include "platform/backend/Backend.h"
#include "platform/window/Window.h"
#include "shell/Velloran.h"

int main() {
  plat::Init(plat::MakeDefaultBackend());
  const int code = vel::VELLORAN();
  plat::Shutdown();
  return code;
}
