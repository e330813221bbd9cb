// Receiver-geometry files: the F10.2 lines written in the order easting,
// elevation, northing, and reading them back, hostile files included.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/GeometryFile.h"
#include "support/UserMessages.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using vel::GeometrySpans;

struct Receivers {
  explicit Receivers(std::size_t n, float fill = -7.0f)
      : east(n, fill), north(n, fill), elev(n, fill) {}
  GeometrySpans Spans() { return {east, north, elev}; }
  std::vector<float> east, north, elev;
};

class GeometryFileTest : public ::testing::Test {
 protected:
  GeometryFileTest() {
    sup::SetUserMessageHook([this](sup::UserMessageKind, std::string_view, std::string_view t) {
      messages.emplace_back(t);
    });
  }
  ~GeometryFileTest() override { sup::SetUserMessageHook({}); }

  testing_support::TempDir dir;
  std::vector<std::string> messages;
};

TEST_F(GeometryFileTest, WritesEastingElevationNorthingInTenColumnsEach) {
  Receivers r(3);
  r.east = {0.0f, 10.0f, 20.0f};
  r.north = {5.0f, 5.0f, 5.0f};
  r.elev = {100.5f, 101.0f, 99.25f};
  const fs::path p = dir / "line.GEO";
  ASSERT_TRUE(vel::WriteGeometryFile(p.string(), r.Spans(), 3));
  const std::string text = testing_support::ReadFile(p);
  EXPECT_EQ(text,
            "      0.00    100.50      5.00\r\n"
            "     10.00    101.00      5.00\r\n"
            "     20.00     99.25      5.00\r\n");
  EXPECT_EQ(text.substr(6, 4), "0.00");
  EXPECT_EQ(text.substr(14, 6), "100.50");
  EXPECT_EQ(text.substr(26, 4), "5.00");
  EXPECT_TRUE(messages.empty());

  Receivers back(3);
  ASSERT_TRUE(vel::ReadGeometryFile(p.string(), back.Spans(), 3));
  EXPECT_EQ(back.east, r.east);
  EXPECT_EQ(back.north, r.north);
  EXPECT_EQ(back.elev, r.elev);
}

TEST_F(GeometryFileTest, FieldsReadAsFixedWidthNumbers) {
  struct Case {
    std::string line;
    bool reads;
    float east, elev, north;
  };
  const Case cases[] = {
      {"     12345    -250.5      1E2", true, 123.45f, -250.5f, 1.0f},  // implied decimals
      {"    1 2.34", true, 12.34f, 0.0f, 0.0f},  // a short line is blank-padded
      {"", true, 0.0f, 0.0f, 0.0f},
      {"      1.00      2.00      3.00 trailing words", true, 1.0f, 2.0f, 3.0f},
      {"     1.5+2      2.00      3.00", true, 150.0f, 2.0f, 3.0f},
      {"      1.00      abc       3.00", false, 0, 0, 0},
      {"**********      2.00      3.00", false, 0, 0, 0},
      {"    1.0e39      2.00      3.00", false, 0, 0, 0},  // beyond a float
      {"   1.0.0        2.00      3.00", false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    float e = -1, z = -1, n = -1;
    EXPECT_EQ(vel::ReadGeometryLine(c.line, e, z, n), c.reads);
    if (!c.reads) {
      EXPECT_EQ(e, -1.0f);
      continue;
    }
    EXPECT_FLOAT_EQ(e, c.east);
    EXPECT_FLOAT_EQ(z, c.elev);
    EXPECT_FLOAT_EQ(n, c.north);
  }
}

TEST_F(GeometryFileTest, ReadingStopsAtTheEndAnUnreadableLineOrTheLastReceiver) {
  struct Case {
    std::string text;
    std::size_t read;
  };
  const Case cases[] = {
      {"100\r\n200\r\n", 2},                  // fewer lines than receivers
      {"100\n200\n300\n400\n500\n600\n", 4},  // more: extra lines are not read
      {"100\r\n200", 2},                      // no line end after the last
      {"100\r\nbad\r\n300\r\n", 1},           // stops at the first bad line
      {"100\r\r\n", 0},                       // a stray CR is no number
      {std::string("1\0", 2) + "\n", 0},      // nor a NUL
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    Receivers r(4);
    EXPECT_EQ(vel::ReadGeometryText(c.text, r.Spans(), 4), c.read);
    for (std::size_t j = 0; j < 4; ++j) {
      if (j < c.read) {
        EXPECT_FLOAT_EQ(r.east[j], 1.0f * static_cast<float>(j + 1));
        EXPECT_EQ(r.north[j], 0.0f);
      } else {
        EXPECT_EQ(r.east[j], -7.0f) << "receiver " << j + 1 << " keeps its value";
        EXPECT_EQ(r.north[j], -7.0f);
        EXPECT_EQ(r.elev[j], -7.0f);
      }
    }
  }
}

TEST_F(GeometryFileTest, AHugeLineOrFileReadsOnlyWhatIsNeeded) {
  // A line of ten million characters: its first 30 columns count.
  std::string text = "      1.00      2.00      3.00" + std::string(10'000'000, '9') + "\n";
  text += "      4.00      5.00      6.00\n";
  const fs::path p = dir / "long.GEO";
  testing_support::WriteFile(p, text);
  Receivers r(2);
  ASSERT_TRUE(vel::ReadGeometryFile(p.string(), r.Spans(), 2));
  EXPECT_EQ(r.east, (std::vector<float>{1.0f, 4.0f}));
  EXPECT_EQ(r.north, (std::vector<float>{3.0f, 6.0f}));
  // More receivers asked for than the arrays hold: cut to the arrays.
  Receivers small(1);
  EXPECT_EQ(vel::ReadGeometryText(text, small.Spans(), 50), 1u);
}

TEST_F(GeometryFileTest, AValueThatDoesNotFitRefusesTheSaveAndKeepsTheOldFile) {
  const fs::path p = dir / "keep.GEO";
  testing_support::WriteFile(p, "old\r\n");
  struct Case {
    float value;
    bool fits;
  };
  const Case cases[] = {{9999999.0f, true},
                        {10000000.0f, false},
                        {-999999.5f, true},
                        {-1000000.0f, false},
                        {std::nanf(""), false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    Receivers r(3, 1.0f);
    r.elev[1] = c.value;
    messages.clear();
    std::string text;
    std::size_t bad = 0;
    EXPECT_EQ(vel::GeometryFileText(r.Spans(), 3, text, bad), c.fits);
    if (c.fits) continue;
    EXPECT_EQ(bad, 2u);
    EXPECT_FALSE(vel::WriteGeometryFile(p.string(), r.Spans(), 3));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("TRACE 2 "), std::string::npos) << messages[0];
    EXPECT_EQ(testing_support::ReadFile(p), "old\r\n");
  }
}

TEST_F(GeometryFileTest, FilesThatCannotBeWrittenOrOpenedAreReportedByName) {
  Receivers r(1, 2.0f);
  const fs::path missing = dir / "no" / "such.GEO";
  EXPECT_FALSE(vel::WriteGeometryFile(missing.string(), r.Spans(), 1));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(missing.string()), std::string::npos) << messages[0];
  EXPECT_FALSE(fs::exists(missing));

  // Reading: a folder that does not exist cannot give the file.
  messages.clear();
  EXPECT_FALSE(vel::ReadGeometryFile(missing.string(), r.Spans(), 1));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find(missing.string()), std::string::npos) << messages[0];
  EXPECT_EQ(r.east[0], 2.0f);

  // A name that does not exist yet is created empty and reads nothing.
  messages.clear();
  const fs::path fresh = dir / "fresh.GEO";
  EXPECT_TRUE(vel::ReadGeometryFile(fresh.string(), r.Spans(), 1));
  EXPECT_TRUE(fs::exists(fresh));
  EXPECT_EQ(fs::file_size(fresh), 0u);
  EXPECT_EQ(r.east[0], 2.0f);
  EXPECT_TRUE(messages.empty());
}

TEST_F(GeometryFileTest, ASaveReplacesTheFileAndKeepsItsPermissions) {
  const fs::path p = dir / "perm.GEO";
  testing_support::WriteFile(p, std::string(500, 'x'));
  ASSERT_EQ(::chmod(p.c_str(), 0640), 0);
  Receivers r(2, 3.0f);
  ASSERT_TRUE(vel::WriteGeometryFile(p.string(), r.Spans(), 2));
  EXPECT_EQ(testing_support::ReadFile(p),
            "      3.00      3.00      3.00\r\n      3.00      3.00      3.00\r\n");
  struct stat st {};
  ASSERT_EQ(::stat(p.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  int entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
  EXPECT_EQ(entries, 1) << "no temporary file is left behind";
}

}  // namespace
