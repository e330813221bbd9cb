// Registration of the control classes and what they share: fonts,
// notifications, text layout and the painter.
#include <algorithm>
#include <cctype>

#include "platform/controls/Controls_p.h"
#include "platform/controls/RichEdit.h"

namespace plat {

using namespace controls;

bool RegisterControls() {
  struct Entry {
    std::string_view name;
    LResult (*proc)(Hwnd, Msg, WParam, LParam);
    unsigned style;
  };
  const Entry entries[] = {
      {kButtonClass, ButtonProc, 0},
      {kStaticClass, StaticProc, kClassDblClks},
      {kEditClass, EditProc, kClassDblClks},
      {kListBoxClass, ListBoxProc, kClassDblClks},
      {kComboListClass, ListBoxProc, 0},
      {kComboBoxClass, ComboBoxProc, kClassDblClks},
      {kStatusBarClass, StatusBarProc, 0},
      {kToolbarClass, ToolbarProc, 0},
      {kTooltipClass, TooltipProc, 0},
      {kUpDownClass, UpDownProc, 0},
      {kTrackbarClass, TrackbarProc, 0},
      {kProgressClass, ProgressProc, 0},
      {kTabClass, TabProc, 0},
      {kTreeViewClass, TreeViewProc, kClassDblClks},
      {kScrollBarClass, ScrollBarProc, 0},
      {kRichEditClass, RichEditProc, kClassDblClks},
      {kHeaderClass, HeaderProc, 0},
  };
  bool ok = true;
  for (const Entry& e : entries) {
    if (IsClassRegistered(e.name)) continue;
    WindowClass cls;
    cls.name = std::string(e.name);
    cls.proc = e.proc;
    cls.style = e.style;
    ok = RegisterWindowClass(cls) && ok;
  }
  return ok;
}

std::shared_ptr<const Font> DefaultControlFont() {
  FontSpec spec;
  spec.face = "Arial";
  spec.height = -11;
  spec.family = FontFamily::Swiss;
  return OpenFont(spec);
}

void SetControlFont(Hwnd h, std::shared_ptr<const Font> font) {
  if (auto* s = StateOf<ControlState>(h)) {
    s->font = std::move(font);
    Repaint(h);
  }
}

std::shared_ptr<const Font> GetControlFont(Hwnd h) {
  if (auto* s = StateOf<ControlState>(h); s != nullptr && s->font) return s->font;
  return DefaultControlFont();
}

namespace controls {

const Font* FontOf(Hwnd h) {
  if (auto* s = StateOf<ControlState>(h); s != nullptr && s->font) return s->font.get();
  // The cache keeps recently used fonts; hold the default for good.
  static const std::shared_ptr<const Font> fallback = DefaultControlFont();
  return fallback.get();
}

int LineHeight(Hwnd h) {
  const Font* f = FontOf(h);
  return f ? std::max(f->Metrics().height, 1) : 13;
}

int TextWidth(Hwnd h, std::string_view text) {
  const Font* f = FontOf(h);
  return f ? f->TextWidth(text) : static_cast<int>(text.size()) * 6;
}

void NotifyCommand(Hwnd h, int code) {
  const Hwnd parent = GetParent(h);
  if (parent != kNoWindow)
    SendMessage(parent, Msg::Command, MakeWParam(GetWindowId(h), code), static_cast<LParam>(h));
}

LResult NotifyParent(Hwnd h, NotifyHeader& hdr, int code) {
  hdr.from = h;
  hdr.id = GetWindowId(h);
  hdr.code = code;
  const Hwnd parent = GetParent(h);
  if (parent == kNoWindow) return 0;
  return SendMessage(parent, Msg::Notify, static_cast<WParam>(hdr.id),
                     reinterpret_cast<LParam>(&hdr));
}

void NotifyScroll(Hwnd h, bool vertical, int code, int pos) {
  const Hwnd parent = GetParent(h);
  if (parent != kNoWindow)
    SendMessage(parent, vertical ? Msg::VScroll : Msg::HScroll, MakeWParam(code, pos),
                (GetStyle(h) & kSbsWindowBar) ? 0 : static_cast<LParam>(h));
}

bool RepaintsOn(Msg m, unsigned repaintOn) {
  switch (m) {
    case Msg::Enable:
      return (repaintOn & kRepaintOnEnable) != 0;
    case Msg::Size:
      return (repaintOn & kRepaintOnSize) != 0;
    case Msg::SetFocus:
    case Msg::KillFocus:
      return (repaintOn & kRepaintOnFocus) != 0;
    case Msg::SetText:
      return (repaintOn & kRepaintOnText) != 0;
    default:
      return false;
  }
}

void Repaint(Hwnd h) {
  InvalidateRect(h, std::nullopt, false);
}

ControlColours AskColours(Hwnd h, Msg kind, Pixel text, Pixel background) {
  ControlColours c{h, text, background};
  const Hwnd parent = GetParent(h);
  if (parent != kNoWindow) SendMessage(parent, kind, 0, reinterpret_cast<LParam>(&c));
  return c;
}

Mnemonic StripMnemonic(std::string_view text, bool prefixes) {
  Mnemonic m;
  m.text.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (prefixes && text[i] == '&' && i + 1 < text.size()) {
      ++i;
      if (text[i] != '&' && m.underline < 0) m.underline = static_cast<int>(m.text.size());
    }
    m.text += text[i];
  }
  return m;
}

std::vector<std::string> WrapText(const Font& font, std::string_view text, int width) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view para = text.substr(start, end - start);
    if (!para.empty() && para.back() == '\r') para.remove_suffix(1);
    // Greedy word wrap of one paragraph.
    std::string line;
    std::size_t i = 0;
    bool any = false;
    while (i < para.size()) {
      std::size_t j = i;
      while (j < para.size() && para[j] == ' ') ++j;
      std::size_t k = j;
      while (k < para.size() && para[k] != ' ') ++k;
      std::string candidate = line + std::string(para.substr(i, k - i));
      if (!line.empty() && font.TextWidth(candidate) > width) {
        lines.push_back(line);
        line = std::string(para.substr(j, k - j));
      } else {
        line = candidate;
      }
      any = true;
      i = k;
    }
    if (any || para.empty()) lines.push_back(line);
    if (end >= text.size()) break;
    start = end + 1;
  }
  return lines;
}

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int SortedPosition(const std::vector<ListItem>& items, std::string_view text) {
  const auto it = std::upper_bound(
      items.begin(), items.end(), text,
      [](std::string_view t, const ListItem& item) { return CompareNoCase(t, item.text) < 0; });
  return static_cast<int>(it - items.begin());
}

int FindItem(const std::vector<ListItem>& items, int start, std::string_view text, bool exact) {
  const int n = static_cast<int>(items.size());
  if (n == 0) return kListError;
  if (start < -1 || start >= n) start = -1;
  for (int step = 1; step <= n; ++step) {
    const int i = (start + step) % n;
    const std::string_view t = items[static_cast<std::size_t>(i)].text;
    if (exact ? CompareNoCase(t, text) == 0
              : t.size() >= text.size() && CompareNoCase(t.substr(0, text.size()), text) == 0)
      return i;
  }
  return kListError;
}

// --- painter -----------------------------------------------------------------

Painter::Painter(Hwnd h)
    : h_(h), ctx_(BeginPaint(h)), client_(GetClientRect(h)), font_(FontOf(h)), paint_(true) {
  if (ctx_.surface != nullptr)
    canvas_ = std::make_unique<plat::Canvas>(*ctx_.surface, ctx_.origin, ctx_.clip);
}

Painter::~Painter() {
  if (paint_) EndPaint(h_, ctx_);
}

void Painter::Fill(const Rect& r, Pixel colour) {
  if (canvas_) canvas_->FillRect(r, Brush::Solid(colour));
}

void Painter::Frame(const Rect& r, Pixel colour) {
  if (r.Empty()) return;
  Fill({r.left, r.top, r.right, r.top + 1}, colour);
  Fill({r.left, r.bottom - 1, r.right, r.bottom}, colour);
  Fill({r.left, r.top, r.left + 1, r.bottom}, colour);
  Fill({r.right - 1, r.top, r.right, r.bottom}, colour);
}

namespace {

/// One ring of a bevel: top and left edges in LIT, bottom and right in SHADE.
void Ring(Painter& p, const Rect& r, Pixel lit, Pixel shade) {
  if (r.Empty()) return;
  p.Fill({r.left, r.top, r.right - 1, r.top + 1}, lit);
  p.Fill({r.left, r.top, r.left + 1, r.bottom - 1}, lit);
  p.Fill({r.left, r.bottom - 1, r.right, r.bottom}, shade);
  p.Fill({r.right - 1, r.top, r.right, r.bottom}, shade);
}

Rect Inset(const Rect& r, int d) {
  return {r.left + d, r.top + d, r.right - d, r.bottom - d};
}

}  // namespace

void Painter::DrawBevel(const Rect& r, Bevel kind) {
  switch (kind) {
    case Bevel::Raised:
      Ring(*this, r, kColourHighlight3d, kColourDarkShadow);
      Ring(*this, Inset(r, 1), kColourFace, kColourShadow);
      break;
    case Bevel::Sunken:
      Ring(*this, r, kColourShadow, kColourHighlight3d);
      Ring(*this, Inset(r, 1), kColourDarkShadow, kColourFace);
      break;
    case Bevel::Pushed:
      Frame(r, kColourShadow);
      break;
    case Bevel::ThinRaised:
      Ring(*this, r, kColourHighlight3d, kColourShadow);
      break;
    case Bevel::ThinSunken:
      Ring(*this, r, kColourShadow, kColourHighlight3d);
      break;
    case Bevel::Etched:
      Frame({r.left, r.top, r.right - 1, r.bottom - 1}, kColourShadow);
      Frame({r.left + 1, r.top + 1, r.right, r.bottom}, kColourHighlight3d);
      break;
  }
}

void Painter::FocusRect(const Rect& r) {
  if (!canvas_ || r.Empty()) return;
  auto dot = [this](int x, int y) {
    if (((x + y) & 1) == 0) canvas_->SetPixel({x, y}, kColourText);
  };
  for (int x = r.left; x < r.right; ++x) {
    dot(x, r.top);
    dot(x, r.bottom - 1);
  }
  for (int y = r.top; y < r.bottom; ++y) {
    dot(r.left, y);
    dot(r.right - 1, y);
  }
}

void Painter::TextAt(Point at, std::string_view text, Pixel colour, const Rect& clip) {
  if (!canvas_ || font_ == nullptr || text.empty()) return;
  const Rect c = clip.Intersect(ctx_.clip);
  if (c.Empty()) return;
  TextStyle style;
  style.colour = colour;
  DrawText(*ctx_.surface, *font_, {at.x + ctx_.origin.x, at.y + ctx_.origin.y}, text, style,
           c.Offset(ctx_.origin.x, ctx_.origin.y));
}

void Painter::Text(const Rect& box, std::string_view text, Align align, Pixel colour,
                   int underline) {
  if (font_ == nullptr) return;
  const int w = font_->TextWidth(text);
  int x = box.left;
  if (align == Align::Centre) x = box.left + (box.Width() - w) / 2;
  if (align == Align::Right) x = box.right - w;
  const int y = box.top + (box.Height() - font_->Metrics().height) / 2;
  TextAt({x, y}, text, colour, box);
  if (underline >= 0 && static_cast<std::size_t>(underline) < text.size()) {
    const int ux = x + font_->TextWidth(text.substr(0, static_cast<std::size_t>(underline)));
    const int uw =
        font_->Advance(static_cast<unsigned char>(text[static_cast<std::size_t>(underline)]));
    const int uy = y + font_->Metrics().ascent + 1;
    Fill(Rect{ux, uy, ux + uw, uy + 1}.Intersect(box), colour);
  }
}

void Painter::GreyText(const Rect& box, std::string_view text, Align align, int underline) {
  Text(box.Offset(1, 1), text, align, kColourHighlight3d, underline);
  Text(box, text, align, kColourGreyText, underline);
}

void Painter::Image(const Surface& image, Rect source, Point at, const Rect& clip,
                    std::optional<Pixel> transparent, bool greyed) {
  if (!canvas_) return;
  source = source.Intersect(image.Bounds());
  const Rect c = clip.Intersect(ctx_.clip);
  for (int pass = greyed ? 0 : 1; pass < 2; ++pass) {
    for (int y = source.top; y < source.bottom; ++y) {
      for (int x = source.left; x < source.right; ++x) {
        const Pixel px = image.Get(x, y);
        if (transparent && px == *transparent) continue;
        Point d{at.x + x - source.left, at.y + y - source.top};
        Pixel out = px;
        if (greyed) {
          // Embossed: only the dark pixels show, lit below right, grey on top.
          if (RedOf(px) + GreenOf(px) + BlueOf(px) >= 3 * 160) continue;
          out = pass == 0 ? kColourHighlight3d : kColourShadow;
          if (pass == 0) d = {d.x + 1, d.y + 1};
        }
        if (c.Contains(d)) canvas_->SetPixel(d, out);
      }
    }
  }
}

void Painter::Arrow(const Rect& box, int dir, Pixel colour) {
  const int size = 4;  // rows of the triangle
  const int cx = box.left + (box.Width() - 1) / 2, cy = box.top + (box.Height() - 1) / 2;
  for (int i = 0; i < size; ++i) {
    const int half = size - 1 - i;  // the widest row first
    switch (dir) {
      case 0:  // up: widest at the bottom
        Fill({cx - (size - 1 - half), cy - 2 + i, cx + (size - half), cy - 1 + i}, colour);
        break;
      case 1:  // down
        Fill({cx - half, cy - 1 + i, cx + half + 1, cy + i}, colour);
        break;
      case 2:  // left
        Fill({cx - 2 + i, cy - (size - 1 - half), cx - 1 + i, cy + (size - half)}, colour);
        break;
      default:  // right
        Fill({cx - 1 + i, cy - half, cx + i, cy + half + 1}, colour);
        break;
    }
  }
}

}  // namespace controls
}  // namespace plat
