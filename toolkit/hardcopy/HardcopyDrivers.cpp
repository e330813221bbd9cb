#include "toolkit/hardcopy/HardcopyDrivers.h"

#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/ImageDevice.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/Cgm.h"
#include "toolkit/hardcopy/CgmMemory.h"
#include "toolkit/hardcopy/DxfDriver.h"
#include "toolkit/hardcopy/Hpgl.h"
#include "toolkit/hardcopy/Hpgl2.h"
#include "toolkit/hardcopy/ImageDriver.h"
#include "toolkit/hardcopy/MetafileDriver.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/PostScriptDriver.h"
#include "toolkit/hardcopy/RasterPrinter.h"
#include "toolkit/hardcopy/ScreenPrint.h"
#include "toolkit/hardcopy/SvgDriver.h"
#include "toolkit/hardcopy/WinPrinterDriver.h"

namespace tk {

void StandHardcopyDrivers() {
  static XXHPGL hpgl;
  static XXHPGL2 hpgl2;
  static PostScriptDriver postScript;
  static SvgDriver svg;
  static DxfDriver dxf;
  static XXWIN printer;
  static XXRAST raster;
  static XXCGM cgm;
  static XXIMAG image;
  static XXWMF metafile;
  StandHardcopyDriver(kDriverHpgl, &hpgl);
  StandHardcopyDriver(kDriverHpgl2, &hpgl2);
  StandHardcopyDriver(kDriverPostScript, &postScript);
  StandHardcopyDriver(kDriverSvg, &svg);
  StandHardcopyDriver(kDriverDxf, &dxf);
  StandHardcopyDriver(kDriverWindowsPrinter, &printer);
  ScreenSeams().endPage = PrintScreenImage;
  SetImageTargets([](int target, std::optional<plat::Rect>& clip) {
    return target == kDriverWindowsMetafile ? MetafileImageTarget(target, clip)
                                            : WinPrinterImageTarget(target, clip);
  });
  StandHardcopyDriver(kDriverRasterPrinter, &raster);
  StandHardcopyDriver(kDriverCgm, &cgm);
  StandHardcopyDriver(kDriverBitImage, &image);
  RegisterMemoryRecorder(XXCGMMEM);
  StandHardcopyDriver(kDriverWindowsMetafile, &metafile);
  ConnectMetafileSlots();
  InstallPolygonSeams();
}

}  // namespace tk
