#pragma once
// A window class that records the messages its windows receive, for tests of
// message order. Each entry reads "<window title> <message>".
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/testing/Harness.h"
#include "platform/window/Window.h"

namespace plat::testing {

class Recorder {
 public:
  /// Registers class NAME (with STYLE) whose windows log into this recorder.
  explicit Recorder(std::string name = "Recorder", unsigned style = kClassDblClks)
      : name_(std::move(name)) {
    RegisterWindowClass({name_,
                         [this](Hwnd h, Msg m, WParam w, LParam l) { return Proc(h, m, w, l); },
                         style, Rgb(255, 255, 255)});
  }

  /// Messages that are not logged (NcHitTest by default: it comes with every
  /// mouse event).
  std::vector<Msg> quiet{Msg::NcHitTest};
  /// Handlers that replace the default handling of a message, per message.
  std::map<Msg, std::function<LResult(Hwnd, WParam, LParam)>> on;
  std::vector<std::string> log;
  struct Entry {
    Hwnd hwnd;
    Msg msg;
    WParam w;
    LParam l;
  };
  std::vector<Entry> entries;

  Hwnd Top(std::string_view title, Rect r = {100, 100, 500, 400}, unsigned style = 0) {
    return CreateWindow({.className = name_, .title = title, .style = style, .rect = r});
  }
  Hwnd Child(Hwnd parent, std::string_view title, Rect r, unsigned style = kStyleVisible) {
    return CreateWindow({.className = name_,
                         .title = title,
                         .style = style | kStyleChild,
                         .rect = r,
                         .parent = parent});
  }
  /// Entries for message M only.
  std::vector<std::string> Only(Msg m) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < entries.size(); ++i)
      if (entries[i].msg == m) out.push_back(log[i]);
    return out;
  }
  void Clear() {
    log.clear();
    entries.clear();
  }

 private:
  LResult Proc(Hwnd h, Msg m, WParam w, LParam l) {
    if (std::find(quiet.begin(), quiet.end(), m) == quiet.end()) {
      log.push_back(GetWindowText(h) + " " + ToString(m));
      entries.push_back({h, m, w, l});
    }
    if (auto it = on.find(m); it != on.end()) return it->second(h, w, l);
    return DefWindowProc(h, m, w, l);
  }
  std::string name_;
};

using Log = std::vector<std::string>;

}  // namespace plat::testing
