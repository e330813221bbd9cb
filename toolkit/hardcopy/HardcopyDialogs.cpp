// The hardcopy option dialogs and WHardcopyOptions.
//
// Both dialogs are shown semi-modeless and run their own event loop on
// WEventWait: OK and Cancel end it, the other push buttons (browse, more
// options) and field changes (orientation, device list) are handled in it.
#include "toolkit/hardcopy/HardcopyDialogs.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>
#include <span>
#include <vector>

#include "platform/FixedText.h"
#include "platform/controls/Controls.h"
#include "toolkit/core/Errors.h"
#include "toolkit/core/Events.h"
#include "toolkit/core/FileSelect.h"
#include "toolkit/core/MessageBox.h"
#include "toolkit/core/ModalState.h"
#include "toolkit/core/OsServices.h"
#include "toolkit/core/Rounding.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/dialogs/Dialogs.h"
#include "toolkit/graphics/Drivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/ModelTables.h"
#include "toolkit/hardcopy/PageSetup.h"
#include "toolkit/hardcopy/PrintHandOver.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk {
namespace {

constexpr std::string_view kRoutine = "WHardcopyOptions";
constexpr int kErrNoHardcopyDriver = 46;  // "No graphics hardcopy driver currently selected"
constexpr int kErrNoWindowsPrinter = 63;  // "Windows printer not available"
constexpr std::string_view kNoPrinterMessage = "No printer is available";
constexpr std::string_view kRealFormat = "(F10.2)";

// Field identifiers of the option dialogs; option k is field 1000 + k.
enum : int {
  kFieldOk = 1,
  kFieldCancel = 2,
  kOptionFieldBase = 1000,
  kFieldName = 1201,
  kFieldBrowse = 1202,
  kFieldDeviceList = 1203,
  kFieldSizeLabel = 1206,
  kFieldMoreOptions = 1207,
  kFieldPortrait = 1208,
  kFieldLandscape = 1209,
  kFieldClipboard = 1210,
  kFieldToFile = 1211,
  kFieldTypeLabel = 3002,
};

constexpr std::array<HardcopyUnit, 4> kUnits{{{1.0, "points", "pts"},
                                              {0.0138889, "inches", "ins"},
                                              {0.0352778, "cm", "cm"},
                                              {0.3527778, "mm", "mm"}}};

/// What the browse button of each driver's dialog offers.
struct BrowseChoice {
  int driver;
  std::string_view filter;
  std::string_view title;
};
constexpr std::array<BrowseChoice, 9> kBrowse{{
    {kDriverHpgl, "HP-GL plotter file|*.plt|", "HP-GL file"},
    {kDriverPostScript, "PostScript file|*.ps;*.eps|", "PostScript file"},
    {kDriverRasterPrinter, "HP PCL/Epson/IBM printer file|*.prn|", "HP PCL/Epson/IBM printer file"},
    {kDriverHpgl2, "HP-GL/2 file|*.plt|", "HP-GL/2 file"},
    {kDriverSvg, "Scalable Vector Graphics file|*.svg|", "SVG file"},
    {kDriverBitImage, "BMP/PCX/PNG file|*.bmp;*.pcx;*.png|", "BMP/PCX/PNG bit image file"},
    {kDriverDxf, "AutoCAD DXF file|*.dxf|", "DXF file"},
    {kDriverCgm, "Computer Graphics Metafile|*.cgm|", "CGM file"},
    {kDriverWindowsMetafile, "Windows Metafile|*.wmf;*.emf|", "Windows Metafile"},
}};

const BrowseChoice* BrowseOf(int driver) {
  for (const BrowseChoice& b : kBrowse)
    if (b.driver == driver) return &b;
  return nullptr;
}

bool HasField(int field) {
  return WDialogFieldInfo(field, 5) != kFieldOther;
}

// --- Option lists of the current dialog, by the field's platform control ---
// An option whose value no entry stands for shows no entry, and reading such
// a list back is no error here, which the dialog manager's list calls would
// report; so these few work on the list or combo control itself.

plat::Hwnd FieldHandle(int field) {
  LoadedDialog* d = CurrentDialog();
  DialogField* f = d ? FindField(*d, field) : nullptr;
  return f ? f->hwnd : plat::kNoWindow;
}

bool IsComboField(int field) {
  return WDialogFieldInfo(field, 5) == kFieldComboBox;
}

/// Selects entry N (1-based; 0 or out of range: none).
void SelectEntry(int field, int n) {
  const plat::Hwnd h = FieldHandle(field);
  if (IsComboField(field)) {
    const int count = plat::ComboBoxGetCount(h);
    plat::ComboBoxSetCurSel(h, n >= 1 && n <= count ? n - 1 : -1);
  } else {
    const int count = plat::ListBoxGetCount(h);
    plat::ListBoxSetCurSel(h, n >= 1 && n <= count ? n - 1 : -1);
  }
}

void FillEntries(int field, std::span<const std::string> entries, int selected) {
  const plat::Hwnd h = FieldHandle(field);
  const bool combo = IsComboField(field);
  if (combo)
    plat::ComboBoxResetContent(h);
  else
    plat::ListBoxResetContent(h);
  for (const std::string& e : entries) {
    if (combo)
      plat::ComboBoxAddString(h, e);
    else
      plat::ListBoxAddString(h, e);
  }
  SelectEntry(field, selected);
}

/// The selected entry (1-based; 0 none).
int SelectedEntry(int field) {
  const plat::Hwnd h = FieldHandle(field);
  const int sel = IsComboField(field) ? plat::ComboBoxGetCurSel(h) : plat::ListBoxGetCurSel(h);
  return sel < 0 ? 0 : sel + 1;
}

// --- Numbers ---

/// The number in FIELD; a blank or unreadable text counts as 0.
double FieldNumber(int field) {
  std::string text(64, ' ');
  WDialogGetString(field, text);
  const std::string t(plat::TrimRight(text));
  const std::size_t start = t.find_first_not_of(' ');
  if (start == std::string::npos) return 0.0;
  const char* begin = t.c_str() + start;
  char* end = nullptr;
  const double v = std::strtod(begin, &end);
  return end != begin && *end == '\0' ? v : 0.0;
}

void PutLength(int field, std::int32_t points, double factor) {
  WDialogPutReal(field, static_cast<float>(points * factor), kRealFormat);
}

std::int32_t GetLength(int field, double factor) {
  return NearestInt(FieldNumber(field) / factor);
}

// --- The event loop of an option dialog ---

/// Keeps the switches of the event types a dialog needs, switches them on,
/// and puts them back.
class DialogEventTypes {
 public:
  DialogEventTypes() {
    for (std::size_t i = 0; i < kTypes.size(); ++i) {
      EventTypeEnabled(kTypes[i], kept_[i]);
      WEventTypeSwitch(kTypes[i], 1);
    }
  }
  ~DialogEventTypes() {
    for (std::size_t i = 0; i < kTypes.size(); ++i) WEventTypeSwitch(kTypes[i], kept_[i]);
  }
  DialogEventTypes(const DialogEventTypes&) = delete;
  DialogEventTypes& operator=(const DialogEventTypes&) = delete;

 private:
  static constexpr std::array<int, 2> kTypes{kEventPushButton, kEventFieldChanged};
  std::array<int, 2> kept_{};
};

/// Shows dialog DIALOG (current) semi-modeless and takes its events until
/// OK or Cancel, which it answers (a close of the wait counts as Cancel).
/// HANDLE gets the dialog's other push buttons and field changes, with the
/// dialog current; the dialog is made current again after it.
int RunOptionDialog(int dialog, const std::function<void(int type, const EventRecord&)>& handle) {
  DialogEventTypes types;
  WDialogShow(-1, -1, 0, kShowSemiModeless);
  for (;;) {
    int type = 0;
    EventRecord r;
    WEventWait(type, r);
    if (type == kEventClose) return kFieldCancel;
    if (r.window != dialog) continue;
    if (type == kEventPushButton && (r.value1 == kFieldOk || r.value1 == kFieldCancel))
      return r.value1;
    if (type == kEventPushButton || type == kEventFieldChanged) {
      handle(type, r);
      WDialogSelect(dialog);
    }
  }
}

/// Loads DIALOG and makes it current; false (reported by the dialog layer)
/// when it cannot be loaded.
bool LoadOptionDialog(int dialog) {
  WDialogLoad(dialog);
  return WDialogStatusQuery(3) == dialog;
}

void CloseOptionDialog() {
  WDialogHide();
  WDialogUnload();
}

void SetResultFlag(int flag) {
  DialogStatus().answer = flag;
}

/// The browse button: the file selection with the driver's filter and
/// title; a chosen name goes into the name field.
void Browse(int driver) {
  const BrowseChoice* b = BrowseOf(driver);
  if (b == nullptr) return;
  std::string name(kHardcopyNameLength, ' ');
  WDialogGetString(kFieldName, name);
  int filterIndex = 1;
  SelectFileCore(-1, b->filter, static_cast<int>(b->filter.size()), kSelectSave, name, b->title,
                 filterIndex, 0);
  if (WDialogStatusQuery(4) == 1) WDialogPutString(kFieldName, plat::TrimRight(name));
}

/// After option CODE (22 or 26) changed, the working NAME takes the
/// extension the option gives, as HardcopyFileName does.
void FollowExtension(int code, std::string& name) {
  const int driver = DriverParams().driverNumber;
  if ((code == 22 && driver == kDriverPostScript) || (code == 26 && driver == kDriverBitImage))
    (void)ReplaceNameExtension(name, HardcopyOptionExtension(code, HardcopyOption(code)));
}

/// The working name: NAME's text blank-padded to its size (at least 1).
void ReadName(std::string& name) {
  std::string text(std::max<std::size_t>(name.size(), 1), ' ');
  WDialogGetString(kFieldName, text);
  name = std::move(text);
}

// --- Everything the device dialog may change, to put back on Cancel ---

struct KeptOptions {
  std::array<std::int32_t, kHardcopyOptionCount + 1> main{};
  std::array<std::int32_t, kHardcopyStoredLast - kHardcopyStoredFirst + 1> stored{};
  std::string fileName;
  DeviceModelState models;
  RasterModelLimits limits;

  KeptOptions() {
    for (int k = 1; k <= kHardcopyOptionCount; ++k) main[k] = HardcopyOption(k);
    for (int k = kHardcopyStoredFirst; k <= kHardcopyStoredLast; ++k)
      stored[k - kHardcopyStoredFirst] = HardcopyOption(k);
    fileName = HardcopyFileName();
    models = CurrentDeviceModels();
    limits = CurrentRasterModelLimits();
  }

  /// Options 1-29 and the name back; after a model change also the models,
  /// the driver selected again with its options kept as they were.
  void PutBack(bool modelChanged) const {
    for (int k = 1; k <= kHardcopyOptionCount; ++k) HardcopyOptionStore(k, main[k]);
    HardcopyFileName() = fileName;
    if (!modelChanged) return;
    CurrentDeviceModels() = models;
    CurrentRasterModelLimits() = limits;
    for (int k = kHardcopyStoredFirst; k <= kHardcopyStoredLast; ++k)
      HardcopyOptionStore(k, stored[k - kHardcopyStoredFirst]);
    HardcopySelectForReset(true);
  }
};

// --- The device dialog's list ---

struct DeviceListSpec {
  int driver;
  std::string_view title;
  std::string_view label;
};
constexpr std::array<DeviceListSpec, 4> kDeviceLists{{
    {kDriverHpgl, "HP-GL Plotter Output", "Plotter type :"},
    {kDriverPostScript, "PostScript Output", "Format :"},
    {kDriverRasterPrinter, "HP/Epson/IBM Printer Output", "Printer type :"},
    {kDriverHpgl2, "HP-GL/2 Printer Output", "Device type :"},
}};

/// The model numbers of the list entries of DRIVER, in list order.
std::span<const std::int32_t> ListOrder(int driver) {
  switch (driver) {
    case kDriverHpgl:
      return kPlotterListOrder;
    case kDriverRasterPrinter:
      return kRasterPrinterListOrder;
    case kDriverHpgl2:
      return kHpgl2ListOrder;
    default:
      return {};
  }
}

std::string_view ModelName(int driver, int model) {
  switch (driver) {
    case kDriverHpgl:
      return kPlotterModels[static_cast<std::size_t>(model)].name;
    case kDriverRasterPrinter:
      return kRasterPrinterModels[static_cast<std::size_t>(model)].name;
    default:
      return kHpgl2Devices[static_cast<std::size_t>(model)].name;
  }
}

int CurrentModel(int driver) {
  const DeviceModelState& m = CurrentDeviceModels();
  switch (driver) {
    case kDriverHpgl:
      return m.plotterModel;
    case kDriverRasterPrinter:
      return m.rasterModel;
    default:
      return m.hpgl2Device;
  }
}

/// Fills the list of DRIVER; the entry of the current model (or format) selected.
void FillDeviceList(int driver) {
  std::vector<std::string> entries;
  int selected = 0;
  if (driver == kDriverPostScript) {
    entries = {"Printer PostScript", "Encapsulated PostScript"};
    selected = HardcopyOption(22) + 1;
  } else {
    const std::span<const std::int32_t> order = ListOrder(driver);
    for (std::size_t i = 0; i < order.size(); ++i) {
      entries.emplace_back(plat::TrimRight(ModelName(driver, order[i])));
      if (order[i] == CurrentModel(driver)) selected = static_cast<int>(i) + 1;
    }
  }
  FillEntries(kFieldDeviceList, entries, selected);
}

void ShowSizes(double factor) {
  for (int k = 1; k <= 4; ++k) PutLength(kOptionFieldBase + k, HardcopyOption(k), factor);
  WDialogPutRadioButton(HardcopyOption(5) == 1 ? kFieldLandscape : kFieldPortrait);
}

/// Entry N of the list chosen: the model (or the PostScript format) set and
/// the driver selected again so that the model's defaults apply.
void ChooseDevice(int driver, int n, double factor, std::string& name) {
  if (driver == kDriverPostScript) {
    HardcopyOptionSet(22, n - 1);
    ReadName(name);
    FollowExtension(22, name);
    WDialogPutString(kFieldName, plat::TrimRight(name));
    return;
  }
  const std::span<const std::int32_t> order = ListOrder(driver);
  const int model = order[static_cast<std::size_t>(n - 1)];
  if (driver == kDriverHpgl)
    PlotterModelSet(model);
  else if (driver == kDriverRasterPrinter)
    RasterPrinterModelSet(model);
  else
    Hpgl2DeviceSet(model);
  DriverParameters& dp = DriverParams();
  dp.P1 = 0;
  dp.P2 = 0;
  HardcopyDriverSelect(DriverOperation::Select, driver);
  ShowSizes(factor);
}

// --- The file dialog's option fields ---

enum class OptionFieldKind { RealLength, Integer, CheckBox, List };

OptionFieldKind KindOf(int k, int driver) {
  if (k == 1 || k == 2)
    return driver == kDriverSvg || driver == kDriverBitImage ? OptionFieldKind::Integer
                                                             : OptionFieldKind::RealLength;
  if (k == 8 || k == 9 || k == 12 || k == 16 || k == 21) return OptionFieldKind::Integer;
  // Option 19 is a list for raster printers of class 7 and above; their
  // dialogs carry it as a list, the others as a check box.
  if (WDialogFieldInfo(kOptionFieldBase + k, 5) == kFieldCheckBox) return OptionFieldKind::CheckBox;
  return OptionFieldKind::List;
}

/// The bits-per-pixel values of option 23's list entries.
std::span<const std::int32_t> Option23Values(int driver) {
  static constexpr std::array<std::int32_t, 3> kDxf{3, 4, 8};
  static constexpr std::array<std::int32_t, 4> kImage{1, 4, 8, 24};
  if (driver == kDriverDxf) return kDxf;
  return kImage;
}

/// Lists whose entries depend on the current raster printer model.
void FillModelLists() {
  const DeviceModelState& m = CurrentDeviceModels();
  if (HasField(kOptionFieldBase + 13)) {
    std::vector<std::string> qualities;
    const int n = std::clamp<int>(m.qualities, 0, static_cast<int>(m.resolutions.size()));
    for (int q = 0; q < n; ++q)
      qualities.push_back(std::to_string(m.resolutions[static_cast<std::size_t>(q)]) + " dpi");
    FillEntries(kOptionFieldBase + 13, qualities, 0);
  }
  if (HasField(kOptionFieldBase + 24)) {
    static const std::array<std::string, 3> kCompression{"None", "Run-length", "TIFF (PackBits)"};
    const int n = std::clamp<int>(CurrentRasterModelLimits().option24Limit + 1, 1, 3);
    FillEntries(kOptionFieldBase + 24, std::span(kCompression.data(), static_cast<std::size_t>(n)),
                0);
  }
}

void ShowOption(int k, int driver, double factor) {
  const int field = kOptionFieldBase + k;
  const std::int32_t v = HardcopyOption(k);
  switch (KindOf(k, driver)) {
    case OptionFieldKind::RealLength:
      PutLength(field, v, factor);
      return;
    case OptionFieldKind::Integer:
      WDialogPutInteger(field, v);
      return;
    case OptionFieldKind::CheckBox:
      WDialogPutCheckBox(field, v != 0 ? 1 : 0);
      return;
    case OptionFieldKind::List:
      if (k == 13) {
        SelectEntry(field, v);
      } else if (k == 23) {
        const std::span<const std::int32_t> values = Option23Values(driver);
        const auto at = std::find(values.begin(), values.end(), v);
        SelectEntry(field, at == values.end() ? 0 : static_cast<int>(at - values.begin()) + 1);
      } else {
        SelectEntry(field, v + 1);
      }
      return;
  }
}

/// The value FIELD of option K holds; false when it holds none (a list
/// with nothing selected).
bool ReadOption(int k, int driver, double factor, std::int32_t& value) {
  const int field = kOptionFieldBase + k;
  switch (KindOf(k, driver)) {
    case OptionFieldKind::RealLength:
      value = GetLength(field, factor);
      return true;
    case OptionFieldKind::Integer:
      value = NearestInt(FieldNumber(field));
      return true;
    case OptionFieldKind::CheckBox: {
      std::int32_t state = 0;
      WDialogGetCheckBox(field, state);
      // A check box tells only whether the option is set: a set option
      // keeps its value.
      value = (state != 0) == (HardcopyOption(k) != 0) ? HardcopyOption(k) : state;
      return true;
    }
    case OptionFieldKind::List: {
      const int n = SelectedEntry(field);
      if (n == 0) return false;
      if (k == 13) {
        value = n;
      } else if (k == 23) {
        const std::span<const std::int32_t> values = Option23Values(driver);
        if (static_cast<std::size_t>(n) > values.size()) return false;
        value = values[static_cast<std::size_t>(n - 1)];
      } else {
        value = n - 1;
      }
      return true;
    }
  }
  return false;
}

}  // namespace

const HardcopyUnit& HardcopyUnitOf(int unit) {
  return kUnits[static_cast<std::size_t>(unit >= 0 && unit <= 3 ? unit : 0)];
}

int HardcopyMoreOptionsDialog(int driver) {
  if (driver != kDriverRasterPrinter) return kHardcopyFileDialogBase + driver;
  const DeviceModelState& m = CurrentDeviceModels();
  int k = 25;
  if (m.printerClass < 7)
    k = 23;
  else if (m.printerClass <= 8)
    k = m.colourPlanes > 1 ? 21 : m.printerClass == 7 ? 24 : 22;
  return kHardcopyFileDialogBase + k;
}

void HardcopyDialogDevice(int unit, std::string& name, int driver, bool restrict) {
  const auto spec = std::find_if(kDeviceLists.begin(), kDeviceLists.end(),
                                 [driver](const DeviceListSpec& s) { return s.driver == driver; });
  if (spec == kDeviceLists.end()) return;
  if (!LoadOptionDialog(kHardcopyDeviceDialog)) return;
  const KeptOptions kept;
  const HardcopyUnit& u = HardcopyUnitOf(unit);

  WDialogPutString(kFieldName, plat::TrimRight(name));
  WDialogPutString(kFieldSizeLabel, "Size/Position (" + std::string(u.deviceName) + ")");
  ShowSizes(u.factor);
  WDialogTitle(spec->title);
  WDialogPutString(kFieldTypeLabel, spec->label);
  FillDeviceList(driver);

  int listed = SelectedEntry(kFieldDeviceList);
  int orientation = HardcopyOption(5) == 1 ? 2 : 1;
  bool modelChanged = false;
  const int answer = RunOptionDialog(kHardcopyDeviceDialog, [&](int type, const EventRecord& r) {
    if (type == kEventPushButton) {
      if (r.value1 == kFieldBrowse) Browse(driver);
      if (r.value1 == kFieldMoreOptions) {
        std::string unused(1, ' ');
        HardcopyDialogFile(unit, unused, HardcopyMoreOptionsDialog(driver), kHardcopyMoreOptions,
                           restrict);
      }
      return;
    }
    if (r.value2 == kFieldPortrait || r.value2 == kFieldLandscape) {
      std::int32_t now = 0;
      WDialogGetRadioButton(kFieldPortrait, now);
      if (now == orientation || now < 1) return;
      orientation = now;
      std::string width(32, ' '), height(32, ' ');
      WDialogGetString(kOptionFieldBase + 1, width);
      WDialogGetString(kOptionFieldBase + 2, height);
      WDialogPutString(kOptionFieldBase + 1, plat::TrimRight(height));
      WDialogPutString(kOptionFieldBase + 2, plat::TrimRight(width));
    } else if (r.value2 == kFieldDeviceList) {
      const int n = SelectedEntry(kFieldDeviceList);
      if (n == 0 || n == listed) return;
      listed = n;
      modelChanged = modelChanged || driver != kDriverPostScript;
      ChooseDevice(driver, n, u.factor, name);
      orientation = HardcopyOption(5) == 1 ? 2 : 1;
    }
  });

  if (answer == kFieldOk) {
    ReadName(name);
    for (int k = 1; k <= 4; ++k) HardcopyOptionSet(k, GetLength(kOptionFieldBase + k, u.factor));
    std::int32_t position = 0;
    WDialogGetRadioButton(kFieldPortrait, position);
    HardcopyOptionSet(5, position == 2 ? 1 : 0);
    if (driver == kDriverPostScript && listed > 0) HardcopyOptionSet(22, listed - 1);
    SetResultFlag(1);
  } else {
    kept.PutBack(modelChanged);
    SetResultFlag(0);
  }
  CloseOptionDialog();
}

void HardcopyDialogFile(int unit, std::string& name, int dialog, int mode, bool restrict) {
  if (!LoadOptionDialog(dialog)) return;
  const int driver = DriverParams().driverNumber;
  const HardcopyUnit& u = HardcopyUnitOf(unit);
  const bool hasName = mode != kHardcopyMoreOptions && HasField(kFieldName);

  if (hasName) {
    WDialogPutString(kFieldName, plat::TrimRight(name));
    if (HasField(kFieldClipboard))
      WDialogPutRadioButton(plat::TrimRight(name).empty() ? kFieldClipboard : kFieldToFile);
  }
  if (HasField(kFieldSizeLabel)) {
    const bool pixels = driver == kDriverSvg || driver == kDriverBitImage;
    WDialogPutString(kFieldSizeLabel, "Size (" + std::string(pixels ? "pixels" : u.fileName) + ")");
  }
  FillModelLists();
  std::vector<int> present;
  for (int k = 1; k <= kHardcopyOptionCount; ++k) {
    if (!HasField(kOptionFieldBase + k)) continue;
    present.push_back(k);
    ShowOption(k, driver, u.factor);
    if (restrict && (k == 6 || k == 7 || k == 9 || k == 10 || k == 11))
      WDialogFieldState(kOptionFieldBase + k, kFieldDisabled);
  }

  const int answer = RunOptionDialog(dialog, [&](int type, const EventRecord& r) {
    if (type == kEventPushButton && r.value1 == kFieldBrowse) {
      Browse(driver);
      if (HasField(kFieldToFile)) WDialogPutRadioButton(kFieldToFile);
    }
  });

  if (answer == kFieldOk) {
    if (hasName) {
      ReadName(name);
      std::int32_t target = 0;
      if (HasField(kFieldClipboard)) WDialogGetRadioButton(kFieldClipboard, target);
      if (target == 1) name.assign(name.size(), ' ');
    }
    for (const int k : present) {
      std::int32_t value = 0;
      if (!ReadOption(k, driver, u.factor, value) || value == HardcopyOption(k)) continue;
      HardcopyOptionSet(k, value);
      if (hasName) FollowExtension(k, name);
    }
    SetResultFlag(1);
  } else {
    SetResultFlag(0);
  }
  CloseOptionDialog();
}

// The printer's options through its page set-up, lengths in the unit U.
static void HardcopyPageSetup(int u) {
  DriverParameters& dp = DriverParams();
  const double f = u <= 1 ? 13.888889 : 35.27778;
  int paperWidth = 0, paperHeight = 0;
  int width = static_cast<int>(HardcopyOption(1) * f);
  int height = static_cast<int>(HardcopyOption(2) * f);
  int left = static_cast<int>(HardcopyOption(3) * f);
  int top = static_cast<int>(HardcopyOption(4) * f);
  int orientation = HardcopyOption(5);
  int copies = HardcopyOption(8);
  int colours = dp.deviceColours;
  int confirmed = 0;
  PageSetupDialog(paperWidth, paperHeight, width, height, left, top, orientation, copies, u,
                  colours, confirmed);
  if (confirmed == 0) {
    SetResultFlag(0);
    return;
  }
  const auto points = [f](int v) { return static_cast<int>(v / f + 0.5); };
  HardcopyOptionSet(1, points(width));
  HardcopyOptionSet(2, points(height));
  HardcopyOptionSet(3, points(left));
  HardcopyOptionSet(4, points(top));
  HardcopyOptionSet(5, orientation);
  HardcopyOptionSet(8, copies);
  if (dp.deviceColours > 2 && colours <= 2) HardcopyOptionSet(7, 1);
  if (dp.deviceColours <= 2 && colours > 2) HardcopyOptionSet(7, 0);
  dp.deviceColours = colours;
  const int shorter = points(std::min(paperWidth, paperHeight));
  const int longer = points(std::max(paperWidth, paperHeight));
  PaperWidth() = orientation != 0 ? longer : shorter;
  PaperHeight() = orientation != 0 ? shorter : longer;
  SetResultFlag(1);
}

void WHardcopyOptions(std::optional<int> unit, std::string* name) {
  const int driver = DriverParams().driverNumber;
  if (driver == kDriverNone) {
    ReportLibraryError(kErrNoHardcopyDriver, kRoutine);
    return;
  }
  int status = 0;
  WindowSnapshot(1, -1, status);
  if (status != 0) ReportLibraryError(status, kRoutine);

  bool restrict = false;
  int u = -1;
  if (unit) {
    restrict = *unit < 0;
    u = *unit < -3 ? 4 : std::abs(*unit);
  }
  if (u < 0 || u > 3) {
    int system = 2;
    LocaleMeasureSystem(system);
    u = system == 1 ? 1 : 2;
  }

  std::string working = name ? *name : HardcopyFileName();
  working.resize(kHardcopyNameLength, ' ');
  const int before = WDialogStatusQuery(4);
  switch (driver) {
    case kDriverWindowsPrinter:
      if (WindowsPrinterAvailable() == 0) {
        ReportLibraryError(kErrNoWindowsPrinter, kRoutine);
        // The reporter may be silent, and an OK of an earlier dialog must
        // not print now: the user is told, and the answer is no.
        WMessageBox(0, 3, 1, kNoPrinterMessage, kPrintMessageTitle);
        SetResultFlag(0);
        break;
      }
      HardcopyPageSetup(u);
      break;
    case kDriverHpgl:
    case kDriverPostScript:
    case kDriverRasterPrinter:
    case kDriverHpgl2:
      SetResultFlag(-1);
      HardcopyDialogDevice(u, working, driver, restrict);
      break;
    case kDriverSvg:
    case kDriverBitImage:
    case kDriverDxf:
    case kDriverCgm:
    case kDriverWindowsMetafile:
      SetResultFlag(-1);
      HardcopyDialogFile(u, working, kHardcopyFileDialogBase + driver, kHardcopyFileOutput,
                         restrict);
      break;
    default:
      break;
  }
  const int flag = WDialogStatusQuery(4);
  // A dialog that could not be loaded leaves the flag as it was.
  if (flag == -1) SetResultFlag(before);
  if (flag == 1) {
    if (name) {
      const std::size_t size = name->size();
      *name = working;
      name->resize(size, ' ');
    } else {
      HardcopyFileName() = working;
    }
  }
  WindowSnapshot(0, -1, status);
}

}  // namespace tk
