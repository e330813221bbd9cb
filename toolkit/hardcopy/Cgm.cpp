// Hardcopy driver 9: binary CGM files.
#include "toolkit/hardcopy/Cgm.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "toolkit/core/Errors.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/HpglRecords.h"
#include "toolkit/hardcopy/PlotFile.h"
#include "toolkit/hardcopy/TextFileOutput.h"

namespace tk {
namespace {

constexpr int kStream = 2;

std::string Trimmed(const std::string& s) {
  const std::size_t end = s.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

}  // namespace

XXCGM::XXCGM()
    : encoder_([](std::string_view element) {
        PlotFileWrite(kStream, element, static_cast<int>(element.size()));
      }) {}

CgmPictureWriter XXCGM::Writer() {
  const DriverParameters& dp = DriverParams();
  CgmPictureRules rules;
  rules.factorX = dp.factorX;
  rules.factorY = dp.factorY;
  rules.colourRule = true;
  rules.pageAspect = pageAspect_;
  return CgmPictureWriter(encoder_, remembered_, rules);
}

int XXCGM::Pending() {
  int r = 0, g = 0, b = 0;
  CgmPictureWriter::PendingColour(true, r, g, b);
  return r + 256 * g + 65536 * b;
}

void XXCGM::Select() {
  DriverParameters& dp = DriverParams();
  if (dp.P1 == -999) {
    dp.P1 = kDriverCgm;
    return;
  }
  HardcopyOptionsReset();
  HardcopyOptionStore(1, 756);
  HardcopyOptionStore(2, 540);
  for (int code : {3, 4, 5}) HardcopyOptionStore(code, 0);
  HardcopyOptionStore(28, 2);
  DescribeTextFileDriver(kDriverCgm, "00000110111111100010011011100", "parvplot.cgm");
  // Beyond the text-file drivers: gradients as interpolated triangles and
  // underlined device text.
  dp.gradientFill[1] = 2;
  dp.deviceUnderline = 1;
  dp.deviceColours = 256;
  dp.spoolCapable = 0;
  dp.resolutionX = dp.resolutionY = 600;
  dp.deviceTextMaximum[1] = 1.7e38f;
}

void XXCGM::PictureOpen() {
  if (!output_ || pictureOpen_) return;
  WriteCgmPictureHeader(encoder_, header_);
  pictureOpen_ = true;
}

void XXCGM::Output(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  switch (op) {
    case DriverOperation::BeginPicture: {
      const int o2 = HardcopyOption(2);
      pageAspect_ = o2 != 0 ? static_cast<float>(HardcopyOption(1)) / static_cast<float>(o2) : 1.0f;
      if (dp.P2 > 0) {
        if (!OpenPlotOutput()) return;
        output_ = true;
        header_ = CgmHeader{};
        if (dp.KX[0] != 0) header_.title = Trimmed(HardcopyTitle());
        const int list = HardcopyOption(28);
        header_.fontList = list >= 0 && list <= 2 ? list : 2;
        CgmVdcExtent(dp.resolutionX, HardcopyOption(1), HardcopyOption(2), header_.vdcWidth,
                     header_.vdcHeight);
        if (dp.resolutionY != dp.resolutionX) {
          int w = 0;
          CgmVdcExtent(dp.resolutionY, HardcopyOption(1), HardcopyOption(2), w, header_.vdcHeight);
        }
        WriteCgmMetafileHeader(encoder_, header_);
        pictureOpen_ = false;
        PictureOpen();
        remembered_ = CgmRemembered{};
      }
      dp.factorX = static_cast<float>(header_.vdcWidth) / static_cast<float>(std::max(1, gs.width));
      dp.factorY =
          static_cast<float>(header_.vdcHeight) / static_cast<float>(std::max(1, gs.height));
      break;
    }
    case DriverOperation::EndPage:
      dp.pageDirty = 0;
      if (pictureOpen_) {
        encoder_.YYCGMHDR(0, 5);
        encoder_.Flush();
        pictureOpen_ = false;
      }
      break;
    case DriverOperation::EndOutput:
      if (!output_) break;
      // A picture opened but never ended by a page end is closed first.
      if (pictureOpen_) encoder_.YYCGMHDR(0, 5);
      pictureOpen_ = false;
      encoder_.YYCGMHDR(0, 2);
      encoder_.Flush();
      PlotFileClose(kStream);
      output_ = false;
      break;
    default:
      break;
  }
}

void XXCGM::Draw(DriverOperation op) {
  DriverParameters& dp = DriverParams();
  const GraphicsState& gs = Gs();
  switch (op) {
    case DriverOperation::Line:
    case DriverOperation::Point:
    case DriverOperation::Polyline: {
      PictureOpen();
      dp.pageDirty = -1;
      CgmPictureWriter w = Writer();
      w.LineColour(Pending());
      std::vector<std::pair<float, float>> points;
      if (op == DriverOperation::Polyline) {
        const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
        for (int i = 0; i < n; ++i) points.emplace_back(dp.pointX[i], dp.pointY[i]);
      } else {
        points.emplace_back(dp.X[0], dp.Y[0]);
        if (op == DriverOperation::Line)
          points.emplace_back(dp.X[1], dp.Y[1]);
        else
          points.emplace_back(dp.X[0], dp.Y[0]);
      }
      w.Polyline(points, op == DriverOperation::Polyline);
      break;
    }
    case DriverOperation::EllipseHalftone:
    case DriverOperation::TrapeziumHalftone:
    case DriverOperation::RectangleHalftone:
    case DriverOperation::TriangleHalftone:
    case DriverOperation::PieHalftone:
    case DriverOperation::PolygonHalftone: {
      if (dp.P2 == -1) return;
      dp.pageDirty = -1;
      const bool filled = gs.fillStyle == kFillHalftone || gs.fillStyle == kFillSolid;
      if (!filled && op != DriverOperation::EllipseHalftone) return;
      PictureOpen();
      CgmPictureWriter w = Writer();
      const int pending = Pending();
      w.FillColour(pending);
      switch (op) {
        case DriverOperation::EllipseHalftone: {
          if (!filled) {
            const int o1 = std::max(1, HardcopyOption(1));
            w.EdgeAttributes(pending, header_.vdcWidth * HardcopyOption(9) / (10 * o1));
          }
          w.Ellipse(!filled);
          break;
        }
        case DriverOperation::TrapeziumHalftone:
        case DriverOperation::TriangleHalftone: {
          const int n = op == DriverOperation::TrapeziumHalftone ? 4 : 3;
          std::vector<std::pair<float, float>> points;
          for (int i = 0; i < n; ++i) points.emplace_back(dp.X[i], dp.Y[i]);
          w.Polygon(points, false);
          break;
        }
        case DriverOperation::RectangleHalftone:
          w.Rectangle();
          break;
        case DriverOperation::PieHalftone:
          w.Pie(gs.width);
          break;
        default: {
          const int n = std::clamp(dp.P1, 0, kDriverMaxPoints);
          std::vector<std::pair<float, float>> points;
          for (int i = 0; i < n; ++i) points.emplace_back(dp.pointX[i], dp.pointY[i]);
          w.Polygon(points, true);
          break;
        }
      }
      break;
    }
    case DriverOperation::SoftwareFill:
      if (!output_) return;
      PictureOpen();
      dp.pageDirty = -1;
      Writer().GradientPolygonFill(dp.softwareFillCount);
      break;
    case DriverOperation::Image: {
      std::vector<std::int32_t> pixels;
      int nx = 0, ny = 0;
      if (!output_ || !LoadOperationImage(pixels, nx, ny)) return;
      dp.pageDirty = -1;
      WriteCellArray(pixels, nx, ny);
      break;
    }
    default:
      break;
  }
}

void XXCGM::Attribute(DriverOperation op) {
  if (!output_) return;
  switch (op) {
    case DriverOperation::LineType:
      PictureOpen();
      Writer().LineType();
      break;
    case DriverOperation::LineWidth: {
      PictureOpen();
      const int o1 = std::max(1, HardcopyOption(1));
      Writer().LineWidth(header_.vdcWidth * HardcopyOption(9) / (10 * o1));
      break;
    }
    case DriverOperation::LineJoin:
      if (HardcopyOption(10) != remembered_.join) {
        PictureOpen();
        encoder_.YYCGMHDR(5, 38);
        encoder_.YYCGMWORD(HardcopyOption(10) + 2);
        encoder_.Flush();
        remembered_.join = HardcopyOption(10);
      }
      break;
    case DriverOperation::LineCap:
      if (HardcopyOption(11) != remembered_.cap) {
        PictureOpen();
        encoder_.YYCGMHDR(5, 37);
        encoder_.YYCGMPAIR(HardcopyOption(11) + 2, 1);
        encoder_.Flush();
        remembered_.cap = HardcopyOption(11);
      }
      break;
    case DriverOperation::ClipRectangle:
      PictureOpen();
      Writer().Clip();
      break;
    case DriverOperation::TextAngle:
      PictureOpen();
      Writer().TextAngle();
      break;
    default:
      break;
  }
}

void XXCGM::Text(DriverOperation op) {
  if (!output_) return;
  if (op == DriverOperation::CharacterSize) {
    PictureOpen();
    Writer().CharacterSize();
  } else if (op == DriverOperation::Text) {
    PictureOpen();
    DriverParams().pageDirty = -1;
    Writer().Text(Pending());
  }
}

void XXCGM::WriteTriangles(const std::vector<CgmPictureWriter::Vertex>& vertices,
                           const std::vector<std::array<int, 3>>& list) {
  if (!output_) return;
  PictureOpen();
  DriverParams().pageDirty = -1;
  Writer().Triangles(vertices, list);
}

bool XXCGM::WriteCellArray(const std::vector<std::int32_t>& pixels, int nx, int ny) {
  DriverParameters& dp = DriverParams();
  if (!output_ || nx < 1 || ny < 1 || pixels.size() < static_cast<std::size_t>(nx) * ny) return false;
  PictureOpen();
  dp.pageDirty = -1;
  encoder_.Flush();
  const std::string head = Writer().CellArrayHead(nx, ny);
  PlotFileWrite(kStream, head, static_cast<int>(head.size()));
  int handle = -1;
  for (int row = 0; row < ny; ++row) {
    const std::string rowBytes =
        CgmPictureWriter::CellArrayRow(pixels.data() + static_cast<std::size_t>(row) * nx, nx);
    for (const std::string& part : CgmPictureWriter::RowPartitions(rowBytes, row + 1 == ny)) {
      // The partition word through the stream, the row's bytes in one write.
      PlotFileWrite(kStream, part, 2);
      PlotFileHandle(kStream, handle);
      const std::size_t n = part.size() - 2;
      const ssize_t wrote = handle >= 0 ? ::write(handle, part.data() + 2, n) : -1;
      if (wrote != static_cast<ssize_t>(n)) {
        dp.P2 = kErrReadWrite;
        dp.P1 = wrote < 0 ? errno : 0;
        return false;
      }
    }
  }
  return true;
}

}  // namespace tk
