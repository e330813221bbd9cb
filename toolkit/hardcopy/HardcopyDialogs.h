#pragma once
// The hardcopy option dialogs: WHardcopyOptions lets the user change the
// options of the selected driver, through the device dialog (plotter,
// PostScript, raster printer and HP-GL/2 printer: output name, device list,
// picture size and position, orientation, and a dialog of more options) or
// the file dialog of a file-writing driver (SVG, image, DXF, CGM, metafile).
// Whether the last dialog ended with OK is left in WDialogStatusQuery item 4.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

/// Dialog identifiers: the device dialog, and 32000 + n for the file dialog
/// of driver n or the more-options dialog n of the device dialog.
inline constexpr int kHardcopyDeviceDialog = 32098;
inline constexpr int kHardcopyFileDialogBase = 32000;

/// How the file dialog is used: as the more options of the device dialog,
/// or as the one dialog of a file-writing driver.
enum HardcopyDialogMode : int {
  kHardcopyMoreOptions = 1,
  kHardcopyFileOutput = 3,
};

/// Units of the option dialogs: 0 points, 1 inches, 2 centimetres, 3 millimetres.
struct HardcopyUnit {
  double factor;  // a length shown is points x factor
  std::string_view deviceName;
  std::string_view fileName;
};
/// UNIT 0-3 (others give points).
const HardcopyUnit& HardcopyUnitOf(int unit);

/// Lets the user change the options of the selected driver. UNIT 0-3; a
/// negative unit uses its magnitude and disables the colour and line-style
/// fields (options 6, 7, 9, 10, 11) of the file dialogs; absent or above 3:
/// inches where the locale measures in inches, centimetres otherwise. NAME,
/// when given, is the output name the dialog edits and gives back on OK
/// (keeping its size); otherwise the dialog edits HardcopyFileName.
/// Error 46 while no driver is selected; error 63 for the Windows printer,
/// which is not available here.
void WHardcopyOptions(std::optional<int> unit = std::nullopt, std::string* name = nullptr);

/// The device dialog for driver 1, 2, 4 or 12 with UNIT 0-3; NAME is the
/// working output name (its size is kept). RESTRICT goes to the more-options
/// dialog.
void HardcopyDialogDevice(int unit, std::string& name, int driver, bool restrict);

/// The file dialog DIALOG (32000 + a driver number, or a more-options
/// dialog) in MODE, with UNIT 0-3; NAME as for the device dialog.
void HardcopyDialogFile(int unit, std::string& name, int dialog, int mode, bool restrict);

/// The more-options dialog of the device dialog for DRIVER: 32000 + the
/// driver number, or for the raster printer by the current model's class
/// and colour planes (32021-32025).
int HardcopyMoreOptionsDialog(int driver);

}  // namespace tk
