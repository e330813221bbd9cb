#include "toolkit/hardcopy/HardcopyDrivers.h"

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/Cgm.h"
#include "toolkit/hardcopy/CgmMemory.h"
#include "toolkit/hardcopy/Hpgl.h"
#include "toolkit/hardcopy/Hpgl2.h"

namespace tk {

void StandHardcopyDrivers() {
  static XXHPGL hpgl;
  static XXHPGL2 hpgl2;
  StandHardcopyDriver(kDriverHpgl, &hpgl);
  StandHardcopyDriver(kDriverHpgl2, &hpgl2);
  static XXCGM cgm;
  StandHardcopyDriver(kDriverCgm, &cgm);
  RegisterMemoryRecorder(XXCGMMEM);
}

}  // namespace tk
