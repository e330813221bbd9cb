// The in-memory CGM recorder: a memory-CGM slot selected as the drawable
// records the screen-side operations as CGM elements in its fixed buffer,
// which stays a well-formed metafile even when it fills up.
#include <gtest/gtest.h>

#include <string>

#include "tests/toolkit/graphics/GraphicsTestSupport.h"
#include "tests/toolkit/hardcopy/CgmDecoder.h"
#include "toolkit/core/Errors.h"
#include "toolkit/graphics/Colours.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/hardcopy/CgmMemory.h"
#include "toolkit/hardcopy/HardcopyOptions.h"
#include "toolkit/hardcopy/PolygonFill.h"
#include "toolkit/hardcopy/ToolkitStart.h"
#include "toolkit/core/Windows.h"

namespace tk::testing {
namespace {

using O = DriverOperation;
constexpr int kSlot = 3;

class CgmMemoryTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    RegisterMemoryRecorder(XXCGMMEM);
  }
  void TearDown() override {
    IGrSelect(kDrawWindow, 0);
    for (int s = 1; s <= kMetafileSlots; ++s) MetafileSlotAt(s) = MetafileSlot{};
    GraphicsTest::TearDown();
  }
  /// Creates the slot, records the headers and selects it as the drawable.
  void Start(int width = 756, int height = 540, int capacity = 100000) {
    ASSERT_TRUE(MemoryCgmSlotCreate(kSlot, width, height, capacity));
    O header = O::MetafileHeader;
    XXCGMMEM(header);
    IGrSelect(kDrawMetafile, kSlot);
    ASSERT_EQ(Gs().memoryRecorderOn, 1);
  }
  static void Send(O op) { ScreenDriverCall(op); }
  static void Line(int x0, int y0, int x1, int y1) {
    DriverParameters& dp = DriverParams();
    dp.KX[0] = x0, dp.KY[0] = y0, dp.KX[1] = x1, dp.KY[1] = y1;
    dp.X[0] = static_cast<float>(x0), dp.Y[0] = static_cast<float>(y0);
    dp.X[1] = static_cast<float>(x1), dp.Y[1] = static_cast<float>(y1);
    Send(O::Line);
  }
  static std::string Recorded() {
    const MetafileSlot& s = MetafileSlotAt(kSlot);
    return s.cgm.substr(0, static_cast<std::size_t>(s.used));
  }
  static CgmRead Finish() {
    Send(O::EndOutput);
    CgmRead r = DecodeCgm(Recorded());
    EXPECT_TRUE(r.ok) << r.error;
    return r;
  }
};

TEST_F(CgmMemoryTest, VdcExtentOfTheSlotSize) {
  struct Case {
    int width, height, w, h;
  };
  for (const Case& c : {Case{756, 540, 6300, 4500}, Case{4000, 3000, 32767, 24575}}) {
    SCOPED_TRACE(c.width);
    Start(c.width, c.height);
    EXPECT_EQ(Gs().width, c.w);
    EXPECT_EQ(Gs().height, c.h);
    const CgmRead r = Finish();
    EXPECT_EQ(r.vdcWidth, c.w);
    EXPECT_EQ(r.vdcHeight, c.h);
    EXPECT_EQ(r.version, 3);
    EXPECT_EQ(r.pictures, 1);
    TearDown();
    SetUp();
  }
}

TEST_F(CgmMemoryTest, LineColourAgainAfterBeginAndWhiteStaysWhite) {
  HardcopyOptionStore(6, 1);
  Gs().colourMode = 2;
  Start();
  ColourDirectSet(-1, 0xFFFFFF, 0, 1);
  Line(1, 1, 10, 10);
  Line(2, 2, 20, 20);
  Send(O::BeginPicture);
  Line(3, 3, 30, 30);
  DriverParams().P1 = 1;
  const int before = MetafileSlotAt(kSlot).used;
  Send(O::EndPage);
  EXPECT_EQ(MetafileSlotAt(kSlot).used, before);
  const CgmRead r = Finish();
  ASSERT_EQ(r.Count(5, 4), 2);
  for (int i : r.Ids(5, 4))
    EXPECT_EQ(r.elements[static_cast<std::size_t>(i)].params, std::string("\xFF\xFF\xFF\0", 4));
  HardcopyOptionStore(6, 0);
}

TEST_F(CgmMemoryTest, OnePointPolylineReadPixelAndTextForms) {
  Start();
  DriverParameters& dp = DriverParams();
  dp.P1 = 1;
  dp.pointX[0] = 5, dp.pointY[0] = 6;
  Send(O::Polyline);
  Send(O::ReadPixel);
  EXPECT_EQ(dp.KX[0], -1);
  struct Case {
    int length, font, id;
    bool longForm;
  };
  const Case cases[] = {{20, 0, 5, true}, {19, 0, 5, false}, {23, 1, 4, false}, {260, 0, 5, true}};
  for (const Case& c : cases) {
    Gs().text.spacingMode = c.font;
    DriverText() = std::string(static_cast<std::size_t>(c.length), 'x') +
                   std::string(static_cast<std::size_t>(kDriverTextLength - c.length), ' ');
    dp.KX[0] = c.length;
    Send(O::Text);
  }
  const CgmRead r = Finish();
  ASSERT_EQ(r.Count(4, 1), 1);
  const CgmElementRead& line = r.elements[static_cast<std::size_t>(r.Ids(4, 1)[0])];
  EXPECT_TRUE(line.longForm);
  EXPECT_EQ(line.params, std::string("\0\5\0\6", 4));
  std::vector<const CgmElementRead*> texts;
  for (const CgmElementRead& e : r.elements)
    if (e.cls == 4 && (e.id == 4 || e.id == 5)) texts.push_back(&e);
  ASSERT_EQ(texts.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(cases[i].length);
    EXPECT_EQ(texts[i]->id, cases[i].id);
    EXPECT_EQ(texts[i]->longForm, cases[i].longForm);
    std::size_t at = cases[i].id == 5 ? 10 : 6;
    EXPECT_EQ(CgmString(texts[i]->params, at).size(), static_cast<std::size_t>(cases[i].length));
  }
  EXPECT_EQ(texts[2]->params.size(), 30u);
}

TEST_F(CgmMemoryTest, FullBufferRefusesWholeElementsAndStaysWellFormed) {
  // Learn the sizes: the headers and select, and one line with its colour.
  Start();
  const int head = MetafileSlotAt(kSlot).used;
  Line(1, 1, 10, 10);
  const int line = MetafileSlotAt(kSlot).used - head;
  TearDown();
  SetUp();

  struct Case {
    int capacity;
    bool stored;
  };
  for (const Case& c : {Case{head + line + 4, true}, Case{head + line + 3, false}}) {
    SCOPED_TRACE(c.capacity);
    Start(756, 540, c.capacity);
    ErrorState().lastError = 0;
    Line(1, 1, 10, 10);
    // Refused, the polyline is left out whole (its colour element fits).
    const int used = MetafileSlotAt(kSlot).used;
    if (c.stored)
      EXPECT_EQ(used, head + line);
    else
      EXPECT_LT(used, head + line);
    EXPECT_EQ(ErrorState().lastError, c.stored ? 0 : 1062);
    ErrorState().lastError = 0;
    Line(1, 1, 2, 2);  // no room, or refused after the first refusal
    EXPECT_EQ(ErrorState().lastError, c.stored ? 1062 : 0);
    const CgmRead r = Finish();
    EXPECT_EQ(r.Count(4, 1), c.stored ? 1 : 0);
    EXPECT_EQ(MetafileSlotAt(kSlot).used, used + 4);  // END PICTURE, END METAFILE
    TearDown();
    SetUp();
  }
}

TEST_F(CgmMemoryTest, ShapesRecordAsCgmPrimitives) {
  Start();
  DriverParameters& dp = DriverParams();
  dp.KX = {10, 5, 0, 0}, dp.KY = {10, 0, 0, 0};
  dp.X = {10, 5, 1, 0}, dp.Y = {10, 0, 0, 0};
  Send(O::EllipseOutline);
  Send(O::EllipseSolid);
  dp.KX = {0, 10, 10, 0}, dp.KY = {0, 0, 10, 10};
  Send(O::TrapeziumSolid);
  Send(O::TriangleHalftone);
  Gs().clipPixX0 = 2, Gs().clipPixY0 = 2, Gs().clipPixX1 = 8, Gs().clipPixY1 = 8;
  dp.KX = {0, 20, 0, 0}, dp.KY = {3, 6, 0, 0};
  Send(O::RectangleSolid);
  dp.X = {50, 20, 0, 0}, dp.Y = {40, 20, 1.5f, 0};
  Send(O::PieSolid);
  Send(O::ClipRectangle);
  const CgmRead r = Finish();
  EXPECT_EQ(r.Count(4, 17), 2);
  EXPECT_EQ(r.Count(4, 7), 3);
  ASSERT_EQ(r.Count(4, 11), 1);
  EXPECT_EQ(r.elements[static_cast<std::size_t>(r.Ids(4, 11)[0])].params,
            std::string("\0\2\0\3\0\x08\0\6", 8));
  EXPECT_EQ(r.Count(5, 30), 2);
  const velloran::testing::GreyImage image = RenderCgm(r, 100, 80, 1, 1);
  EXPECT_TRUE(image.Dark(5, 79 - 4));  // inside the rectangle
}

TEST_F(CgmMemoryTest, GradientPolygonsRecordAsInterpolatedTriangles) {
  struct Case {
    const char* name;
    std::vector<std::pair<float, float>> points;
    int triangles;
  };
  const std::vector<Case> cases = {
      {"triangle", {{10, 10}, {60, 10}, {10, 60}}, 1},
      {"square", {{10, 10}, {60, 10}, {60, 60}, {10, 60}}, 2},
      {"one point", {{10, 10}}, 0},
  };
  const std::int32_t colours[] = {0x0000FF, 0x00FF00, 0xFF0000, 0x808080};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Start();
    DriverParameters& dp = DriverParams();
    const int n = static_cast<int>(c.points.size());
    GradientPolygon().Resize(n);
    for (int i = 0; i < n; ++i) {
      dp.pointX[i] = c.points[static_cast<std::size_t>(i)].first;
      dp.pointY[i] = c.points[static_cast<std::size_t>(i)].second;
      GradientPolygon().colour[static_cast<std::size_t>(i)] = colours[i];
    }
    dp.softwareFillCount = n;
    Send(O::SoftwareFill);
    const CgmRead r = Finish();
    EXPECT_EQ(r.Count(5, 43), c.triangles);
    EXPECT_EQ(r.Count(5, 31), c.triangles);
    EXPECT_EQ(r.Count(4, 7), c.triangles);
    if (c.triangles == 1) {
      const std::string p = r.elements[static_cast<std::size_t>(r.Ids(5, 43)[0])].params;
      ASSERT_EQ(p.size(), 22u);
      EXPECT_EQ(CgmWord(p, 0), 3);
      EXPECT_EQ(p.substr(12), std::string("\xFF\0\0\0\xFF\0\0\0\xFF\0", 10));
      // The second vector runs from a to c: straight up by 50 points.
      EXPECT_EQ(CgmWord(p, 6), 0);
      EXPECT_GT(CgmWord(p, 8), 0);
    }
    TearDown();
    SetUp();
  }
}

TEST_F(CgmMemoryTest, ShutdownFreesTheSlotsInUse) {
  Start();
  Line(1, 1, 10, 10);
  IGrSelect(kDrawWindow, 0);
  ConnectHardcopy();
  WindowShutdown();
  SetHardcopyEndHook({});
  EXPECT_EQ(MetafileSlotAt(kSlot).inUse, 0);
  EXPECT_EQ(MetafileSlotAt(kSlot).kind, 0);
  EXPECT_TRUE(MetafileSlotAt(kSlot).cgm.empty());
}

}  // namespace
}  // namespace tk::testing
