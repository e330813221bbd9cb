#include "toolkit/hardcopy/ToolkitStart.h"

#include "toolkit/core/Windows.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/WindowTargets.h"
#include "toolkit/grid/Grid.h"
#include "toolkit/hardcopy/GridPrinter.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HardcopySwitch.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PrintHandOver.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk {

void ConnectHardcopy() {
  const auto end = [] { WHardcopySwitch("S"); };  // the page, the output and a pending spool
  SetHardcopyEndHook([end] {
    end();
    // Shutdown also frees the metafile slots still in use.
    for (int slot = 1; slot <= kMetafileSlots; ++slot)
      if (MetafileSlotAt(slot).inUse) WMetafileDestroy(slot);
  });
  HardcopyHooks().end = end;
  HardcopyHooks().selectForReset = HardcopySelectForReset;
  StandHardcopyDrivers();
  ConnectGridPrinting();
  ConnectPrintWait();
}

void WToolkitStart(std::string_view configFile) {
  if (ToolkitStart().started) return;
  GraphicsConnectWindows();  // the graphics targets to the window table
  ConnectHardcopy();
  if (!StartToolkitCore(configFile)) return;
  RegisterGridClasses();  // before any dialog holding a grid loads
  EditorBuffersAllocate();
  SetEditorBuffersFreeHook([](int n) {
    if (n < 0)
      EditorBuffersRelease();
    else
      EditorBuffersFreeWindow(n);
  });
  ApplyConfiguredDeviceModels(ToolkitStart().deviceModels);
  ExitWhenVersionRequested();
}

}  // namespace tk
