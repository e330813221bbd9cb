#include "toolkit/hardcopy/HardcopyDrivers.h"

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/PostScriptDriver.h"

namespace tk {

void StandHardcopyDrivers() {
  static PostScriptDriver postScript;
  StandHardcopyDriver(kDriverPostScript, &postScript);
}

}  // namespace tk
