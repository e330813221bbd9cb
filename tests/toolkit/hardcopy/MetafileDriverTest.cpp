// The metafile driver and the metafile slots: files parsed back record by
// record (headers, sizes, object counts, the records the differences from
// the printer call for), the clipboard target, the slots' round trip
// through a file, identification of our files, and truncated and hostile
// metafiles given to the player and the loader.
#include "toolkit/hardcopy/MetafileDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/FixedText.h"
#include "platform/system/Clipboard.h"
#include "tests/TestSupport.h"
#include "tests/toolkit/hardcopy/FileDriverTestSupport.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/GraphicsFileType.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"
#include "toolkit/hardcopy/HardcopyDrivers.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/MetafileFormat.h"
#include "toolkit/hardcopy/MetafilePlayer.h"
#include "toolkit/hardcopy/PrinterAccess.h"

namespace tk::testing {
namespace {

using O = DriverOperation;
using namespace tk::metafile;

std::uint32_t Le(const std::string& b, std::size_t at, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
  return v;
}

struct Record {
  std::uint32_t type = 0;
  std::size_t at = 0, size = 0;  // bytes
};

// The records of a Windows metafile (from its 18-byte header) up to its end
// record; fails the test when a size does not fit.
std::vector<Record> WindowsRecords(const std::string& b) {
  std::vector<Record> out;
  std::size_t at = kWmfHeaderSize;
  while (at + 6 <= b.size()) {
    const std::size_t size = 2 * static_cast<std::size_t>(Le(b, at, 4));
    EXPECT_GE(size, 6u);
    EXPECT_LE(size, b.size() - at);
    if (size < 6 || size > b.size() - at) break;
    out.push_back({Le(b, at + 4, 2), at, size});
    if (out.back().type == kMetaEof) break;
    at += size;
  }
  return out;
}

std::vector<Record> EnhancedRecords(const std::string& b) {
  std::vector<Record> out;
  std::size_t at = 0;
  while (at + 8 <= b.size()) {
    const std::size_t size = Le(b, at + 4, 4);
    EXPECT_EQ(size % 4, 0u);
    EXPECT_LE(size, b.size() - at);
    if (size < 8 || size > b.size() - at) break;
    out.push_back({Le(b, at, 4), at, size});
    if (out.back().type == kEmrEof) break;
    at += size;
  }
  return out;
}

int RecordsOf(const std::vector<Record>& records, std::uint32_t type) {
  int n = 0;
  for (const Record& r : records) n += r.type == type;
  return n;
}

class MetafileDriverTest : public FileDriverTest {
 protected:
  void SetUp() override {
    CurrentPrinterJob() = PrinterJobSettings{};
    MetafileDriverReset();
    StandAndSelect(driver, kDriverWindowsMetafile, 500, 400);
    ConnectMetafileSlots();
    plat::ClipboardEmpty();
  }
  void TearDown() override {
    FileDriverTest::TearDown();
    MetafileDriverReset();
    plat::ClipboardEmpty();
  }
  // A picture of option 27 = TYPE: a line, a polyline, a text run with its
  // width asked, a clip rectangle; the file's bytes.
  std::string Picture(int type, const std::string& name = "pic") {
    HardcopyOptionSet(27, type);
    HardcopyOptionSet(9, 5);
    Begin(name);
    Send(O::LineWidth);
    Send(O::Colour);
    DriverParameters& dp = DriverParams();
    dp.X = {10, 200, 0, 0};
    dp.Y = {10, 300, 0, 0};
    Send(O::Line);
    dp.P1 = 3;
    dp.pointX[0] = 20, dp.pointY[0] = 20, dp.pointX[1] = 100, dp.pointY[1] = 20, dp.pointX[2] = 100,
    dp.pointY[2] = 100;
    Send(O::Polyline);
    Gs().clipX0 = 50, Gs().clipY0 = 60, Gs().clipX1 = 400, Gs().clipY1 = 300;
    Send(O::ClipRectangle);
    Send(O::CharacterSize);
    dp.text = std::string("HELLO") + std::string(kDriverTextLength - 5, ' ');
    dp.KX[0] = 5;
    dp.X = {100, 0, 200, 0};
    dp.Y = {100, 0, 100, 0};
    Send(O::Text);
    dp.P1 = 0;
    dp.P2 = 5;
    Send(O::TextWidth);
    textAnswer = dp.P1;
    return EndBytes();
  }
  XXWMF driver;
  int textAnswer = 0;
};

TEST_F(MetafileDriverTest, SelectProbeAndDefaults) {
  DriverParameters& dp = DriverParams();
  dp.P1 = -999;
  HardcopyDriverSwitch(O::Select);
  EXPECT_EQ(dp.P1, 11);
  EXPECT_EQ(HardcopyOption(1), 756);
  EXPECT_EQ(HardcopyOption(2), 540);
  EXPECT_EQ(HardcopyOption(27), 1);
  EXPECT_EQ(HardcopyOption(29), 0);
  EXPECT_EQ(dp.resolutionX, 600);
  EXPECT_EQ(dp.deviceColours, 256);
  EXPECT_EQ(dp.capabilities[1], "00000111111111100010011011110");
  EXPECT_EQ(plat::TrimRight(HardcopyFileName()), "");
  EXPECT_EQ(dp.driverNumber, kDriverWindowsMetafile);
}

TEST_F(MetafileDriverTest, PlaceableFileHeaderChecksumAndRecords) {
  const std::string b = Picture(1);
  ASSERT_GT(b.size(), 22u + kWmfHeaderSize);
  EXPECT_EQ(Le(b, 0, 4), 0x9AC6CDD7u);
  EXPECT_EQ(Le(b, 10, 2), 10500u);
  EXPECT_EQ(Le(b, 12, 2), 7500u);
  EXPECT_EQ(Le(b, 14, 2), 1000u);
  EXPECT_EQ(Le(b, 20, 2), (10500u ^ 7500u ^ 0x54F9u));
  const std::string wmf = b.substr(22);
  EXPECT_EQ(Le(wmf, 0, 2), 1u);
  EXPECT_EQ(Le(wmf, 2, 2), 9u);
  EXPECT_EQ(Le(wmf, 4, 2), 0x300u);
  EXPECT_EQ(2 * Le(wmf, 6, 4), wmf.size());
  const std::vector<Record> records = WindowsRecords(wmf);
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records.back().type, static_cast<std::uint32_t>(kMetaEof));
  EXPECT_EQ(records.back().at + records.back().size, wmf.size());
  std::size_t largest = 0;
  for (const Record& r : records) largest = std::max(largest, r.size / 2);
  EXPECT_EQ(Le(wmf, 12, 4), largest);
  // Anisotropic mapping over the window of 7561 x 5401 logical units.
  ASSERT_GE(records.size(), 4u);
  EXPECT_EQ(records[0].type, static_cast<std::uint32_t>(kMetaSetMapMode));
  EXPECT_EQ(Le(wmf, records[0].at + 6, 2), 8u);
  EXPECT_EQ(records[2].type, static_cast<std::uint32_t>(kMetaSetWindowExt));
  EXPECT_EQ(Le(wmf, records[2].at + 6, 2), 5401u);
  EXPECT_EQ(Le(wmf, records[2].at + 8, 2), 7561u);
  EXPECT_EQ(RecordsOf(records, kMetaPolyline), 1);
  EXPECT_EQ(RecordsOf(records, kMetaExtTextOut), 1);
  // Objects: never more alive than the header says.
  int alive = 0, most = 0;
  for (const Record& r : records) {
    if (r.type == kMetaCreatePenIndirect || r.type == kMetaCreateBrushIndirect ||
        r.type == kMetaCreateFontIndirect)
      most = std::max(most, ++alive);
    if (r.type == kMetaDeleteObject) --alive;
  }
  EXPECT_EQ(static_cast<int>(Le(wmf, 10, 2)), most);
  // Option 9 = 5 is a pen 5 logical units (5/720 inch) wide.
  bool found = false;
  for (const Record& r : records)
    if (r.type == kMetaCreatePenIndirect && Le(wmf, r.at + 8, 2) == 5) found = true;
  EXPECT_TRUE(found);
}

TEST_F(MetafileDriverTest, ClipAndTextMeasureOnlyInAnEnhancedMetafile) {
  struct Case {
    int type;
    bool enhanced;
  };
  for (const Case c : {Case{0, false}, Case{1, false}, Case{2, true}}) {
    SCOPED_TRACE(c.type);
    std::string b = Picture(c.type, "pic" + std::to_string(c.type));
    if (c.type == 1) b = b.substr(22);
    if (c.enhanced) {
      const std::vector<Record> r = EnhancedRecords(b);
      EXPECT_EQ(RecordsOf(r, kEmrIntersectClipRect), 1);
      EXPECT_EQ(textAnswer, 1);
      EXPECT_GT(DriverParams().X[0], 0.0f);
    } else {
      const std::vector<Record> r = WindowsRecords(b);
      EXPECT_EQ(RecordsOf(r, kMetaIntersectClipRect), 0);
      EXPECT_EQ(textAnswer, 0);
    }
  }
}

TEST_F(MetafileDriverTest, EnhancedHeaderFrameDescriptionAndCounts) {
  const std::string b = Picture(2);
  ASSERT_GT(b.size(), 108u);
  EXPECT_EQ(Le(b, 0, 4), kEmrHeader);
  EXPECT_EQ(Le(b, 40, 4), 0x464D4520u);
  EXPECT_EQ(Le(b, 48, 4), b.size());
  const std::vector<Record> r = EnhancedRecords(b);
  EXPECT_EQ(Le(b, 52, 4), r.size());
  EXPECT_EQ(r.back().type, kEmrEof);
  // Frame in 0.01 mm: 7560 x 5400 units of 1/720 inch.
  EXPECT_EQ(Le(b, 32, 4), 7560u * 254 / 72);
  EXPECT_EQ(Le(b, 36, 4), 5400u * 254 / 72);
  const std::size_t n = Le(b, 60, 4), off = Le(b, 64, 4);
  ASSERT_LE(off + 2 * n, b.size());
  std::string description;
  for (std::size_t i = 0; i < n; ++i) description.push_back(b[off + 2 * i]);
  // A start without a title gives the default one.
  EXPECT_EQ(description, std::string("JQX metafile driver\0Parvendrite graphic\0\0", 41));
  // Reference pixels at 96 an inch: 1008 x 720; width 5 x 1008 / 7560.
  EXPECT_EQ(Le(b, 16, 4), 1007u);
  // Option 9 = 5 (1/720 inch) is trunc(5 x 1008 / 7560) = 0 reference pixels: a hairline.
  bool hairline = false;
  for (const Record& rec : r)
    if (rec.type == kEmrCreatePen && Le(b, rec.at + 16, 4) == 0) hairline = true;
  EXPECT_TRUE(hairline);
}

TEST_F(MetafileDriverTest, BlankNameGoesToTheClipboard) {
  struct Case {
    int type;
    unsigned format;
    bool placeable;
  };
  for (const Case c : {Case{1, plat::kClipMetafile, true}, Case{0, plat::kClipMetafile, true},
                       Case{2, plat::kClipEnhMetafile, false}}) {
    SCOPED_TRACE(c.type);
    plat::ClipboardEmpty();
    HardcopyOptionSet(27, c.type);
    DriverParams().text = std::string(kDriverTextLength, ' ');
    DriverParams().P1 = 0;  // whatever the start was given
    DriverParams().P2 = 1;
    Gs().hardcopyOn = 1;
    Send(O::BeginPicture);
    Send(O::Colour);
    DriverParams().X = {1, 100, 0, 0};
    DriverParams().Y = {1, 100, 0, 0};
    Send(O::Line);
    Send(O::EndOutput);
    Gs().hardcopyOn = 0;
    EXPECT_EQ(ErrorState().lastError, 0);
    const std::optional<std::vector<std::uint8_t>> data = plat::ClipboardData(c.format);
    ASSERT_TRUE(data);
    const std::string b(data->begin(), data->end());
    if (c.placeable) {
      EXPECT_EQ(Le(b, 0, 4), 0x9AC6CDD7u);
      EXPECT_EQ(WindowsRecords(b.substr(22)).back().type, static_cast<std::uint32_t>(kMetaEof));
    } else {
      EXPECT_EQ(EnhancedRecords(b).back().type, kEmrEof);
    }
  }
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

// The start's blank target (P1 = 1) is how every print starts: the name
// chosen in the dialog is still written to.
TEST_F(MetafileDriverTest, ChosenNameIsWrittenWhateverTheStart) {
  HardcopyOptionSet(27, 2);
  DriverParams().P1 = 1;
  Begin("chosen.emf");
  const std::string b = EndBytes();
  ASSERT_GT(b.size(), 108u);
  EXPECT_EQ(EnhancedRecords(b).back().type, kEmrEof);
  EXPECT_FALSE(plat::ClipboardHasFormat(plat::kClipEnhMetafile));
}

TEST_F(MetafileDriverTest, UnwritableFileTurnsOutputOff) {
  DriverParams().text = plat::Padded((dir / "missing/x.wmf").string(), kDriverTextLength);
  DriverParams().P2 = 1;
  Gs().hardcopyOn = 1;
  Send(O::BeginPicture);
  EXPECT_EQ(Gs().hardcopyOn, 0);
  EXPECT_EQ(ErrorState().lastError, kErrOpen);
}

TEST_F(MetafileDriverTest, SlotDrawnCopiedLoadedAndPlayedGivesTheSamePixels) {
  int w = 0, h = 0;
  EmfCreate(0, 75, 60, w, h);  // points: 100 x 80 reference pixels
  EXPECT_EQ(w, 100);
  EXPECT_EQ(h, 80);
  EXPECT_EQ(MetafileSlotAt(1).kind, 3);
  int error = -1;
  EmfSurfaceSetup(0, 100, 80, error);
  ASSERT_EQ(error, 0);
  IGrColourN(4);
  IGrPenMoveTo(0.1f, 0.1f);
  IGrDrawLineTo(0.9f, 0.8f);
  int system = 0;
  const std::string file = (dir / "slot.emf").string();
  EmfCopyToFile(0, error, system, file);
  ASSERT_EQ(error, 0);
  IGrSelect(1, 0);
  const std::int64_t size = static_cast<std::int64_t>(std::filesystem::file_size(file));
  EmfLoad(1, size, error, system, file);
  ASSERT_EQ(error, 0);
  EmfSurfaceSetup(1, 100, 80, error);
  EXPECT_EQ(error, 1);  // a loaded slot records nothing
  const auto played = [this](int slot) {
    surface.Fill(kWhitePixel);
    IGrSelect(1, 0);
    EmfPlay(slot, 0, 0, 100, 80);
    return surface;
  };
  const plat::Surface first = played(0), second = played(1);
  int changed = 0;
  for (plat::Pixel p : first.Pixels()) changed += p != kWhitePixel;
  EXPECT_GT(changed, 50);
  EXPECT_TRUE(first == second);
  // Freed through the graphics core: the slot is empty and can be made again.
  WMetafileDestroy(2);
  EXPECT_EQ(MetafileSlotAt(2).kind, 0);
  EXPECT_TRUE(EmfSlotBytes(1).empty());
}

TEST_F(MetafileDriverTest, OurFilesAreIdentified) {
  struct Case {
    int type;
    int kind;
  };
  for (const Case c : {Case{0, 0}, Case{1, 1}, Case{2, 2}}) {
    SCOPED_TRACE(c.type);
    const std::string name = "id" + std::to_string(c.type);
    (void)Picture(c.type, name);
    const std::string p = (dir / name).string();
    std::array<std::int32_t, 6> info{};
    GraphicsFileType(p, static_cast<int>(p.size()), info, 6);
    EXPECT_EQ(info[0], kGfMetafile);
    EXPECT_EQ(info[3], c.kind);
    if (c.kind != 0) {
      EXPECT_NEAR(info[1], 756, 1);
      EXPECT_NEAR(info[2], 540, 1);
    }
  }
}

// A small picture of every kind our writer makes, then cut and spoiled.
class HostileMetafileTest : public MetafileDriverTest {
 protected:
  int Play(int kind, const std::string& bytes, int target = 0) {
    const std::string p = (dir / "hostile").string();
    testing_support::WriteFile(p, bytes);
    int error = -1;
    MetafilePlay(kind, 0, 0, 99, 79, target, error, p, 0);
    return error;
  }
};

TEST_F(HostileMetafileTest, TruncatedAndSpoiledInputGivesErrorTwo) {
  const std::string placeable = Picture(1, "a"), enhanced = Picture(2, "b");
  IGrSelect(1, 0);
  EXPECT_EQ(Play(1, placeable), 0);
  EXPECT_EQ(Play(0, placeable.substr(22)), 0);
  EXPECT_EQ(Play(2, enhanced), 0);
  for (std::size_t cut = 0; cut < placeable.size(); cut += 7) EXPECT_EQ(Play(1, placeable.substr(0, cut)), 2) << cut;
  for (std::size_t cut = 0; cut < enhanced.size(); cut += 5) EXPECT_EQ(Play(2, enhanced.substr(0, cut)), 2) << cut;
  // Every record size of the enhanced file spoiled in turn.
  for (const Record& r : EnhancedRecords(enhanced)) {
    for (std::uint32_t bad : {0u, 3u, 0x7FFFFFF0u, 0xFFFFFFFCu}) {
      std::string b = enhanced;
      std::memcpy(&b[r.at + 4], &bad, 4);
      EXPECT_EQ(Play(2, b), 2) << r.type;
    }
  }
  // Counts and offsets inside records that point past them.
  for (const Record& r : EnhancedRecords(enhanced)) {
    if (r.type != kEmrPolyline && r.type != kEmrExtTextOutW) continue;
    std::string b = enhanced;
    const std::uint32_t huge = 0x40000000u;
    std::memcpy(&b[r.at + (r.type == kEmrPolyline ? 24 : 44)], &huge, 4);
    EXPECT_EQ(Play(2, b), 2) << r.type;
  }
  std::string wmf = placeable.substr(22);
  for (const Record& r : WindowsRecords(wmf)) {
    if (r.type != kMetaPolyline) continue;
    std::string b = wmf;
    b[r.at + 6] = 0x7F;
    EXPECT_EQ(Play(0, b), 2);
  }
  // A window extent of zero would divide by it: bad data, nothing drawn.
  const std::vector<Record> rec = WindowsRecords(wmf);
  std::string zero = wmf;
  zero[rec[2].at + 6] = zero[rec[2].at + 7] = 0;
  EXPECT_EQ(Play(0, zero), 2);
  // Under 22 bytes there is no placeable picture.
  EXPECT_EQ(Play(1, placeable.substr(0, 21)), 2);
  // Loading a cut file into a slot leaves it empty.
  const std::string p = (dir / "cut.emf").string();
  testing_support::WriteFile(p, enhanced.substr(0, enhanced.size() - 20));
  int error = -1, system = 0;
  EmfLoad(3, static_cast<std::int64_t>(enhanced.size() - 20), error, system, p);
  EXPECT_EQ(error, 2);
  EXPECT_EQ(MetafileSlotAt(4).kind, 0);
  EmfLoad(3, static_cast<std::int64_t>(enhanced.size()), error, system, p);  // more than is there
  EXPECT_EQ(error, 2);
  EmfLoad(3, 10, error, system, (dir / "absent.emf").string());
  EXPECT_EQ(error, 1);
}

TEST_F(HostileMetafileTest, PlayerErrorsOfSourceTargetAndRectangle) {
  const std::string enhanced = Picture(2, "b");
  IGrSelect(1, 0);
  int error = -1;
  MetafilePlay(2, 0, 0, 50, 50, 0, error, "", 1);
  EXPECT_EQ(error, 1095);  // no enhanced metafile on the clipboard
  ASSERT_TRUE(plat::ClipboardSetData(plat::kClipEnhMetafile, {enhanced.begin(), enhanced.end()}));
  MetafilePlay(2, 0, 0, 50, 50, 0, error, "", 1);
  EXPECT_EQ(error, 0);
  MetafilePlay(2, 0, 0, 50, 50, 0, error, (dir / "absent").string(), 0);
  EXPECT_EQ(error, 1);
  // An empty rectangle plays nothing.
  surface.Fill(kWhitePixel);
  MetafilePlay(2, 10, 10, 10, 40, 0, error, (dir / "b").string(), 0);
  EXPECT_EQ(error, 0);
  EXPECT_EQ(CountSet(), 0);
  // No metafile open: the metafile target cannot be drawn on.
  MetafilePlay(2, 0, 0, 50, 50, kDriverWindowsMetafile, error, (dir / "b").string(), 0);
  EXPECT_EQ(error, 1);
}

}  // namespace
}  // namespace tk::testing
