#pragma once
// A top-level host window for controls that records what they tell it.
#include <gtest/gtest.h>

#include <vector>

#include "platform/controls/Controls.h"
#include "platform/testing/Harness.h"
#include "platform/window/VirtualKeys.h"

namespace plat::testing {

/// One notification a control sent its parent.
struct Note {
  Msg msg = Msg::Null;
  int id = 0;    // control id (Command, Notify) or scroll code (HScroll, VScroll)
  int code = 0;  // notification code, or the position of a scroll message
  friend bool operator==(const Note&, const Note&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const Note& n) {
  return os << ToString(n.msg) << '(' << n.id << ", " << n.code << ')';
}

class ControlTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(RegisterControls());
    RegisterWindowClass({"Host",
                         [this](Hwnd h, Msg m, WParam w, LParam l) -> LResult {
                           if (m == Msg::Command) notes.push_back({m, LowWord(w), HighWord(w)});
                           if (m == Msg::HScroll || m == Msg::VScroll)
                             notes.push_back({m, SignedLow(w), SignedHigh(w)});
                           if (m == Msg::Notify) {
                             auto* hdr = reinterpret_cast<NotifyHeader*>(l);
                             notes.push_back({m, hdr->id, hdr->code});
                             if (onNotify) return onNotify(hdr);
                           }
                           return DefWindowProc(h, m, w, l);
                         },
                         0, kColourFace});
    host = CreateWindow(
        {.className = "Host", .title = "Host", .style = kStyleVisible, .rect = {0, 0, 400, 300}});
  }

  Hwnd Make(std::string_view cls, std::string_view text, unsigned style, Rect r, int id) {
    return CreateWindow({.className = cls,
                         .title = text,
                         .style = kStyleChild | kStyleVisible | style,
                         .rect = r,
                         .parent = host,
                         .id = id});
  }

  /// The notifications so far, in order; forgets them.
  std::vector<Note> Take() {
    std::vector<Note> out;
    out.swap(notes);
    return out;
  }

  /// The pixel at client point P of control H as shown on the screen.
  Pixel Shown(Hwnd h, Point p) {
    harness.DispatchPending();
    FlushDrawing();
    const Point s = ClientToScreen(h, p);
    const Point t = ScreenToClient(host, s);
    return harness.Shown(host)->Get(t.x, t.y);
  }

  /// How many pixels of COLOUR the control shows in R (client coordinates).
  int Count(Hwnd h, Rect r, Pixel colour) {
    harness.DispatchPending();
    FlushDrawing();
    const Surface* s = harness.Shown(host);
    const Point o = ScreenToClient(host, ClientToScreen(h, {0, 0}));
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        if (s->Get(o.x + x, o.y + y) == colour) ++n;
    return n;
  }

  Harness harness{{800, 600}};
  Hwnd host = kNoWindow;
  std::vector<Note> notes;
  std::function<LResult(NotifyHeader*)> onNotify;
};

inline Note Cmd(int id, int code) {
  return {Msg::Command, id, code};
}

}  // namespace plat::testing
