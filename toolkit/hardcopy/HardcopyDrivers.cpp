#include "toolkit/hardcopy/HardcopyDrivers.h"

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/Cgm.h"
#include "toolkit/hardcopy/CgmMemory.h"
#include "toolkit/hardcopy/DxfDriver.h"
#include "toolkit/hardcopy/Hpgl.h"
#include "toolkit/hardcopy/Hpgl2.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/RasterPrinter.h"
#include "toolkit/hardcopy/SvgDriver.h"

namespace tk {

void StandHardcopyDrivers() {
  static XXHPGL hpgl;
  static XXHPGL2 hpgl2;
  static PostScriptDriver postScript;
  static SvgDriver svg;
  static DxfDriver dxf;
  static XXRAST raster;
  static XXCGM cgm;
  StandHardcopyDriver(kDriverHpgl, &hpgl);
  StandHardcopyDriver(kDriverHpgl2, &hpgl2);
  StandHardcopyDriver(kDriverPostScript, &postScript);
  StandHardcopyDriver(kDriverSvg, &svg);
  StandHardcopyDriver(kDriverDxf, &dxf);
  StandHardcopyDriver(kDriverRasterPrinter, &raster);
  StandHardcopyDriver(kDriverCgm, &cgm);
  RegisterMemoryRecorder(XXCGMMEM);
  InstallPolygonSeams();
}

}  // namespace tk
