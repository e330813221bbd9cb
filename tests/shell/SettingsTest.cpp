// The settings file: where it lives, what is written, how it is read back.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "shell/Settings.h"
#include "tests/TestSupport.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// A settings environment in a temporary folder with a pretend current directory.
struct Fixture {
  TempDir dir;
  std::string currentDir = "/data/shots";
  std::vector<std::string> changedTo;
  vel::SettingsEnvironment env;

  Fixture() {
    env.files = vel::SettingsFilesFor("/usr/bin/velloran", dir.path());
    env.currentDirectory = [this] { return currentDir; };
    env.changeDirectory = [this](const std::string& f) {
      changedTo.push_back(f);
      return true;
    };
  }
  void WriteSettings(const std::string& text) { WriteFile(env.files.settings, text); }
  void Read(vel::TraceDisplayOptions& o, vel::SettingsValues& v) { vel::INIIN(o, v, env); }
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      out.push_back(text.substr(start));
      break;
    }
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

TEST(SettingsTest, FileNamesFollowTheExecutable) {
  struct Case {
    const char* exe;
    const char* ini;
    const char* inw;
  };
  const Case cases[] = {
      {"/usr/bin/velloran", "/cfg/velloran.ini", "/cfg/velloran.inw"},
      {"/opt/A.EXE/VELLORAN.EXE", "/cfg/VELLORAN.ini", "/cfg/VELLORAN.inw"},
      {"/opt/velloran.ini", "/cfg/velloran.ini.ini", "/cfg/velloran.ini.inw"},
      {"/opt/.exe", "/cfg/.exe.ini", "/cfg/.exe.inw"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exe);
    const vel::SettingsFiles f = vel::SettingsFilesFor(c.exe, "/cfg");
    EXPECT_EQ(f.settings, fs::path(c.ini));
    EXPECT_EQ(f.work, fs::path(c.inw));
  }
}

TEST(SettingsTest, UserConfigFolder) {
  const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string keep = oldXdg ? oldXdg : "";
  setenv("XDG_CONFIG_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(vel::UserConfigFolder(), fs::path("/tmp/xdg/velloran"));
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  const char* home = std::getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(vel::UserConfigFolder(), fs::path(home) / ".config" / "velloran");
  }
  if (oldXdg) {
    setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
  } else {
    unsetenv("XDG_CONFIG_HOME");
  }
}

TEST(SettingsTest, DefaultPlacementsFollowTheScreen) {
  const vel::SettingsValues v = vel::DefaultSettings(1000, 801);
  EXPECT_EQ(v.mainWindow, (vel::WindowPlacement{50, -1, 600, 481, 1}));
  EXPECT_EQ(v.refractionWindow, (vel::WindowPlacement{50, -1, 400, 320, 1}));
  EXPECT_EQ(v.filterDialog.x, 343);
  EXPECT_EQ(v.nmoDialog, (vel::WindowPlacement{-1, -1, 0, 0, 1}));
  EXPECT_EQ(v.IMERGE, 1);
  EXPECT_EQ(v.pickExport.CDEADOUT.View(), "    DEAD");
}

TEST(SettingsTest, WithoutAFileTheDefaultsHoldAndTheExitCreatesIt) {
  Fixture f;
  f.env.files = vel::SettingsFilesFor("/usr/bin/velloran", f.dir / "config" / "velloran");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v = vel::DefaultSettings(1000, 800);
  const vel::SettingsValues before = v;
  f.Read(o, v);
  EXPECT_EQ(v, before);
  EXPECT_EQ(o, vel::TraceDisplayOptions{});
  v.mainWindow.x = 77;
  o.TRACECLIP = 0.5f;
  vel::LASTDIR(o, v, f.env);
  ASSERT_TRUE(fs::exists(f.env.files.settings));
  EXPECT_FALSE(fs::exists(f.env.files.work));
  vel::TraceDisplayOptions o2;
  vel::SettingsValues v2 = vel::DefaultSettings(1000, 800);
  f.Read(o2, v2);
  EXPECT_EQ(v2, v);
  EXPECT_EQ(o2.TRACECLIP, 0.5f);
}

TEST(SettingsTest, PlacesAScreenCannotShowTakeTheirDefaults) {
  const vel::SettingsValues defaults = vel::DefaultSettings(1000, 800);
  struct Case {
    vel::WindowPlacement stored, kept;
  } cases[] = {
      {{10, 20, 300, 200, 1}, {10, 20, 300, 200, 1}},         // on the screen
      {{-1, -1, 300, 200, 2}, {-1, -1, 300, 200, 2}},         // centred, maximised
      {{1000, 20, 300, 200, 1}, {50, -1, 300, 200, 1}},       // x past the edge
      {{10, 99999999, 300, 200, 1}, {50, -1, 300, 200, 1}},   // y past the edge
      {{10, 20, 99999999, 200, 1}, {10, 20, 600, 480, 1}},    // wider than the screen
      {{10, 20, 300, 0, 1}, {10, 20, 600, 480, 1}},           // no height
      {{10, 20, -1, 200, 1}, {10, 20, 600, 480, 1}},          // negative width
      {{10, 20, 300, 200, 3}, {10, 20, 300, 200, 1}},         // hidden
      {{10, 20, 300, 200, -5}, {10, 20, 300, 200, 1}},        // no such state
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.stored.x) + " " + std::to_string(c.stored.y) + " " +
                 std::to_string(c.stored.width) + " " + std::to_string(c.stored.height));
    vel::SettingsValues v = defaults;
    v.mainWindow = c.stored;
    v.nmoDialog = {c.stored.x, c.stored.y, 0, 0, 1};
    vel::KeepPlacementsOnScreen(v, 1000, 800);
    EXPECT_EQ(v.mainWindow, c.kept);
    // A place of x and y only keeps no size.
    EXPECT_EQ(v.nmoDialog.x, c.kept.x == 50 ? -1 : c.kept.x);
    EXPECT_EQ(v.nmoDialog.width, 0);
  }
}

TEST(SettingsTest, DefaultsAreWrittenInTheirFormatsAndOrder) {
  Fixture f;
  f.WriteSettings("");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v = vel::DefaultSettings(1000, 800);
  f.Read(o, v);
  ASSERT_TRUE(fs::exists(f.env.files.work));
  vel::LASTDIR(o, v, f.env);
  EXPECT_FALSE(fs::exists(f.env.files.work));
  const std::vector<std::string> lines = Lines(ReadFile(f.env.files.settings));
  const std::vector<std::string> expected = {
      "[Directories]",  "LastDir=/data/shots", "[Windows]",         "Dialog X=  343",
      "Dialog Y=  189", "Window X=   50",      "Window Y=   -1",    "Window W=  600",
      "Window H=  480", "Window State=    1",  "Ref Window X=   50"};
  ASSERT_GE(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]);
  const auto has = [&](const std::string& l) {
    return std::find(lines.begin(), lines.end(), l) != lines.end();
  };
  for (const char* l : {"NMO X=   -1",
                        "WWave State=    1",
                        "[Flags]",
                        "LZOOM=F",
                        "IMERGE= 1",
                        "IPICKOUT= 0",
                        "CDEADOUT=    DEAD",
                        "CSValue=F",
                        "Remove Delay=    0",
                        "[Properties]",
                        "Trace Clip=  2.0",
                        "Trace Overlap=  2.0",
                        "AGC Length= 0.30",
                        "Gain Method=    2",
                        "Vertical Display=T",
                        "Trace Position=F",
                        "Pixel Size=1.000",
                        "[ASCII File]",
                        "ILABEL=    0",
                        "[Filters]",
                        "Freq1=  0.005000",
                        "Freq8=  0.420000",
                        "FSmooth=  0.100000",
                        "Velocity=    2000.0,     2000.0",
                        "Widths=      0.25,       0.25",
                        "Enhance=  0.000000,   0.000000",
                        "VSmooth=  0.100000"})
    EXPECT_TRUE(has(l)) << l;
  EXPECT_EQ(lines.back(), "VSmooth=  0.100000");
}

TEST(SettingsTest, RoundTripKeepsEveryValue) {
  Fixture f;
  f.WriteSettings("");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v = vel::DefaultSettings(1920, 1080);
  f.Read(o, v);

  // A folder far longer than a line of 80 or a field of 255 characters.
  f.currentDir = "/" + std::string(300, 'd') + "/with blanks inside";
  o.TRACECLIP = 0.01f;
  o.TRACEWIDTH = 0.07f;
  o.AGCFRAC = 0.01f;
  o.IGAINMETHOD = 3;
  o.ITIMELINES = 1;
  o.LVERTICAL = false;
  o.LGEOPOS = true;
  o.PIXELSIZE = 0.0015f;
  v.mainWindow = {12, 34, 560, 78, 1};
  v.waveletWindow = {1, 2, 300, 400, 1};
  v.nmoDialog = {100, -200, 0, 0, 1};
  v.LZOOM = true;
  v.IMERGE = 123;  // wider than its field
  v.pickExport = {3, 2, "  NOPICK", 1, true};
  v.LREMOVEDELAY = true;
  v.asciiExport = {2, true, true};
  v.bandpass.Freq1 = 0.00123456f;
  v.bandpass.Freq8 = 1.0f;
  v.fkFilter.Velocity = {1234.56f, -3000.0f};
  v.fkFilter.Widths = {0.125f, 0.3f};
  v.fkFilter.Enhance = {2.5f, 0.0f};
  v.fkFilter.VSmooth = 0.05f;
  vel::LASTDIR(o, v, f.env);
  const std::string written = ReadFile(f.env.files.settings);
  EXPECT_NE(written.find("\r\nTrace Clip= 1.0E-02\r\n"), std::string::npos) << written;
  EXPECT_NE(written.find("\r\nIMERGE=        123\r\n"), std::string::npos) << written;

  Fixture g;
  g.env.files = f.env.files;
  vel::TraceDisplayOptions o2;
  vel::SettingsValues v2 = vel::DefaultSettings(1920, 1080);
  g.Read(o2, v2);
  EXPECT_EQ(o2, o);
  EXPECT_EQ(v2, v);
  ASSERT_EQ(g.changedTo.size(), 1u);
  EXPECT_EQ(g.changedTo[0], f.currentDir);
}

TEST(SettingsTest, TheWorkFileIsReadWhenTheSettingsFileIsMissing) {
  Fixture f;
  WriteFile(f.env.files.work, "[Properties]\r\nTrace Clip= 5.0\r\n");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v;
  f.Read(o, v);
  EXPECT_EQ(o.TRACECLIP, 5.0f);
  EXPECT_EQ(ReadFile(f.env.files.work), "");  // emptied, ready for the save at exit
}

TEST(SettingsTest, KeysAfterTheWindowsFoundAnywhereInAnyOrder) {
  Fixture f;
  f.WriteSettings(
      "Velocity=1500.5 2500\n"
      "Time Lines=    3\r\n"
      "[Windows]\r\n"
      "Dialog X=  10\r\n"
      "Dialog Y=  20\r\n"
      "LZOOM=T\r\n"
      "Widths=  0.5,0.75\r\n"
      "Enhance=  1.0 ,  2.0\r\n");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v;
  f.Read(o, v);
  EXPECT_EQ(v.fkFilter.Velocity, (std::array<float, 2>{1500.5f, 2500.0f}));
  EXPECT_EQ(v.fkFilter.Widths, (std::array<float, 2>{0.5f, 0.75f}));
  EXPECT_EQ(v.fkFilter.Enhance, (std::array<float, 2>{1.0f, 2.0f}));
  EXPECT_EQ(o.ITIMELINES, 3);
  EXPECT_EQ(v.filterDialog.x, 10);
  EXPECT_EQ(v.filterDialog.y, 20);
  EXPECT_TRUE(v.LZOOM);
}

TEST(SettingsTest, AMissingWindowKeyStopsTheChainOnly) {
  Fixture f;
  f.WriteSettings(
      "[Windows]\r\n"
      "Dialog X=    1\r\nDialog Y=    2\r\n"
      "Window X=    3\r\nWindow Y=    4\r\nWindow W=    5\r\nWindow H=    6\r\n"
      "Ref Window X=    7\r\n"  // "Window State=" missing
      "[Flags]\r\nIMERGE= 2\r\n");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v = vel::DefaultSettings(1000, 800);
  f.Read(o, v);
  EXPECT_EQ(v.mainWindow, (vel::WindowPlacement{3, 4, 5, 6, 1}));
  EXPECT_EQ(v.refractionWindow, vel::DefaultSettings(1000, 800).refractionWindow);
  EXPECT_EQ(v.IMERGE, 2);
}

TEST(SettingsTest, ReadingEndsAtTheFirstUnreadableValue) {
  struct Case {
    const char* name;
    const char* text;
  };
  const Case cases[] = {
      {"bad integer", "IMERGE= 4\r\nGain Method= x3\r\nTime Lines= 3\r\n"},
      {"indented key", "IMERGE= 4\r\n Gain Method= 3\r\nTime Lines= 3\r\n"},
      {"bad logical", "IMERGE= 4\r\nPlot Picks= yes\r\nTime Lines= 3\r\n"},
      {"missing second real", "IMERGE= 4\r\nVelocity= 100.0\r\nTime Lines= 3\r\n"},
      {"wavelet size missing",
       "IMERGE= 4\r\n[Windows]\r\nDialog X=1\r\nDialog Y=1\r\nWindow X=1\r\nWindow Y=1\r\n"
       "Window W=1\r\nWindow H=1\r\nWindow State=1\r\nRef Window X=1\r\nRef Window Y=1\r\n"
       "Ref Window W=1\r\nRef Window H=1\r\nRef Window State=1\r\nWSpect X=1\r\nWSpect Y=1\r\n"
       "WSpect W=1\r\nWSpect H=1\r\nWSpect State=1\r\nWOutpt X=1\r\nWOutpt Y=1\r\n"
       "WOutpt W=1\r\nWOutpt H=1\r\nWOutpt State=1\r\nWImpls X=1\r\nWImpls Y=1\r\n"
       "WImpls W=1\r\nWImpls H=1\r\nWImpls State=1\r\nWInput X=1\r\nWInput Y=1\r\n"
       "WInput W=1\r\nWInput H=1\r\nWInput State=1\r\nNMO X=1\r\nNMO Y=1\r\n"
       "WSpectrum X=1\r\nWSpectrum Y=1\r\nWSpectrum W=1\r\nWSpectrum H=1\r\n"
       "WSpectrum State=1\r\nWWave X=9\r\nWWave Y=9\r\nTime Lines= 3\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    f.WriteSettings(c.text);
    vel::TraceDisplayOptions o;
    vel::SettingsValues v;
    f.Read(o, v);
    EXPECT_EQ(v.IMERGE, 4);      // read before
    EXPECT_EQ(o.ITIMELINES, 2);  // never reached
  }
}

TEST(SettingsTest, ARealThatIsNotANumberIsLeftOutAndLaterKeysSurvive) {
  Fixture f;
  f.WriteSettings("");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v;
  f.Read(o, v);
  o.TRACECLIP = std::nanf("");
  v.fkFilter.Velocity[1] = std::numeric_limits<float>::infinity();
  o.ITIMELINES = 3;
  v.fkFilter.VSmooth = 0.2f;
  vel::LASTDIR(o, v, f.env);
  const std::string written = ReadFile(f.env.files.settings);
  EXPECT_EQ(written.find("Trace Clip="), std::string::npos);
  EXPECT_EQ(written.find("Velocity="), std::string::npos);

  Fixture g;
  g.env.files = f.env.files;
  vel::TraceDisplayOptions o2;
  vel::SettingsValues v2;
  g.Read(o2, v2);
  EXPECT_EQ(o2.TRACECLIP, 2.0f);
  EXPECT_EQ(o2.ITIMELINES, 3);
  EXPECT_EQ(v2.fkFilter.Velocity, (std::array<float, 2>{2000.0f, 2000.0f}));
  EXPECT_EQ(v2.fkFilter.VSmooth, 0.2f);
}

TEST(SettingsTest, DeadTextKeepsItsLeadingBlanks) {
  Fixture f;
  f.WriteSettings("CDEADOUT=    DEAD\r\n");
  vel::TraceDisplayOptions o;
  vel::SettingsValues v;
  v.pickExport.CDEADOUT = "X";
  f.Read(o, v);
  EXPECT_EQ(v.pickExport.CDEADOUT.View(), "    DEAD");
}

TEST(SettingsTest, LastDirWithoutAFolderNameIsLeftOut) {
  Fixture f;
  f.WriteSettings("[Directories]\r\nLastDir=  \r\n");
  f.currentDir.clear();
  vel::TraceDisplayOptions o;
  vel::SettingsValues v;
  f.Read(o, v);
  EXPECT_TRUE(f.changedTo.empty());
  vel::LASTDIR(o, v, f.env);
  const auto lines = Lines(ReadFile(f.env.files.settings));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "[Windows]");
}

}  // namespace
