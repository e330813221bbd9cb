#include "toolkit/hardcopy/HardcopyDrivers.h"

#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/Hpgl.h"
#include "toolkit/hardcopy/Hpgl2.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/RasterPrinter.h"

namespace tk {

void StandHardcopyDrivers() {
  static XXHPGL hpgl;
  static XXHPGL2 hpgl2;
  static XXRAST raster;
  StandHardcopyDriver(kDriverHpgl, &hpgl);
  StandHardcopyDriver(kDriverHpgl2, &hpgl2);
  StandHardcopyDriver(kDriverRasterPrinter, &raster);
  InstallPolygonSeams();
}

}  // namespace tk
