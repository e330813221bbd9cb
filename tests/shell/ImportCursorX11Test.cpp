// The real program on a real X server shows the hourglass while an import
// reads a long record and picks its first arrivals, and the arrow once the
// record is in. The pointer's picture is read from the server (XFIXES) and
// told apart by comparing it with the server's own watch and arrow cursors,
// shown over a window of the test's own. A screenshot with the pointer drawn
// in is kept in the test's folder as hourglass.png.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/backend/x11/X11TestHooks.h"
#include "platform/draw/Png.h"
#include "platform/draw/Surface.h"
#include "tests/TestSupport.h"
#include "tests/XvfbSupport.h"
#include "tests/shell/MainMenuPlaces.h"
#include "tools/sample/SampleShot.h"

#ifdef VELLORAN_XUSER
#include "platform/backend/x11/X11UserInput.h"

namespace {

using Clock = std::chrono::steady_clock;
using plat::xuser::PointerImage;
using plat::xuser::TopWindow;
using testing_support::Child;
using testing_support::FindProgram;
using testing_support::Screenshot;

/// Waits up to MS for PRED, looking every STEP milliseconds.
template <typename Pred>
bool WaitFor(int ms, Pred pred, int step = 20) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  for (;;) {
    if (pred()) return true;
    if (Clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(step));
  }
}

/// SHOT with the pointer's picture laid over it where the server shows it
/// (its pixels are premultiplied by their alpha).
plat::Surface WithPointer(const Screenshot& shot, const PointerImage& pointer) {
  plat::Surface out(shot.width, shot.height);
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x) out.Set(x, y, shot.At(x, y));
  const int left = pointer.position.x - pointer.hotSpot.x;
  const int top = pointer.position.y - pointer.hotSpot.y;
  for (int y = 0; y < pointer.height; ++y)
    for (int x = 0; x < pointer.width; ++x) {
      const std::uint32_t p = pointer.argb[static_cast<std::size_t>(y) * pointer.width + x];
      const int alpha = static_cast<int>(p >> 24);
      if (alpha == 0 || !out.Inside(left + x, top + y)) continue;
      const plat::Pixel under = out.Get(left + x, top + y);
      const auto mix = [&](int src, int dst) { return src + dst * (255 - alpha) / 255; };
      out.Set(left + x, top + y,
              plat::Rgb(mix(plat::RedOf(p), plat::RedOf(under)),
                        mix(plat::GreenOf(p), plat::GreenOf(under)),
                        mix(plat::BlueOf(p), plat::BlueOf(under))));
    }
  return out;
}

TEST(ImportCursorX11, HourglassWhileALongImportRunsAndTheArrowAfter) {
  const std::string xvfb = FindProgram("Xvfb");
  if (xvfb.empty()) GTEST_SKIP() << "Xvfb is not on PATH: the real X11 window test is skipped";
  const std::string xwd = FindProgram("xwd");
  if (xwd.empty()) GTEST_SKIP() << "xwd is not on PATH: the real X11 window test is skipped";
  testing_support::TempDir dir;
  testing_support::Xvfb server;
  std::string why;
  ASSERT_TRUE(server.Start(xvfb, 24, why, "1280x1024", false)) << why;
  plat::xuser::User user(server.Display());
  ASSERT_TRUE(user.Ready()) << "no XTEST on " << server.Display();
  if (!user.Pointer()) GTEST_SKIP() << "the X server lacks XFIXES: the pointer cannot be read";

  // The shapes as this server draws them, in a corner the program's window
  // does not reach.
  // The server shows no picture for the first cursor window it is asked for;
  // one throwaway look lets the later ones through.
  (void)user.FontCursor("left_ptr", {1200, 940});
  const std::optional<PointerImage> watch = user.FontCursor("watch", {1200, 940});
  const std::optional<PointerImage> arrow = user.FontCursor("left_ptr", {1200, 940});
  ASSERT_TRUE(watch && arrow);
  ASSERT_GT(watch->width, 1) << "the hourglass's picture could not be read";
  ASSERT_GT(arrow->width, 1) << "the arrow's picture could not be read";
  ASSERT_FALSE(watch->SameShape(*arrow));
  ASSERT_FALSE(watch->width == arrow->width && watch->height == arrow->height &&
               watch->hotSpot == arrow->hotSpot)
      << "the hourglass and the arrow cannot be told apart by size and hot spot";

  // A record long enough to read and pick that the hourglass is seen: many
  // long traces, written with the program's own writer.
  sample_shot::Model model;
  model.traces = 240;
  model.samples = 32768;
  model.sampleInterval = 0.125f;
  ASSERT_TRUE(sample_shot::Write((dir.path() / "long.sg2").string(), why, model)) << why;

  const std::string home = dir.path().string();
  Child program;
  ASSERT_TRUE(program.Start({VELLORAN_EXE},
                            {"DISPLAY=" + server.Display(), "VELLORAN_HEADLESS", "HOME=" + home,
                             "XDG_CONFIG_HOME=" + home + "/config"},
                            home));
  std::optional<TopWindow> main;
  WaitFor(30000, [&] {
    for (const TopWindow& w : user.Windows())
      if (w.mapped && !w.overlay) main = w;
    return main.has_value() || program.Wait(0).has_value();
  });
  ASSERT_TRUE(main.has_value()) << "the program's window did not appear";

  // The pointer rests low on the record area, clear of the file dialog that
  // opens in the middle, and the window holds the keyboard.
  user.MoveTo({main->rect.left + 40, main->rect.bottom - 60});
  plat::x11test::SetInputFocus(server.Display(), main->id);
  // The cursor theme's hourglass is animated: the server shows one frame
  // after another, so its picture is matched by the frames' common size and
  // hot spot rather than by one frame's pixels.
  const auto shape = [&](const PointerImage& p) -> std::string {
    if (p.SameShape(*arrow)) return "arrow";
    const bool watchFrame = p.width == watch->width && p.height == watch->height &&
                            p.hotSpot == watch->hotSpot;
    return watchFrame ? "hourglass" : "other";
  };
  std::optional<PointerImage> now;
  const auto showing = [&](const char* name) {
    now = user.Pointer();
    return now && shape(*now) == name;
  };
  ASSERT_TRUE(WaitFor(10000, [&] { return showing("arrow"); }))
      << "the pointer over the idle window is the " << (now ? shape(*now) : "unreadable");

  // File > Import from the keyboard, then the record's name in the dialog.
  const std::optional<testing_support::MenuPlace> place = testing_support::Find({"File", "Import"});
  ASSERT_TRUE(place && !place->mnemonic.empty());
  ASSERT_TRUE(user.Tap(place->mnemonic, {"Alt_L"}));
  for (int i = 0; i < place->downs; ++i) ASSERT_TRUE(user.Tap("Down"));
  ASSERT_TRUE(user.Tap("Return"));
  const auto dialogShown = [&] {
    for (const TopWindow& w : user.Windows())
      if (w.id != main->id && w.mapped && !w.overlay) return true;
    return false;
  };
  ASSERT_TRUE(WaitFor(10000, dialogShown)) << "the import's file dialog did not appear";
  for (const char* key : {"l", "o", "n", "g", "period", "s", "g", "2"}) ASSERT_TRUE(user.Tap(key));
  ASSERT_TRUE(user.Tap("Return"));

  // The pointer is looked at every few milliseconds until the record is in
  // (the title names it) and the arrow is back.
  const auto titled = [&] {
    for (const TopWindow& w : user.Windows())
      if (w.id == main->id) return w.title.find("[long") != std::string::npos;
    return false;
  };
  bool sawHourglass = false, saved = false;
  int others = 0;
  const bool done = WaitFor(
      60000,
      [&] {
        now = user.Pointer();
        if (!now) return false;
        if (shape(*now) == "other") ++others;
        if (shape(*now) == "hourglass") {
          sawHourglass = true;
          if (!saved) {
            Screenshot shot;
            std::string failure;
            if (testing_support::TakeScreenshot(xwd, server.Display(), shot, failure))
              saved = plat::SavePng(WithPointer(shot, *now), (dir.path() / "hourglass.png").string());
          }
          return false;
        }
        return shape(*now) == "arrow" && titled();
      },
      5);
  EXPECT_TRUE(sawHourglass) << "the hourglass never showed while the record was read (" << others
                            << " looks at another shape)";
  EXPECT_TRUE(saved) << "no screenshot of the hourglass";
  EXPECT_TRUE(done) << "after the import the pointer is the " << (now ? shape(*now) : "unreadable")
                    << (titled() ? "" : ", and the record's name is not in the title");
  EXPECT_FALSE(program.Wait(0).has_value()) << "the program ended during the import";
  if (const char* keep = std::getenv("VELLORAN_KEEP_SCREENSHOT"))
    std::filesystem::copy_file(dir.path() / "hourglass.png", keep,
                               std::filesystem::copy_options::overwrite_existing);
}

}  // namespace

#endif
