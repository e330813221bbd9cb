#include "toolkit/hardcopy/HardcopyDrivers.h"

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/DxfDriver.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/SvgDriver.h"

namespace tk {

void StandHardcopyDrivers() {
  static PostScriptDriver postScript;
  static SvgDriver svg;
  static DxfDriver dxf;
  StandHardcopyDriver(kDriverPostScript, &postScript);
  StandHardcopyDriver(kDriverSvg, &svg);
  StandHardcopyDriver(kDriverDxf, &dxf);
}

}  // namespace tk
