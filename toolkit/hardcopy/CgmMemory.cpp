// The in-memory CGM recorder of memory-CGM metafile slots.
#include "toolkit/hardcopy/CgmMemory.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/CgmEncoding.h"

namespace tk {
namespace {

constexpr int kErrCgmFull = 1062;
// END PICTURE and END METAFILE: the bytes every recording keeps in reserve.
constexpr int kEndReserve = 4;

struct Recorder {
  int slot = 0;  // the slot being recorded (1-20), 0 none
  std::array<CgmRemembered, kMetafileSlots + 1> remembered{};
  // Per slot: an element was refused; nothing more is stored until the
  // next metafile header, except the two END elements.
  std::array<bool, kMetafileSlots + 1> refused{};
  bool ending = false;
  float pageAspect = 1;
};

Recorder& Rec() {
  static Recorder r;
  return r;
}

int CurrentSlot() {
  const GraphicsState& gs = Gs();
  if (gs.drawableKind == kDrawMetafile && gs.drawableNumber >= 1 &&
      gs.drawableNumber <= kMetafileSlots)
    Rec().slot = gs.drawableNumber;
  // A slot freed (or never made a memory CGM) records nothing.
  const int s = Rec().slot;
  return s >= 1 && MetafileSlotAt(s).kind == 6 && MetafileSlotAt(s).inUse ? s : 0;
}

// Stores one whole element, keeping the END reserve for everything but the
// END elements; the first element that does not fit is refused with one
// report and closes the recording until the next header.
void StoreElement(std::string_view element) {
  Recorder& rec = Rec();
  const int s = CurrentSlot();
  if (s < 1) return;
  MetafileSlot& slot = MetafileSlotAt(s);
  if (rec.refused[static_cast<std::size_t>(s)] && !rec.ending) return;
  const int n = static_cast<int>(element.size());
  const int limit = slot.capacity - (rec.ending ? 0 : kEndReserve);
  if (slot.used + n > limit) {
    if (!rec.refused[static_cast<std::size_t>(s)]) ReportLibraryError(kErrCgmFull, "YYGCGM1");
    rec.refused[static_cast<std::size_t>(s)] = true;
    return;
  }
  YYGCGM1(element, n);
}

CgmEncoder& Encoder() {
  static CgmEncoder e(StoreElement);
  return e;
}

CgmPictureWriter Writer() {
  const int s = std::max(CurrentSlot(), 0);
  CgmPictureRules rules;
  rules.integerClip = true;
  rules.pageAspect = Rec().pageAspect;
  return CgmPictureWriter(Encoder(), Rec().remembered[static_cast<std::size_t>(s)], rules);
}

int Pending() {
  int r = 0, g = 0, b = 0;
  CgmPictureWriter::PendingColour(false, r, g, b);
  return r + 256 * g + 65536 * b;
}

void Header() {
  Recorder& rec = Rec();
  const int s = CurrentSlot();
  if (s < 1) return;
  MetafileSlot& slot = MetafileSlotAt(s);
  rec.refused[static_cast<std::size_t>(s)] = false;
  rec.pageAspect = slot.second != 0 ? static_cast<float>(slot.first) / static_cast<float>(slot.second)
                                    : 1.0f;
  CgmHeader h;
  CgmVdcExtent(600, slot.first, slot.second, h.vdcWidth, h.vdcHeight);
  slot.width = h.vdcWidth;
  slot.height = h.vdcHeight;
  WriteCgmMetafileHeader(Encoder(), h);
  WriteCgmPictureHeader(Encoder(), h);
}

}  // namespace

void YYGCGM1(std::string_view bytes, int n) {
  const int s = CurrentSlot();
  if (s < 1) return;
  MetafileSlot& slot = MetafileSlotAt(s);
  n = std::clamp(n, 0, static_cast<int>(bytes.size()));
  if (slot.used + n > slot.capacity || static_cast<int>(slot.cgm.size()) < slot.capacity) {
    ReportLibraryError(kErrCgmFull, "YYGCGM1");
    return;
  }
  std::memcpy(slot.cgm.data() + slot.used, bytes.data(), static_cast<std::size_t>(n));
  slot.used += n;
}

bool MemoryCgmSlotCreate(int slotNumber, int width, int height, int capacity) {
  if (slotNumber < 1 || slotNumber > kMetafileSlots || capacity < 0) return false;
  MetafileSlot& slot = MetafileSlotAt(slotNumber);
  if (slot.inUse) return false;
  slot = MetafileSlot{};
  slot.kind = 6;
  slot.inUse = 1;
  slot.first = width;
  slot.second = height;
  CgmVdcExtent(600, width, height, slot.width, slot.height);
  slot.capacity = capacity;
  slot.cgm.assign(static_cast<std::size_t>(capacity), '\0');
  Rec().slot = slotNumber;
  Rec().refused[static_cast<std::size_t>(slotNumber)] = false;
  Rec().remembered[static_cast<std::size_t>(slotNumber)] = CgmRemembered{};
  return true;
}

void XXCGMMEM(DriverOperation& operation) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  const int op = static_cast<int>(operation);
  const int s = CurrentSlot();
  if (s < 1) return;
  const MetafileSlot& slot = MetafileSlotAt(s);
  CgmPictureWriter w = Writer();
  switch (op) {
    case 1:
      dp.deviceTextMaximum[0] = 1.7e38f;
      dp.textAngles[0] = 360;
      dp.platformLevel[0] = 2;
      dp.trueColour[0] = 1;
      dp.gradientFill[0] = 2;
      dp.capabilities[0] = "00000110111111100010011011100";
      return;
    case 39:
      Header();
      return;
    case 18:
      Rec().remembered[static_cast<std::size_t>(s)] = CgmRemembered{};
      return;
    case 19:
      Rec().ending = true;
      Encoder().YYCGMHDR(0, 5);
      Encoder().YYCGMHDR(0, 2);
      Encoder().Flush();
      Rec().ending = false;
      return;
    case 2:
    case 26:
    case 32: {
      w.LineColour(Pending());
      std::vector<std::pair<float, float>> points;
      if (op == 32) {
        const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
        for (int i = 0; i < n; ++i) points.emplace_back(dp.pointX[i], dp.pointY[i]);
      } else {
        const auto k = [](std::int32_t v) { return static_cast<float>(v); };
        points.emplace_back(k(dp.KX[0]), k(dp.KY[0]));
        points.emplace_back(op == 2 ? k(dp.KX[1]) : k(dp.KX[0]), op == 2 ? k(dp.KY[1]) : k(dp.KY[0]));
      }
      w.Polyline(points, op == 32);
      return;
    }
    case 4:
      w.EdgeAttributes(Pending(), 4 * gs.metafileLineWidth);
      w.Ellipse(true);
      return;
    case 5: case 6: case 7: case 8: case 9: case 10:
    case 11: case 12: case 13: case 14: case 15: case 16: {
      w.FillColour(Pending());
      const int shape = op - (op % 2 == 0 ? 1 : 0);
      std::vector<std::pair<float, float>> points;
      switch (shape) {
        case 5:
          w.Ellipse(false);
          break;
        case 7:
        case 11:
          for (int i = 0; i < (shape == 7 ? 4 : 3); ++i)
            points.emplace_back(static_cast<float>(dp.KX[i]), static_cast<float>(dp.KY[i]));
          w.Polygon(points, false);
          break;
        case 9:
          w.Rectangle();
          break;
        case 13:
          w.Pie(gs.width);
          break;
        default: {
          const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
          for (int i = 0; i < n; ++i) points.emplace_back(dp.pointX[i], dp.pointY[i]);
          w.Polygon(points, true);
          break;
        }
      }
      return;
    }
    case 21: {
      w.CharacterSize();
      TextAttributes& t = Gs().text;
      const float across = t.charWidth * gs.areaWidth, up = t.charHeight * gs.areaHeight;
      if (across > 0) t.columns = static_cast<float>(gs.width) / across;
      if (up > 0) t.rows = static_cast<float>(gs.height) / up;
      return;
    }
    case 22:
      w.Text(Pending());
      return;
    case 24:
      w.Clip();
      return;
    case 29:
      w.LineType();
      return;
    case 30:
      w.LineWidth(slot.first > 0 ? slot.width * gs.metafileLineWidth / (10 * slot.first) : 0);
      return;
    case 31:
      dp.KX[0] = -1;
      return;
    case 38: {
      std::vector<std::int32_t> pixels;
      int nx = 0, ny = 0;
      if (!LoadOperationImage(pixels, nx, ny)) return;
      // The whole cell array is one element: stored whole or refused.
      std::string element = w.CellArrayHead(nx, ny);
      for (int row = 0; row < ny; ++row)
        for (const std::string& part : CgmPictureWriter::RowPartitions(
                 CgmPictureWriter::CellArrayRow(pixels.data() + static_cast<std::size_t>(row) * nx, nx),
                 row + 1 == ny))
          element += part;
      Encoder().Flush();
      StoreElement(element);
      return;
    }
    case 33:
      w.TextAngle();
      return;
    case 40:
      w.GradientPolygonFill(dp.softwareFillCount);
      return;
    default:
      return;
  }
}

}  // namespace tk
