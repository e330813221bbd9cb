// The status bar (class msctls_statusbar32): parts with texts and borders
// along the bottom of the parent, or one simple text over the whole bar.
#include <algorithm>

#include "platform/controls/Controls_p.h"

namespace plat {
namespace controls {
namespace {

constexpr int kMaxParts = 255;
constexpr int kGripSize = 12;

struct Part {
  int right = -1;
  std::string text;
  PartBorder border = PartBorder::Sunken;
};

struct StatusState : ControlState {
  std::vector<Part> parts{Part{}};
  bool simple = false;
  std::string simpleText;
};

/// Part I's rectangle in the bar.
Rect PartRect(Hwnd h, const StatusState& s, int i) {
  const Rect c = GetClientRect(h);
  const int left = i == 0 ? 0 : s.parts[static_cast<std::size_t>(i) - 1].right + 2;
  const int edge = s.parts[static_cast<std::size_t>(i)].right;
  int right = edge < 0 ? c.right : std::min(edge, c.right);
  if ((GetStyle(h) & kSbarsSizeGrip) != 0 && (edge < 0 || edge > c.right - kGripSize))
    right = std::min(right, c.right - kGripSize);
  return {c.left + std::max(left, 0), c.top + 2, right, c.bottom};
}

void PaintPart(Painter& p, const Rect& r, const std::string& text, PartBorder border) {
  if (r.Empty()) return;
  if (border == PartBorder::Sunken) p.DrawBevel(r, Bevel::ThinSunken);
  if (border == PartBorder::Raised) p.DrawBevel(r, Bevel::ThinRaised);
  // A tab starts the centred part of the text, a second tab its right-aligned part.
  const Rect inner{r.left + 3, r.top + 1, r.right - 2, r.bottom - 1};
  const Align aligns[] = {Align::Left, Align::Centre, Align::Right};
  std::size_t from = 0;
  for (const Align align : aligns) {
    const std::size_t tab = align == Align::Right ? std::string::npos : text.find('\t', from);
    const std::string piece = text.substr(from, tab == std::string::npos ? std::string::npos : tab - from);
    if (!piece.empty()) p.Text(inner, piece, align, kColourText);
    if (tab == std::string::npos) break;
    from = tab + 1;
  }
}

void PaintStatus(Hwnd h, const StatusState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const Rect c = p.Client();
  p.Fill(c, kColourFace);
  if (s.simple) {
    PaintPart(p, {c.left, c.top + 2, c.right, c.bottom}, s.simpleText, PartBorder::None);
  } else {
    for (int i = 0; i < static_cast<int>(s.parts.size()); ++i) {
      const Part& part = s.parts[static_cast<std::size_t>(i)];
      PaintPart(p, PartRect(h, s, i), part.text, part.border);
    }
  }
  if ((GetStyle(h) & kSbarsSizeGrip) != 0) {
    // Three pairs of diagonal lines in the corner.
    for (int k = 0; k < 3; ++k) {
      for (int d = 0; d < 2; ++d) {
        const int off = 4 * k + d + 1;
        const Pixel colour = d == 0 ? kColourHighlight3d : kColourShadow;
        for (int i = 0; i < kGripSize - off; ++i)
          p.Fill({c.right - 1 - i, c.bottom - kGripSize + off + i - 1 + 1, c.right - i,
                  c.bottom - kGripSize + off + i + 1},
                 colour);
      }
    }
  }
}

StatusState* Status(Hwnd h) {
  return StateOf<StatusState>(h);
}

}  // namespace

LResult StatusBarProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](StatusState*) -> std::optional<LResult> {
    switch (m) {
      case Msg::Create:
        StatusBarDock(h);
        return 0;
      case Msg::ShowWindow:
        if (w != 0) StatusBarDock(h);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<StatusState>(h, m, w, l, kRepaintOnSize | kRepaintOnText, PaintStatus, handle);
}

}  // namespace controls

using controls::Status;
using controls::StatusState;

bool StatusBarSetParts(Hwnd h, std::span<const int> rightEdges) {
  StatusState* s = Status(h);
  if (s == nullptr || rightEdges.empty() || rightEdges.size() > controls::kMaxParts) return false;
  s->parts.resize(rightEdges.size());
  for (std::size_t i = 0; i < rightEdges.size(); ++i) s->parts[i].right = rightEdges[i];
  controls::Repaint(h);
  return true;
}

std::vector<int> StatusBarGetParts(Hwnd h) {
  std::vector<int> out;
  if (const StatusState* s = Status(h))
    for (const auto& p : s->parts) out.push_back(p.right);
  return out;
}

bool StatusBarSetText(Hwnd h, int part, std::string_view text, PartBorder border) {
  StatusState* s = Status(h);
  if (s == nullptr || part < 0 || part >= static_cast<int>(s->parts.size())) return false;
  auto& p = s->parts[static_cast<std::size_t>(part)];
  p.text = std::string(text);
  p.border = border;
  if (!s->simple) controls::Repaint(h);
  return true;
}

std::string StatusBarGetText(Hwnd h, int part) {
  const StatusState* s = Status(h);
  if (s == nullptr || part < 0 || part >= static_cast<int>(s->parts.size())) return {};
  return s->parts[static_cast<std::size_t>(part)].text;
}

void StatusBarSetSimple(Hwnd h, bool simple) {
  if (StatusState* s = Status(h); s != nullptr && s->simple != simple) {
    s->simple = simple;
    controls::Repaint(h);
  }
}

bool StatusBarIsSimple(Hwnd h) {
  const StatusState* s = Status(h);
  return s != nullptr && s->simple;
}

void StatusBarSetSimpleText(Hwnd h, std::string_view text) {
  if (StatusState* s = Status(h)) {
    s->simpleText = std::string(text);
    if (s->simple) controls::Repaint(h);
  }
}

int StatusBarHeight(Hwnd h) {
  return controls::LineHeight(h) + 8;
}

void StatusBarDock(Hwnd h) {
  if (Status(h) == nullptr) return;
  const Hwnd parent = GetParent(h);
  if (parent == kNoWindow) return;
  const Rect pc = GetClientRect(parent);
  const int height = StatusBarHeight(h);
  MoveWindow(h, {pc.left, pc.bottom - height, pc.right, pc.bottom});
}

}  // namespace plat
