// The real program on a real X server, driven as a user drives it: every
// command of the main window's menus that opens a dialog or a message box,
// chosen once with the mouse and once from the keyboard on a loaded record,
// shows a mapped window with something drawn in it, and Escape closes it.
// Keys and clicks go through the X server's input devices (XTEST), so they
// take the path a person's keyboard and mouse take. A command is added to
// the run by one row of kCommands; a command that opens nothing (the zoom
// mode, Unzoom, Lastzoom, the trace operations) by one row of kRedrawCommands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend/x11/X11TestHooks.h"
#include "platform/controls/Controls.h"
#include "platform/text/Font.h"
#include "resources/ResourceFormat.h"
#include "resources/Resources.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "display/FkFilterWindow.h"
#include "display/FkPlot.h"
#include "display/PickAll.h"
#include "formats/Seg2Out.h"
#include "support/GraphAxes.h"
#include "toolkit/core/Rounding.h"
#include "tests/FakePrintSystem.h"
#include "tests/shell/MainMenuPlaces.h"
#include "tools/sample/SampleShot.h"

#ifdef VELLORAN_XUSER
#include "platform/backend/x11/X11UserInput.h"
#endif

namespace {

using testing_support::Find;
using testing_support::MenuCommand;
using testing_support::MenuPlace;

// Every command of the main menu that opens a dialog or a message box with
// a record loaded (Bandpass Filter and FK Filter: their windows and their
// dialog, which Escape cancels; Spectrum has a run of its own below, as its window takes no keys) (Wavelet Pick and Select Wavelet: their messages, as no
// wavelet is selected yet). The pickers that open nothing have their own run
// below.
constexpr MenuCommand kCommands[] = {
    {"File", "Open"},
    {"File", "Save As"},
    {"File", "Import"},
    {"File", "Import Non-Compliant SEG-Y"},
    {"File", "Import User-Defined Format"},
    {"File", "Import ASCII File"},
    {"File", "Merge Files"},
    {"File", "Combine Files"},
    {"File", "Concatenate SEG-Y file"},
    {"File", "Subtract second trace file"},
    {"File", "Export SEG2"},
    {"File", "Export SEGY"},
    {"File", "Export Picks"},
    {"File", "Export GRM Format"},
    {"File", "Export ASCII File"},
    {"File", "Convert File(s) to SEG-2"},
    {"File", "Convert File(s) to SEG-Y"},
    {"File", "Print"},
    {"Edit", "Edit Pick Parameters"},
    {"Edit", "Edit Shot Header"},
    {"Edit", "Truncate Traces"},
    {"Edit", "Resample Traces"},
    {"Edit", "Remove Traces"},
    {"Edit", "Gain Traces"},
    {"View", "Properties"},
    {"Pick", "Wavelet Pick"},
    {"Pick", "Select Wavelet"},
    {"Process", "Bandpass Filter"},
    {"Process", "FK Filter"},
    {"Process", "NMO Correction"},
    {"Process", "Refraction Interpretation"},
    {"Help", "About Velloran"},
};

// Commands of the main menu that open nothing: they change the zoom mode or
// the traces and redraw the record in its own window.
// Refraction (Flat Layer) opens a child window of its own, which its own
// test below closes.
constexpr MenuCommand kRedrawCommands[] = {
    {"View", "Zoom"},
    {"View", "Unzoom"},
    {"View", "Lastzoom"},
    {"Process", "Differentiate"},
    {"Process", "Integrate"},
    {"Process", "Detrend"},
    {"Process", "Remove DC Level"},
};

#ifdef VELLORAN_XUSER

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using plat::xuser::TopWindow;
using testing_support::Child;
using testing_support::FindProgram;
using testing_support::Screenshot;

/// Waits up to MS for PRED, polling.
template <typename Pred>
bool WaitFor(int ms, Pred pred) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (pred()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

class MenuDialogsX11 : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string xvfb = FindProgram("Xvfb");
    if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH: the real X11 window test is skipped";
    xwd_ = FindProgram("xwd");
    if (xwd_.empty()) GTEST_SKIP() << "xwd is not on PATH: the real X11 window test is skipped";
    std::string why;
    ASSERT_TRUE(server_.Start(xvfb, 24, why, "1280x1024", false)) << why;
    record_ = (dir_.path() / "shot.sg2").string();
    ASSERT_TRUE(sample_shot::Write(record_, why)) << why;
  }

  /// Starts the program on the sample record and waits for its window.
  bool StartProgram() {
    program_ = std::make_unique<Child>();
    const std::string home = dir_.path().string();
    std::vector<std::string> env{"DISPLAY=" + server_.Display(), "VELLORAN_HEADLESS",
                                 "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config"};
    env.insert(env.end(), extraEnv_.begin(), extraEnv_.end());
    if (!program_->Start({VELLORAN_EXE, record_}, env)) return false;
    user_ = std::make_unique<plat::xuser::User>(server_.Display());
    if (!user_->Ready()) return false;
    main_ = 0;
    WaitFor(30000, [&] {
      for (const TopWindow& w : user_->Windows())
        if (w.mapped && !w.overlay && main_ == 0) main_ = w.id;
      return main_ != 0 || program_->Wait(0).has_value();
    });
    if (main_ == 0) return false;
    // The pointer rests over the record, as a user's hand would, and the
    // window holds the keyboard, as a window manager gives it.
    const TopWindow w = Window(main_).value();
    user_->MoveTo({w.rect.left + w.rect.Width() / 2, w.rect.top + w.rect.Height() / 2});
    plat::x11test::SetInputFocus(server_.Display(), main_);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    return true;
  }

  std::optional<TopWindow> Window(plat::NativeWindow id) {
    for (const TopWindow& w : user_->Windows())
      if (w.id == id) return w;
    return std::nullopt;
  }

  /// Mapped top-level windows other than the main window and menus.
  std::vector<TopWindow> Others() {
    std::vector<TopWindow> out;
    for (const TopWindow& w : user_->Windows())
      if (w.id != main_ && !w.overlay && w.mapped) out.push_back(w);
    return out;
  }
  /// Every top-level window other than the main window and menus, mapped or not.
  std::vector<TopWindow> AllOthers() {
    std::vector<TopWindow> out;
    for (const TopWindow& w : user_->Windows())
      if (w.id != main_ && !w.overlay) out.push_back(w);
    return out;
  }

  /// The pop-up menu once one is mapped (at most 3 s).
  std::optional<TopWindow> ShownPopup() {
    std::optional<TopWindow> popup;
    WaitFor(3000, [&] {
      for (const TopWindow& w : user_->Windows())
        if (w.overlay && w.mapped) popup = w;
      return popup.has_value();
    });
    return popup;
  }

  /// Chooses P in the menu bar of window IN (the main window when 0).
  bool ChooseWithMouse(const MenuPlace& p, plat::NativeWindow in = 0) {
    const std::optional<TopWindow> window = Window(in != 0 ? in : main_);
    if (!window) return false;
    const TopWindow& main = *window;
    const int barMiddle = main.rect.top + 10;
    user_->MoveTo({main.rect.left + (p.titleLeft + p.titleRight) / 2, barMiddle});
    user_->Click();
    const std::optional<TopWindow> popup = ShownPopup();
    if (!popup) return false;
    user_->MoveTo({popup->rect.left + popup->rect.Width() / 2,
                   popup->rect.top + (p.entryTop + p.entryBottom) / 2});
    user_->Click();
    return true;
  }

  // Alt and the title's underlined letter open its pop-up with the first
  // entry selected; a title without one is reached with F10 and the arrows.
  bool ChooseWithKeys(const MenuPlace& p) {
    bool ok = true;
    if (!p.mnemonic.empty()) {
      ok = user_->Tap(p.mnemonic, {"Alt_L"});
    } else {
      ok = user_->Tap("F10");
      for (int i = 0; i < p.title; ++i) ok = ok && user_->Tap("Right");
      ok = ok && user_->Tap("Down");
    }
    for (int i = 0; i < p.downs; ++i) ok = ok && user_->Tap("Down");
    return ok && user_->Tap("Return");
  }

  /// Whether the screen inside R holds a picture: more than a couple of
  /// colours, and not what was there before the window came.
  static bool Drawn(const Screenshot& before, const Screenshot& after, const plat::Rect& r,
                    long share = 4) {
    std::set<plat::Pixel> colours;
    long changed = 0, total = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        colours.insert(after.At(x, y));
        changed += after.At(x, y) != before.At(x, y);
        ++total;
      }
    return colours.size() >= 3 && changed * share >= total;
  }

  /// A screenshot once two taken in a row agree (at most a few seconds).
  bool Settled(Screenshot& shot, std::string& why) {
    Screenshot last;
    if (!testing_support::TakeScreenshot(xwd_, server_.Display(), last, why)) return false;
    for (int i = 0; i < 30; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      if (!testing_support::TakeScreenshot(xwd_, server_.Display(), shot, why)) return false;
      if (shot.pixels == last.pixels) return true;
      last = std::move(shot);
    }
    shot = std::move(last);
    return true;
  }

  /// Chooses C one way, checks the window it opens, closes it with Escape.
  /// Empty when all went as it should; otherwise what went wrong.
  std::string Run(const MenuCommand& c, bool keyboard) {
    const std::optional<MenuPlace> place = Find(c);
    if (!place) return "not in the main menu";
    // The screen as it is once the last window's place has been drawn again.
    Screenshot before, after;
    std::string why;
    if (!Settled(before, why)) return why;
    if (!(keyboard ? ChooseWithKeys(*place) : ChooseWithMouse(*place)))
      return "the menu did not open";
    std::vector<TopWindow> shown;
    WaitFor(8000, [&] { return !(shown = Others()).empty(); });
    if (shown.empty()) {
      const std::size_t hidden = AllOthers().size();
      return hidden > 0 ? "a window was made but never mapped" : "no window appeared";
    }
    const TopWindow& w = shown.back();
    bool drawn = false;
    WaitFor(3000, [&] {
      drawn = testing_support::TakeScreenshot(xwd_, server_.Display(), after, why) &&
              Drawn(before, after, w.rect);
      return drawn;
    });
    if (!drawn) return "the window \"" + w.title + "\" shows nothing drawn";
    user_->Tap("Escape");
    if (!WaitFor(5000, [&] { return Others().empty(); }))
      return "Escape left \"" + Others().back().title + "\" on the screen";
    return {};
  }

  /// Chooses C one way and checks that no window comes and the main window
  /// still shows the record. Empty when all went as it should.
  std::string RunWithoutWindow(const MenuCommand& c, bool keyboard) {
    const std::optional<MenuPlace> place = Find(c);
    if (!place) return "not in the main menu";
    Screenshot shot;
    std::string why;
    if (!Settled(shot, why)) return why;
    if (!(keyboard ? ChooseWithKeys(*place) : ChooseWithMouse(*place)))
      return "the menu did not open";
    if (WaitFor(1000, [&] { return !Others().empty(); }))
      return "the window \"" + Others().back().title + "\" appeared";
    if (program_->Wait(0).has_value()) return "the program ended";
    if (!Settled(shot, why)) return why;
    const plat::Rect r = Window(main_).value().rect;
    std::set<plat::Pixel> colours;
    for (int y = r.top + r.Height() / 4; y < r.bottom - r.Height() / 4; ++y)
      for (int x = r.left + r.Width() / 4; x < r.right - r.Width() / 4; ++x)
        colours.insert(shot.At(x, y));
    if (colours.size() < 3) return "the main window shows no record";
    return {};
  }

  /// Mapped top-level windows titled TITLE.
  std::vector<TopWindow> Titled(std::string_view title) {
    std::vector<TopWindow> out;
    for (const TopWindow& w : user_->Windows())
      if (w.mapped && !w.overlay && w.title == title) out.push_back(w);
    return out;
  }
  /// Waits for the child window titled TITLE and for something drawn in it
  /// (a white graph over the white record changes fewer pixels than a dialog).
  std::optional<TopWindow> ChildShown(std::string_view title, const Screenshot& before,
                                      std::string& why) {
    std::vector<TopWindow> shown;
    if (!WaitFor(8000, [&] { return !(shown = Titled(title)).empty(); })) {
      why = "the window \"" + std::string(title) + "\" did not appear";
      return std::nullopt;
    }
    Screenshot after;
    const bool drawn = WaitFor(3000, [&] {
      return testing_support::TakeScreenshot(xwd_, server_.Display(), after, why) &&
             Drawn(before, after, shown.back().rect, 50);
    });
    if (!drawn) {
      why = "the window \"" + std::string(title) + "\" shows nothing drawn";
      return std::nullopt;
    }
    return shown.back();
  }
  /// With the mouse, in child window W: ENTRY of its File pop-up (menu MENU).
  bool ChooseInChild(const TopWindow& w, int menu, const char* entry) {
    const std::optional<MenuPlace> place = Find({"File", entry}, menu);
    return place.has_value() && ChooseWithMouse(*place, w.id);
  }
  /// After a command of child window CHILD: the window titled DIALOG (any
  /// title when empty) appears over it and Escape closes it, leaving CHILD.
  std::string DialogFromChild(const TopWindow& child, std::string_view dialog) {
    std::vector<TopWindow> shown;
    const auto other = [&] {
      shown.clear();
      for (const TopWindow& w : Others())
        if (w.id != child.id) shown.push_back(w);
      return !shown.empty();
    };
    if (!WaitFor(8000, other)) return "no dialog appeared";
    if (!dialog.empty() && shown.back().title != dialog)
      return "\"" + shown.back().title + "\" appeared";
    user_->Tap("Escape");
    if (!WaitFor(5000, [&] { return !other(); })) return "Escape left the dialog on the screen";
    if (!Window(child.id) || !Window(child.id)->mapped) return "the child window went";
    return {};
  }

  /// Types TEXT (letters, digits and the characters of a quoted path) key
  /// by key.
  bool Type(std::string_view text) {
    for (const char c : text) {
      std::string key(1, c);
      bool shift = std::isupper(static_cast<unsigned char>(c)) != 0;
      if (c == '/') key = "slash";
      if (c == '.') key = "period";
      if (c == '-') key = "minus";
      if (c == ' ') key = "space";
      if (c == '_') key = "underscore", shift = true;
      if (c == '"') key = "quotedbl", shift = true;
      if (!(shift ? user_->Tap(key, {"Shift_L"}) : user_->Tap(key))) return false;
    }
    return true;
  }

  /// Clicks the Shot Header Editor's Save Geometry As, types FILE into the
  /// file dialog and waits until the file holds at least LEAST bytes.
  void SaveGeometryAs(const TopWindow& editor, const fs::path& file, std::uintmax_t least) {
    fs::create_directories(file.parent_path());
    user_->MoveTo({editor.rect.left + 468, editor.rect.top + 342});
    user_->Click();
    WaitFor(8000, [&] { return Others().size() >= 2; });
    ASSERT_GE(Others().size(), 2u) << "no file dialog appeared";
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(Type(file.string()));
    ASSERT_TRUE(user_->Tap("Return"));
    ASSERT_TRUE(WaitFor(5000, [&] { return fs::exists(file) && fs::file_size(file) >= least; }))
        << "the geometry file was not written";
  }

  testing_support::TempDir dir_;
  // A system printer for the program (it inherits the PATH), so that Print
  // asks its page set-up.
  testing_support::FakePrintSystem print_;
  testing_support::Xvfb server_;
  std::string xwd_;
  std::string record_;
  std::unique_ptr<Child> program_;
  std::unique_ptr<plat::xuser::User> user_;
  plat::NativeWindow main_ = 0;
  std::vector<std::string> extraEnv_;  // more of the program's environment
};

// One program per command: chosen with the mouse, then with the keyboard
// (on a program started afresh when the first choice went wrong).
class MenuDialogsX11Command : public MenuDialogsX11,
                              public ::testing::WithParamInterface<MenuCommand> {};

TEST_P(MenuDialogsX11Command, ShowsAndClosesFromMouseAndKeyboard) {
  const MenuCommand& c = GetParam();
  bool running = false;
  for (const bool keyboard : {false, true}) {
    if (!running) {
      user_.reset();
      program_.reset();
      ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
      running = true;
    }
    const std::string failure = Run(c, keyboard);
    EXPECT_EQ(failure, "") << c.title << " > " << c.entry << " chosen with the "
                           << (keyboard ? "keyboard" : "mouse");
    if (!failure.empty() || program_->Wait(0).has_value()) running = false;
  }
}

// Test names from the menu title and entry: letters and digits only.
std::string CommandName(const ::testing::TestParamInfo<MenuCommand>& info) {
  std::string name;
  for (const char* text : {info.param.title, "_", info.param.entry})
    for (const char* p = text; *p; ++p)
      if (std::isalnum(static_cast<unsigned char>(*p)) || *p == '_') name += *p;
  return name;
}

INSTANTIATE_TEST_SUITE_P(EveryDialogCommand, MenuDialogsX11Command, ::testing::ValuesIn(kCommands),
                         CommandName);

// File > Import's file dialog: it opens centred on the main window, its
// "Files of type" list offers every file, and Escape on the dropped list
// closes the list only; a second Escape cancels the dialog.
TEST_F(MenuDialogsX11, ImportFileDialogSitsOverTheMainWindowAndEscapeClosesItsTypeList) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::optional<MenuPlace> import = Find({"File", "Import"});
  ASSERT_TRUE(import.has_value());
  Screenshot before;
  std::string why;
  ASSERT_TRUE(Settled(before, why)) << why;
  ASSERT_TRUE(ChooseWithMouse(*import));
  std::vector<TopWindow> shown;
  ASSERT_TRUE(WaitFor(8000, [&] { return !(shown = Others()).empty(); })) << "no file dialog";
  const plat::Rect d = shown.back().rect;
  const plat::Rect m = Window(main_).value().rect;
  EXPECT_LE(std::abs((d.left + d.right) / 2 - (m.left + m.right) / 2), 2);
  EXPECT_LE(std::abs((d.top + d.bottom) / 2 - (m.top + m.bottom) / 2), 2);
  // The closed "Files of type" box: its list drops on a click, over the
  // dialog's face below the box.
  ASSERT_TRUE(Settled(before, why)) << why;
  const plat::Point below{d.left + 220, d.top + 300};
  const plat::Pixel face = before.At(below.x, below.y);
  const auto listShown = [&] {
    Screenshot now;
    std::string failed;
    return testing_support::TakeScreenshot(xwd_, server_.Display(), now, failed) &&
           now.At(below.x, below.y) != face;
  };
  ASSERT_FALSE(listShown());
  user_->MoveTo({d.left + 220, d.top + 272});
  user_->Click(1);
  ASSERT_TRUE(WaitFor(3000, listShown)) << "the type list did not drop";
  user_->Tap("Escape");
  EXPECT_TRUE(WaitFor(3000, [&] { return !listShown(); })) << "Escape left the list dropped";
  EXPECT_FALSE(WaitFor(1000, [&] { return Others().empty(); }))
      << "Escape on the type list closed the dialog";
  user_->Tap("Escape");
  EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); })) << "the second Escape";
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// Help > Contents, chosen with the mouse and with the keyboard, hands the
// help file the build installed beside the program to the desktop's opener:
// here a stand-in "xdg-open" first on the PATH that notes what it was given.
TEST_F(MenuDialogsX11, HelpContentsOpensTheInstalledHelpFile) {
  const fs::path bin = dir_.path() / "bin";
  fs::create_directories(bin);
  const fs::path noted = dir_.path() / "opened.txt";
  testing_support::WriteFile(bin / "xdg-open",
                             "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + noted.string() + "'\n");
  fs::permissions(bin / "xdg-open", fs::perms::owner_all);
  const char* path = std::getenv("PATH");
  extraEnv_ = {"PATH=" + bin.string() + ":" + (path ? path : "/usr/bin:/bin")};
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const fs::path help = fs::path(VELLORAN_EXE).parent_path() / "velloran.html";
  ASSERT_TRUE(fs::is_regular_file(help)) << help;
  const std::optional<MenuPlace> contents = Find({"Help", "Contents"});
  ASSERT_TRUE(contents.has_value());
  std::string lines;
  for (const bool keyboard : {false, true}) {
    SCOPED_TRACE(keyboard ? "keyboard" : "mouse");
    Screenshot before;
    std::string why;
    ASSERT_TRUE(Settled(before, why)) << why;
    ASSERT_TRUE(keyboard ? ChooseWithKeys(*contents) : ChooseWithMouse(*contents));
    const std::size_t want = keyboard ? 2 : 1;
    EXPECT_TRUE(WaitFor(8000, [&] {
      lines = testing_support::ReadFile(noted);
      return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')) >= want;
    })) << "the viewer was not started";
    // No message box: the file was found.
    EXPECT_FALSE(WaitFor(1000, [&] { return !Others().empty(); }));
  }
  const std::string once = "file://" + fs::canonical(help).string() + "\n";
  EXPECT_EQ(lines, once + once);
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// Simple, Hatherly and Box Pick, chosen with the mouse and the keyboard,
// open no window and redraw the picks: the picture of the main window
// changes exactly when the new picks differ from those shown.
TEST_F(MenuDialogsX11, PickCommandsRepickTheRecordShown) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  vel::ShotRecord rec;
  sample_shot::Make(rec);
  const auto picksOf = [&rec](std::int32_t method) {
    vel::ShotRecord copy = rec;
    vel::PickingState state;
    state.pulseSamples = vel::SimplePulseSamples(state.parameters.simple.SVPULSE, copy.SAMPINT);
    vel::PickTraces(copy, state, method);
    return copy.IBPICK;
  };
  const struct {
    MenuCommand command;
    std::int32_t method;
    bool keyboard;
  } steps[] = {{{"Pick", "Box Pick"}, vel::kPickBox, false},
               {{"Pick", "Hatherly Pick"}, vel::kPickHatherly, true},
               {{"Pick", "Simple Pick"}, vel::kPickSimple, false},
               {{"Pick", "Box Pick"}, vel::kPickBox, true}};
  std::vector<std::int32_t> shownPicks = picksOf(vel::kPickSimple);  // the import's
  for (const auto& step : steps) {
    SCOPED_TRACE(step.command.entry);
    const std::optional<MenuPlace> place = Find(step.command);
    ASSERT_TRUE(place.has_value());
    Screenshot before, after;
    std::string why;
    ASSERT_TRUE(Settled(before, why)) << why;
    ASSERT_TRUE(step.keyboard ? ChooseWithKeys(*place) : ChooseWithMouse(*place));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(Settled(after, why)) << why;
    EXPECT_TRUE(Others().empty()) << "a window appeared: " << Others().back().title;
    ASSERT_FALSE(program_->Wait(0).has_value()) << "the program ended";
    const std::vector<std::int32_t> picks = picksOf(step.method);
    const plat::Rect r = Window(main_).value().rect;
    bool changed = false;
    for (int y = r.top; y < r.bottom && !changed; ++y)
      for (int x = r.left; x < r.right && !changed; ++x) changed = before.At(x, y) != after.At(x, y);
    EXPECT_EQ(changed, picks != shownPicks);
    shownPicks = picks;
  }
}

// Edit Pick Parameters: a text that is no number typed on the first page
// holds the dialog's tabs. A click on another tab comes back to the page
// left (the tab strip looks as before), and OK (Enter) does not close the
// dialog, neither after the click nor after Shift+Tab; Escape does.
TEST_F(MenuDialogsX11, ARefusedPickParameterHoldsItsPageAndOk) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::optional<MenuPlace> place = Find({"Edit", "Edit Pick Parameters"});
  ASSERT_TRUE(place.has_value());
  ASSERT_TRUE(ChooseWithMouse(*place));
  std::vector<TopWindow> shown;
  ASSERT_TRUE(WaitFor(8000, [&] { return !(shown = Titled("Automatic Picking Parameters")).empty(); }));
  const plat::Rect r = shown.back().rect;
  Screenshot shot;
  std::string why;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(Settled(shot, why)) << why;
  // The first edit field of the page: the top-most run of white in the
  // dialog that is a box (the tab strip's edges are white lines).
  const auto white = [&](int x, int y) {
    for (int k = 0; k < 8; ++k)
      if ((shot.At(x, y + k) & 0xFFFFFFu) != 0xFFFFFFu) return false;
    return true;
  };
  int editTop = -1, editLeft = -1, editRight = -1;
  for (int y = r.top; y < r.bottom && editTop < 0; ++y)
    for (int x = r.left; x < r.right; ++x) {
      int end = x;
      while (end < r.right && white(end, y)) ++end;
      if (end - x >= 50) {
        editTop = y, editLeft = x, editRight = end;
        break;
      }
      x = end;
    }
  ASSERT_GE(editTop, 0) << "no edit field found in the dialog";
  user_->MoveTo({(editLeft + editRight) / 2, editTop + 5});
  user_->Click();
  ASSERT_TRUE(user_->Tap("a", {"Control_L"}));
  ASSERT_TRUE(Type("1..5"));
  Screenshot typed, after;
  ASSERT_TRUE(Settled(typed, why)) << why;
  // The page begins 12 dialog units above its first field; the tab strip
  // lies just above the page.
  const int pageTop = editTop - 19;
  user_->MoveTo({r.left + r.Width() * 55 / 100, pageTop - 10});
  user_->Click();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(Settled(after, why)) << why;
  int differ = 0;
  for (int y = pageTop - 30; y < pageTop - 2; ++y)
    for (int x = r.left; x < r.right; ++x) differ += typed.At(x, y) != after.At(x, y);
  EXPECT_EQ(differ, 0) << "the other tab's page stayed up";
  const auto stillUp = [&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    return !Titled("Automatic Picking Parameters").empty();
  };
  ASSERT_TRUE(user_->Tap("Return"));
  EXPECT_TRUE(stillUp()) << "OK closed the dialog after the tab click";
  ASSERT_TRUE(user_->Tap("Tab", {"Shift_L"}));
  ASSERT_TRUE(user_->Tap("Return"));
  EXPECT_TRUE(stillUp()) << "OK closed the dialog after Shift+Tab";
  ASSERT_TRUE(user_->Tap("Escape"));
  EXPECT_TRUE(WaitFor(5000, [&] { return Titled("Automatic Picking Parameters").empty(); }));
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

TEST_F(MenuDialogsX11, ViewCommandsRedrawWithoutAWindow) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  for (const MenuCommand& c : kRedrawCommands)
    for (const bool keyboard : {false, true})
      EXPECT_EQ(RunWithoutWindow(c, keyboard), "")
          << c.title << " > " << c.entry << " chosen with the " << (keyboard ? "keyboard" : "mouse");
}

// Process > Spectrum, chosen with the mouse and the keyboard, shows the
// spectrum of the record in a window of its own with something drawn, and
// that window's File > Close closes it again.
TEST_F(MenuDialogsX11, SpectrumWindowOpensAndClosesFromItsMenu) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::optional<MenuPlace> place = Find({"Process", "Spectrum"});
  ASSERT_TRUE(place.has_value());
  for (const bool keyboard : {false, true}) {
    SCOPED_TRACE(keyboard ? "keyboard" : "mouse");
    Screenshot before, after;
    std::string why;
    ASSERT_TRUE(Settled(before, why)) << why;
    ASSERT_TRUE(keyboard ? ChooseWithKeys(*place) : ChooseWithMouse(*place));
    // The child window is mapped before its title is set: wait for both.
    std::vector<TopWindow> shown;
    WaitFor(8000, [&] {
      shown = Others();
      return !shown.empty() && !shown[0].title.empty();
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].title.rfind("Morvane Limited Spectrum: ", 0), 0u) << shown[0].title;
    bool drawn = false;
    WaitFor(3000, [&] {
      drawn = testing_support::TakeScreenshot(xwd_, server_.Display(), after, why) &&
              Drawn(before, after, shown[0].rect);
      return drawn;
    });
    EXPECT_TRUE(drawn) << why;
    // File is the first title of the window's menu bar; Close its last entry.
    plat::x11test::SetInputFocus(server_.Display(), shown[0].id);
    ASSERT_TRUE(user_->Tap("f", {"Alt_L"}) && user_->Tap("Down") && user_->Tap("Down") &&
                user_->Tap("Return"));
    EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); })) << "the window stayed";
    ASSERT_FALSE(program_->Wait(0).has_value()) << "the program ended";
    plat::x11test::SetInputFocus(server_.Display(), main_);
  }
}

// Process > FK Filter opens its windows; over the spectrum the pointer shows
// the north-west/south-east sizing cursor on an upsloping fan line, the
// north-east/south-west one on a downsloping line and the arrow away from
// the fan; Escape in the fan dialog cancels the tool.
TEST_F(MenuDialogsX11, FkFanLinesShowTheirSizingCursors) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  if (!user_->Pointer()) GTEST_SKIP() << "the X server lacks XFIXES: the pointer cannot be read";
  // The server's own pictures of the shapes, in a corner no window reaches
  // (the first look shows nothing).
  (void)user_->FontCursor("left_ptr", {1200, 990});
  const auto nwse = user_->FontCursor("bottom_right_corner", {1200, 990});
  const auto nesw = user_->FontCursor("top_right_corner", {1200, 990});
  const auto arrow = user_->FontCursor("left_ptr", {1200, 990});
  ASSERT_TRUE(nwse && nesw && arrow);
  ASSERT_FALSE(nwse->SameShape(*nesw));

  // The spectrum frame as the tool makes it of the sample record.
  vel::ShotRecord rec;
  sample_shot::Make(rec);
  vel::FkTransform fk;
  ASSERT_TRUE(vel::FkSetSizes(fk, rec.NSAMP, rec.NTRACE));
  const vel::FkTransform& t = fk;
  std::vector<float> spec(static_cast<std::size_t>(t.NF) * static_cast<std::size_t>(t.NX));
  int status = 0;
  vel::FKSPECT(fk, rec.TRACES, spec, rec.NSAMP, rec.NTRACE, tk::NearestInt(0.1f * static_cast<float>(rec.NSAMP)),
               status);
  ASSERT_EQ(status, 0);
  sup::GraphAxes frame;
  vel::SCALE_FK(spec, t.NF, t.NX, rec.SAMPINT, rec.GEOLOC, rec.NTRACE, frame);
  const float f0 = frame.YSTART + 0.5f * static_cast<float>(frame.NYDIV) * frame.YSTEP;

  ASSERT_TRUE(ChooseWithMouse(*Find({"Process", "FK Filter"})));
  std::vector<TopWindow> spectrum, dialog;
  ASSERT_TRUE(WaitFor(15000, [&] {
    spectrum = Titled(vel::kFkSpectrumTitle);
    dialog = Titled("FK Filter Parameters");
    return !spectrum.empty() && !dialog.empty();
  })) << "the F-K windows did not appear";
  const plat::Rect r = spectrum[0].rect;
  const auto at = [&](float k, float f) {
    const float px = frame.XORIGIN + sup::PLOFX(k, frame);
    const float py = frame.YORIGIN + sup::PLOFY(f, frame);
    return plat::Point{r.left + static_cast<int>(px / 10.0f * static_cast<float>(r.Width())),
                       r.top + static_cast<int>((8.0f - py) / 8.0f * static_cast<float>(r.Height()))};
  };
  struct Look {
    const char* where;
    plat::Point point;
    const plat::xuser::PointerImage& want;
  };
  const Look looks[] = {{"upsloping line", at(f0 / 2000.0f, f0), *nwse},
                        {"downsloping line", at(-f0 / 2000.0f, f0), *nesw},
                        {"away from the fan", at(f0 / 700.0f, f0), *arrow}};
  for (const Look& l : looks) {
    SCOPED_TRACE(l.where);
    // Two moves, so that the window sees the pointer arrive.
    user_->MoveTo({l.point.x - 1, l.point.y});
    user_->MoveTo(l.point);
    EXPECT_TRUE(WaitFor(3000, [&] {
      const auto now = user_->Pointer();
      return now && now->SameShape(l.want);
    }));
  }
  plat::x11test::SetInputFocus(server_.Display(), dialog[0].id);
  ASSERT_TRUE(user_->Tap("Escape"));
  EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); })) << "Escape left the tool's windows";
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// The toolbar's export button (the fourth, below the menu bar) offers the
// export commands in a pop-up at the pointer; its entry opens that command's
// dialog as the menu does.
TEST_F(MenuDialogsX11, TheExportButtonShowsItsPopupWhoseEntryOpensTheDialog) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  Screenshot before, after;
  std::string why;
  ASSERT_TRUE(Settled(before, why)) << why;
  const TopWindow main = Window(main_).value();
  constexpr int kMenuBarHeight = 18;
  constexpr int kButtonWidth = 23, kButtonHeight = 22;
  const plat::Point button{main.rect.left + 3 * kButtonWidth + kButtonWidth / 2,
                           main.rect.top + kMenuBarHeight + kButtonHeight / 2};
  user_->MoveTo(button);
  user_->Click();
  const std::optional<TopWindow> popup = ShownPopup();
  ASSERT_TRUE(popup.has_value()) << "no pop-up menu appeared";
  // At the click: the pointer lies at the pop-up's top left corner.
  EXPECT_LE(std::abs(popup->rect.left - button.x), 2);
  EXPECT_LE(std::abs(popup->rect.top - button.y), 2);
  // The third entry, Export Picks: the record was picked on loading.
  ASSERT_TRUE(user_->Tap("Down") && user_->Tap("Down") && user_->Tap("Down") &&
              user_->Tap("Return"));
  std::vector<TopWindow> shown;
  WaitFor(8000, [&] { return !(shown = Others()).empty(); });
  ASSERT_FALSE(shown.empty()) << "no window appeared";
  EXPECT_EQ(shown.back().title, "Break Pick Export Format");
  bool drawn = false;
  WaitFor(3000, [&] {
    drawn = testing_support::TakeScreenshot(xwd_, server_.Display(), after, why) &&
            Drawn(before, after, shown.back().rect);
    return drawn;
  });
  EXPECT_TRUE(drawn) << why;
  user_->Tap("Escape");
  EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); }));
}

// The Shot Header Editor shows its grid; a value typed into a cell through
// the X server's keyboard is what Save Geometry As writes.
TEST_F(MenuDialogsX11, KeysTypedIntoTheShotHeaderGridChangeTheCell) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::optional<MenuPlace> place = Find({"Edit", "Edit Shot Header"});
  ASSERT_TRUE(place.has_value());
  Screenshot before, shown;
  std::string why;
  ASSERT_TRUE(Settled(before, why)) << why;
  ASSERT_TRUE(ChooseWithMouse(*place));
  std::vector<TopWindow> windows;
  WaitFor(8000, [&] { return !(windows = Others()).empty(); });
  ASSERT_FALSE(windows.empty()) << "no window appeared";
  const TopWindow editor = windows.back();
  EXPECT_EQ(editor.title, "Shot Header Editor");
  ASSERT_TRUE(Settled(shown, why)) << why;
  // The grid (dialog pixels 12-399 across, 172-463 down) is drawn.
  const plat::Rect grid{editor.rect.left + 12, editor.rect.top + 172, editor.rect.left + 399,
                        editor.rect.top + 463};
  EXPECT_TRUE(Drawn(before, shown, grid)) << "the grid shows nothing";

  // Row 2 of the Easting column: below the header strip and row 1.
  user_->MoveTo({editor.rect.left + 12 + 60 + 52, editor.rect.top + 172 + 20 + 18 + 9});
  user_->Click();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  // The old value selected and typed over.
  ASSERT_TRUE(user_->Tap("Home") && user_->Tap("End", {"Shift_L"}));
  for (const char* key : {"7", "7", "7", "Return"}) ASSERT_TRUE(user_->Tap(key));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));

  // Save Geometry As, and the name typed into the file dialog.
  const fs::path file = dir_.path() / "geo" / "line.geo";
  ASSERT_NO_FATAL_FAILURE(SaveGeometryAs(editor, file, 64));
  const std::string text = testing_support::ReadFile(file);
  EXPECT_EQ(text.substr(32, 10), "    777.00") << text.substr(0, 96);
  user_->Tap("Escape");
  EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); }));
}

// Typing into a clicked number cell replaces its value: 7 typed into a cell
// showing 0.0 stores 7.0, and 101.5 typed into the next stores 101.5 (the
// caret does not join the typed text to the old one).
TEST_F(MenuDialogsX11, TypingIntoAClickedShotHeaderCellReplacesItsValue) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::optional<MenuPlace> place = Find({"Edit", "Edit Shot Header"});
  ASSERT_TRUE(place.has_value());
  Screenshot settled;
  std::string why;
  ASSERT_TRUE(Settled(settled, why)) << why;
  ASSERT_TRUE(ChooseWithMouse(*place));
  std::vector<TopWindow> windows;
  WaitFor(8000, [&] { return !(windows = Others()).empty(); });
  ASSERT_FALSE(windows.empty()) << "no window appeared";
  const TopWindow editor = windows.back();
  ASSERT_TRUE(Settled(settled, why)) << why;
  // Rows 2 and 3 of the Northing column (the sample's receivers lie on a
  // line along the easting): a click on each, then the value and Return.
  const int northing = editor.rect.left + 334;
  const int row2 = editor.rect.top + 172 + 20 + 18 + 9;
  for (const auto& [row, text] : {std::pair{row2, "7"}, std::pair{row2 + 18, "101.5"}}) {
    user_->MoveTo({northing, row});
    user_->Click();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(Type(text));
    ASSERT_TRUE(user_->Tap("Return"));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  const fs::path file = dir_.path() / "typed" / "line.geo";
  ASSERT_NO_FATAL_FAILURE(SaveGeometryAs(editor, file, 96));
  const std::string text = testing_support::ReadFile(file);
  // Lines of 30 characters and CR LF: number, easting, northing, elevation.
  EXPECT_EQ(text.substr(42, 10), "      7.00") << text.substr(0, 128);
  EXPECT_EQ(text.substr(74, 10), "    101.50") << text.substr(0, 128);
  user_->Tap("Escape");
  EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); }));
}

// View > Properties with the NMO dialog open draws the record again with
// its one curve (the same picture as before Properties); closing the
// dialog then leaves the plain record.
TEST_F(MenuDialogsX11, PropertiesWithTheNmoDialogOpenKeepsOneCurve) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  Screenshot plain, withCurve, after;
  std::string why;
  ASSERT_TRUE(Settled(plain, why)) << why;
  // The record's area of the main window, below the menu bar and toolbar
  // and above the status bar.
  const plat::Rect m = Window(main_).value().rect;
  const plat::Rect area{m.left + 4, m.top + 50, m.right - 4, m.bottom - 30};
  const auto differ = [&](const Screenshot& a, const Screenshot& b) {
    long n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) n += a.At(x, y) != b.At(x, y);
    return n;
  };
  ASSERT_TRUE(ChooseWithMouse(*Find({"Process", "NMO Correction"})));
  std::vector<TopWindow> shown;
  ASSERT_TRUE(WaitFor(8000, [&] { return !(shown = Titled("NMO Correction")).empty(); }));
  const TopWindow nmo = shown.back();
  ASSERT_TRUE(Settled(withCurve, why)) << why;
  ASSERT_GT(differ(plain, withCurve), 20) << "no curve drawn";
  // The dialog's own place is left out of the comparisons.
  const auto outsideDialog = [&](const Screenshot& a, const Screenshot& b) {
    long n = 0;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x) {
        if (x >= nmo.rect.left && x < nmo.rect.right && y >= nmo.rect.top && y < nmo.rect.bottom) continue;
        n += a.At(x, y) != b.At(x, y);
      }
    return n;
  };
  plat::x11test::SetInputFocus(server_.Display(), main_);
  ASSERT_TRUE(ChooseWithMouse(*Find({"View", "Properties"})));
  ASSERT_TRUE(WaitFor(8000, [&] { return !Titled("Trace Plotting Parameters").empty() || Others().size() >= 2; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(user_->Tap("Return"));
  ASSERT_TRUE(WaitFor(5000, [&] { return Others().size() == 1; })) << "the properties stayed";
  ASSERT_TRUE(Settled(after, why)) << why;
  EXPECT_EQ(outsideDialog(withCurve, after), 0) << "not the one curve after Properties";
  // Closed (the window manager's close request): the plain record.
  ASSERT_TRUE(plat::x11test::SendDeleteRequest(server_.Display(), nmo.id));
  ASSERT_TRUE(WaitFor(5000, [&] { return Titled("NMO Correction").empty(); })) << "the dialog stayed";
  ASSERT_TRUE(Settled(after, why)) << why;
  EXPECT_EQ(differ(plain, after), 0) << "a curve was left after Close";
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// A zoom box dragged over the traces, then Pan Left and Pan Right: the
// traces beside the zoomed frame draw nothing over the time axis left of it
// (no trace colour among the axis numbers).
TEST_F(MenuDialogsX11, AZoomedAndPannedViewLeavesTheTimeAxisClear) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  Screenshot shot;
  std::string why;
  ASSERT_TRUE(Settled(shot, why)) << why;
  const plat::Rect m = Window(main_).value().rect;
  // The trace colour, from the middle of the unzoomed record: the most
  // frequent colour that is neither white nor the frame's.
  const auto traceInk = [&](const Screenshot& s, int x0, int x1) {
    long n = 0;
    for (int y = m.top + m.Height() * 30 / 100; y < m.top + m.Height() * 75 / 100; ++y)
      for (int x = x0; x < x1; ++x) n += (s.At(x, y) & 0xFFFFFF) == 0x0000FF;
    return n;
  };
  ASSERT_GT(traceInk(shot, m.left + m.Width() * 30 / 100, m.left + m.Width() * 60 / 100), 100)
      << "no trace colour in the record";
  // Left of the frame (which begins 12.5 % across): the axis numbers' strip.
  const int stripLeft = m.left + m.Width() * 3 / 100, stripRight = m.left + m.Width() * 11 / 100;
  ASSERT_EQ(traceInk(shot, stripLeft, stripRight), 0);

  ASSERT_TRUE(ChooseWithMouse(*Find({"View", "Zoom"})));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // A box from 33 % to 58 % across and 35 % to 70 % down, held over 300 ms.
  user_->MoveTo({m.left + m.Width() * 33 / 100, m.top + m.Height() * 35 / 100});
  user_->Button(1, true);
  for (int i = 1; i <= 10; ++i) {
    user_->MoveTo({m.left + m.Width() * (33 + 5 * i / 2) / 100, m.top + m.Height() * (35 + 7 * i / 2) / 100});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  user_->Button(1, false);
  ASSERT_TRUE(Settled(shot, why)) << why;
  EXPECT_EQ(traceInk(shot, stripLeft, stripRight), 0) << "after the zoom";
  for (const char* pan : {"Pan Left", "Pan Right", "Pan Right"}) {
    ASSERT_TRUE(ChooseWithMouse(*Find({"View", pan}))) << pan;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(Settled(shot, why)) << why;
    EXPECT_EQ(traceInk(shot, stripLeft, stripRight), 0) << "after " << pan;
    EXPECT_GT(traceInk(shot, m.left + m.Width() * 15 / 100, m.left + m.Width() * 90 / 100), 100)
        << "no traces after " << pan;
  }
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// The refraction window opened and closed, then the same record imported
// again: the main window shows the same picture as after the fresh start
// (its text has kept its size).
TEST_F(MenuDialogsX11, AnImportAfterAChildWindowDrawsAsAfterAFreshStart) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  Screenshot fresh, before, after;
  std::string why;
  ASSERT_TRUE(Settled(fresh, why)) << why;
  const plat::Rect m = Window(main_).value().rect;
  const plat::Rect area{m.left + 4, m.top + 50, m.right - 4, m.bottom - 30};
  const std::string refraction = "Morvane Limited Simple Refraction Interpretation";
  ASSERT_TRUE(ChooseWithMouse(*Find({"Process", "Refraction (Flat Layer)"})));
  std::optional<TopWindow> w = ChildShown(refraction, fresh, why);
  ASSERT_TRUE(w.has_value()) << why;
  ASSERT_TRUE(plat::x11test::SendDeleteRequest(server_.Display(), w->id));
  ASSERT_TRUE(WaitFor(5000, [&] { return Titled(refraction).empty(); }));
  plat::x11test::SetInputFocus(server_.Display(), main_);
  ASSERT_TRUE(Settled(before, why)) << why;
  ASSERT_TRUE(ChooseWithMouse(*Find({"File", "Import"})));
  ASSERT_TRUE(WaitFor(8000, [&] { return !Others().empty(); })) << "no file dialog appeared";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(Type(record_));
  ASSERT_TRUE(user_->Tap("Return"));
  ASSERT_TRUE(WaitFor(8000, [&] { return Others().empty(); })) << "the file dialog stayed";
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_TRUE(Settled(after, why)) << why;
  long differ = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) differ += fresh.At(x, y) != after.At(x, y);
  EXPECT_EQ(differ, 0);
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// The refraction window from Process > Refraction (Flat Layer) and the
// wavelet window from a wavelet cut with the mouse: each shows its graph,
// its own menu's Save to File opens the file dialog, Print the page set-up,
// Close File nothing here, and Close or the window manager's close request
// removes the window.
TEST_F(MenuDialogsX11, ChildWindowCommandsFromTheirOwnMenus) {
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::string refraction = "Morvane Limited Simple Refraction Interpretation";
  Screenshot before;
  std::string why;
  ASSERT_TRUE(Settled(before, why)) << why;
  const std::optional<MenuPlace> flat = Find({"Process", "Refraction (Flat Layer)"});
  ASSERT_TRUE(flat.has_value());
  ASSERT_TRUE(ChooseWithMouse(*flat));
  std::optional<TopWindow> w = ChildShown(refraction, before, why);
  ASSERT_TRUE(w.has_value()) << why;
  // Print: the system printer's page set-up, which Escape cancels; the
  // window stays.
  ASSERT_TRUE(ChooseInChild(*w, 30004, "Print"));
  EXPECT_EQ(DialogFromChild(*w, "Page Setup"), "") << "Print";
  EXPECT_FALSE(Titled(refraction).empty());
  ASSERT_TRUE(ChooseInChild(*w, 30004, "Save to File"));
  EXPECT_EQ(DialogFromChild(*w, "ASCII Refraction Parameters File"), "") << "Save to File";
  ASSERT_TRUE(ChooseInChild(*w, 30004, "Close File"));  // Close File: nothing is open, nothing comes
  EXPECT_FALSE(WaitFor(1000, [&] { return Others().size() > 1; }));
  ASSERT_TRUE(ChooseInChild(*w, 30004, "Close"));
  EXPECT_TRUE(WaitFor(5000, [&] { return Titled(refraction).empty(); })) << "Close";
  // Opened again, the window manager's close request closes it.
  ASSERT_TRUE(Settled(before, why)) << why;
  ASSERT_TRUE(ChooseWithKeys(*flat));
  w = ChildShown(refraction, before, why);
  ASSERT_TRUE(w.has_value()) << why;
  ASSERT_TRUE(plat::x11test::SendDeleteRequest(server_.Display(), w->id));
  EXPECT_TRUE(WaitFor(5000, [&] { return Titled(refraction).empty(); })) << "close request";
  ASSERT_FALSE(program_->Wait(0).has_value()) << "the program ended";

  // Select Wavelet tells how; a box dragged over one trace cuts the
  // wavelet after its options.
  const std::optional<MenuPlace> select = Find({"Pick", "Select Wavelet"});
  ASSERT_TRUE(select.has_value());
  ASSERT_TRUE(ChooseWithMouse(*select));
  ASSERT_TRUE(WaitFor(8000, [&] { return !Others().empty(); })) << "no instructions";
  user_->Tap("Return");
  ASSERT_TRUE(WaitFor(5000, [&] { return Others().empty(); }));
  ASSERT_TRUE(Settled(before, why)) << why;
  const plat::Rect m = Window(main_).value().rect;
  user_->MoveTo({m.left + m.Width() * 76 / 100, m.top + m.Height() * 38 / 100});
  user_->Button(1, true);
  for (int i = 1; i <= 10; ++i) {
    user_->MoveTo({m.left + m.Width() * (76 + i / 2) / 100, m.top + m.Height() * (38 + 2 * i) / 100});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  user_->Button(1, false);
  // The wavelet's options (normalise, taper): OK.
  ASSERT_TRUE(WaitFor(8000, [&] { return !Others().empty(); })) << "no wavelet options";
  user_->Tap("Return");
  const std::string wavelet = "Ruduvi Daved Uvozaro";
  w = ChildShown(wavelet, before, why);
  ASSERT_TRUE(w.has_value()) << why;
  // Its default place on the 1280 x 1024 screen: at 5 % of the width,
  // centred from top to bottom, 40 % of the screen (clear of the main
  // window's menus at the top left).
  EXPECT_NEAR(w->rect.left, 64, 2);
  EXPECT_NEAR((w->rect.top + w->rect.bottom) / 2, 512, 2);
  EXPECT_NEAR(w->rect.Width(), 512, 16);
  EXPECT_GT(w->rect.top, 200);
  ASSERT_TRUE(ChooseInChild(*w, 30010, "Save to File"));
  EXPECT_EQ(DialogFromChild(*w, "ASCII Single Trace Data File"), "") << "Save to File";
  ASSERT_TRUE(ChooseInChild(*w, 30010, "Print"));
  EXPECT_EQ(DialogFromChild(*w, "Page Setup"), "") << "Print";
  EXPECT_FALSE(Titled(wavelet).empty());
  ASSERT_TRUE(ChooseInChild(*w, 30010, "Close"));
  EXPECT_TRUE(WaitFor(5000, [&] { return Titled(wavelet).empty(); })) << "Close";
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

// File > Merge Files driven through its dialogs: two files typed into the
// file dialog, the merge and SEG-2 dialogs and each output's proposal taken
// with Return, then the closing message. Each proposal is the first file's
// stem with the trace position, in the inputs' folder.
TEST_F(MenuDialogsX11, MergeFilesTakesEveryProposalFromTheKeyboard) {
  const fs::path folder = dir_.path() / "shots.v1";
  fs::create_directories(folder);
  for (const char* name : {"east.a.sg2", "west.sg2"}) {
    vel::ShotRecord rec;
    rec.NTRACE = 2;
    rec.NSAMP = 100;
    ASSERT_TRUE(vel::RebuildTraceArrays(rec));
    rec.SAMPINT = 0.5f;
    for (std::size_t k = 0; k < rec.TRACES.size(); ++k)
      rec.TRACES[k] = static_cast<float>(k % 17) - 8.0f;
    int error = 0;
    vel::SEG2OUT(rec, (folder / name).string(), false, 1, true, 0, error);
    ASSERT_EQ(error, 0) << name;
  }
  ASSERT_TRUE(StartProgram()) << "the program's window did not appear";
  const std::optional<MenuPlace> place = Find({"File", "Merge Files"});
  ASSERT_TRUE(place.has_value());
  Screenshot settled;
  std::string why;
  ASSERT_TRUE(Settled(settled, why)) << why;  // the menu bar answers once drawn
  ASSERT_TRUE(ChooseWithMouse(*place));
  const auto shown = [&](std::string_view title) {
    return WaitFor(8000, [&] {
      const std::vector<TopWindow> w = Others();
      return !w.empty() && w.back().title == title;
    });
  };
  ASSERT_TRUE(shown("Seismic Trace Data Files to be merged"));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_TRUE(Type("\"" + (folder / "east.a.sg2").string() + "\" \"" +
                   (folder / "west.sg2").string() + "\""));
  ASSERT_TRUE(user_->Tap("Return"));
  for (const char* title : {"Trace File Merge Parameters", "SEG-2 Output Parameters"}) {
    ASSERT_TRUE(shown(title)) << title;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(user_->Tap("Return")) << title;
  }
  for (const char* output : {"east001.SG2", "east002.SG2"}) {
    ASSERT_TRUE(shown("SEG-2 Seismic File")) << output;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(user_->Tap("Return")) << output;
    EXPECT_TRUE(WaitFor(5000, [&] { return fs::exists(folder / output); })) << output;
  }
  // "Merge complete", which Return closes.
  ASSERT_TRUE(WaitFor(8000, [&] { return !Others().empty(); })) << "no closing message";
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  user_->Tap("Return");
  EXPECT_TRUE(WaitFor(5000, [&] { return Others().empty(); }));
  EXPECT_FALSE(fs::exists(folder / "east003.SG2"));
  EXPECT_FALSE(program_->Wait(0).has_value()) << "the program ended";
}

#endif

TEST(MenuDialogsX11Table, EveryRowNamesAnEntryOfTheMainMenu) {
  EXPECT_TRUE(Find({"Process", "Spectrum"}).has_value());
  for (const MenuCommand& c : kCommands)
    EXPECT_TRUE(Find(c).has_value()) << c.title << " > " << c.entry;
  for (const MenuCommand& c : kRedrawCommands)
    EXPECT_TRUE(Find(c).has_value()) << c.title << " > " << c.entry;
}

}  // namespace
