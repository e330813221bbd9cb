#include "display/PickFiles.h"

#include <cmath>
#include <cstddef>

#include "support/FileIO.h"
#include "support/UserMessages.h"
#include "toolkit/core/Conversion.h"
#include "toolkit/dialogs/Dialogs.h"

namespace vel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kNameChars = 256;

// Dialog fields.
constexpr int kOk = 1;
constexpr int kLayoutNumber = 1185;  // 1186 position, 1187 number and position
constexpr int kDeadLeftOut = 1243;   // 1244 written with the text
constexpr int kDeadWritten = 1244;
constexpr int kDeadText = 1245;
constexpr int kPosition = 1249;  // 1250 offset
constexpr int kOffset = 1250;
constexpr int kCommas = 1251;

template <typename T>
T At(const std::vector<T>& v, std::int32_t j) {
  return j >= 1 && static_cast<std::size_t>(j) <= v.size() ? v[static_cast<std::size_t>(j - 1)]
                                                            : T{};
}

bool Picked(const ShotRecord& REC, std::int32_t j) {
  return HasPick(At(REC.IBPICK, j));
}

bool WriteLine(int ih, std::string line) {
  line.append(kLineEnd);
  return sup::IRITFIL(ih, line, static_cast<int>(line.size())) == 0;
}

std::string RecordNumber(std::int32_t j) {
  return tk::FormatIntegerField(j, "(I5)");
}

// The dead-trace radio group and its text, shared by both dialogs.
void PutDeadTraces(const PickExportOptions& o) {
  tk::WDialogPutRadioButton(o.IDEADOUT <= 1 ? kDeadLeftOut : kDeadWritten);
  tk::WDialogPutString(kDeadText, o.CDEADOUT.View());
}
void GetDeadTraces(PickExportOptions& o) {
  std::int32_t position = 0;
  tk::WDialogGetRadioButton(kDeadLeftOut, position);
  o.IDEADOUT = position >= 2 ? 2 : 1;
  std::string text(8, ' ');
  tk::WDialogGetString(kDeadText, text);
  o.CDEADOUT = text;
}

// Loads dialog ID; false when the toolkit could not (it has reported why).
bool Load(int id) {
  tk::WDialogLoad(id);
  tk::WDialogSelect(id);
  return tk::WDialogStatusQuery(3) == id;
}

bool ShownAndConfirmed() {
  tk::WDialogShow(-1, -1, 0, tk::kShowModal);
  return tk::WDialogStatusQuery(1) == kOk;
}

}  // namespace

std::string PickFileLine(const ShotRecord& REC, std::int32_t J, const PickExportOptions& OPTIONS) {
  const bool picked = Picked(REC, J);
  if (!picked && OPTIONS.IDEADOUT <= 1) return {};
  const std::string time =
      picked ? tk::FormatRealField(PickTime(REC, At(REC.IBPICK, J)), "(F10.3)")
             : "  " + std::string(OPTIONS.CDEADOUT.View());
  const float x = At(REC.GEOLOC, J);
  const std::string position =
      tk::FormatRealField(OPTIONS.IPOSOUT == 1 ? x : std::fabs(x - REC.SHOTX), "(F10.3)");
  const std::string number = RecordNumber(J);
  const std::string_view sep = OPTIONS.CSValue ? "," : "";
  std::string line;
  if (OPTIONS.IPICKOUT <= 1)
    line = number;
  else if (OPTIONS.IPICKOUT == 2)
    line = position;
  else
    line = number + std::string(sep) + position;
  return line + std::string(sep) + time;
}

void PICKOUT(const ShotRecord& REC, std::string_view NAME, const PickExportOptions& OPTIONS,
             int& IERR) {
  IERR = -1;
  const sup::FixedString<kNameChars> name(NAME);
  const int ih = sup::MAKEFIL(name.Trimmed());
  if (ih < 0) {
    sup::WINMSG("Cannot open file:" + std::string(name.View()));
    return;
  }
  if (!WriteLine(ih, std::string(REC.CRECNAME.View()))) {
    sup::WINMSG("Error writing first record in pick file");
    sup::ABANDONFIL(ih);
    return;
  }
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    const std::string line = PickFileLine(REC, j, OPTIONS);
    if (line.empty()) continue;
    if (!WriteLine(ih, line)) {
      sup::WINMSG("Error writing file at record " + RecordNumber(j));
      sup::ABANDONFIL(ih);
      return;
    }
  }
  if (sup::ICLSFIL(ih) != 0) return;
  IERR = 0;
}

std::string GrmUnits(const ShotRecord& REC) {
  std::string units(REC.CUNITS.View());
  for (char& c : units)
    if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) c = ' ';
  if (units.find_first_not_of(' ') == std::string::npos) units = "****";
  return units;
}

std::string GrmStem(std::string_view PATH) {
  const std::size_t sep = PATH.find_last_of("/\\");
  std::string stem(PATH.substr(sep == std::string_view::npos ? 0 : sep + 1));
  stem.resize(8, ' ');
  if (const std::size_t dot = stem.find('.'); dot != std::string::npos)
    stem.replace(dot, 8 - dot, 8 - dot, ' ');
  return stem;
}

std::string GrmHeaderLine(std::string_view STEM, const ShotRecord& REC) {
  std::string stem(STEM.substr(0, 8));
  stem.resize(8, ' ');
  return "     " + stem + "  " + GrmUnits(REC) + tk::FormatRealField(REC.SPACING, "(F10.3)");
}

std::string GrmShotLine(const ShotRecord& REC) {
  return " SHOT:" + tk::FormatIntegerField(REC.ISHOT, "(I5)") +
         " LOCATION:" + tk::FormatRealField(REC.SHOTX, "(F8.2)") +
         " ELEVATION:" + tk::FormatRealField(REC.SHOTELEV, "(F8.2)") +
         " DEPTH:" + tk::FormatRealField(REC.SHOTDEPTH, "(F8.2)");
}

std::string GrmTraceLine(const ShotRecord& REC, std::int32_t J, const PickExportOptions& OPTIONS) {
  const bool picked = Picked(REC, J);
  if (!picked && OPTIONS.IDEADOUT <= 1) return {};
  const std::string x = tk::FormatRealField(At(REC.GEOLOC, J), "(F13.4)");
  const std::string z = tk::FormatRealField(At(REC.GEOELE, J), "(F13.4)");
  if (!picked) return x + "     " + std::string(OPTIONS.CDEADOUT.View()) + z;
  return x + tk::FormatRealField(PickTime(REC, At(REC.IBPICK, J)), "(F13.4)") + z;
}

void SHOTOUT(const ShotRecord& REC, const PickExportOptions& OPTIONS, int& IH, int& IERR) {
  IERR = 0;
  bool any = false;
  for (std::int32_t j = 1; j <= REC.NTRACE && !any; ++j) any = Picked(REC, j);
  if (!any) return;
  // Lines are counted as records: the shot line 0, trace j, the closing
  // line NTRACE + 1.
  const auto failed = [&](std::int32_t record) {
    sup::WINMSG("Error writing file at record " + RecordNumber(record));
    if (IH >= 0) sup::ICLSFIL(IH);
    IH = -1;
    IERR = -1;
  };
  if (IH < 0 || !WriteLine(IH, GrmShotLine(REC))) return failed(0);
  for (std::int32_t j = 1; j <= REC.NTRACE; ++j) {
    const std::string line = GrmTraceLine(REC, j, OPTIONS);
    if (!line.empty() && !WriteLine(IH, line)) return failed(j);
  }
  if (!WriteLine(IH, " ")) return failed(REC.NTRACE + 1);
}

void PICKOUTDLG(PickExportOptions& OPTIONS, int& STATUS) {
  STATUS = -1;
  if (!Load(kPickFileDialog)) return;
  const std::int32_t layout = OPTIONS.IPICKOUT <= 1 ? 1 : OPTIONS.IPICKOUT == 2 ? 2 : 3;
  tk::WDialogPutRadioButton(kLayoutNumber + layout - 1);
  PutDeadTraces(OPTIONS);
  sup::WDIALOGPUTCHECKBOXL(kCommas, OPTIONS.CSValue);
  tk::WDialogPutRadioButton(OPTIONS.IPOSOUT <= 1 ? kPosition : kOffset);
  if (!ShownAndConfirmed()) return;
  std::int32_t position = 0;
  tk::WDialogGetRadioButton(kLayoutNumber, position);
  OPTIONS.IPICKOUT = position >= 1 && position <= 3 ? position : 1;
  GetDeadTraces(OPTIONS);
  sup::WDIALOGGETCHECKBOXL(kCommas, OPTIONS.CSValue);
  tk::WDialogGetRadioButton(kPosition, position);
  OPTIONS.IPOSOUT = position >= 2 ? 2 : 1;
  STATUS = 0;
}

void PICKEXPORTDLG(PickExportOptions& OPTIONS, int& STATUS) {
  STATUS = -1;
  if (!Load(kDeadTraceDialog)) return;
  PutDeadTraces(OPTIONS);
  if (!ShownAndConfirmed()) return;
  GetDeadTraces(OPTIONS);
  STATUS = 0;
}

}  // namespace vel
