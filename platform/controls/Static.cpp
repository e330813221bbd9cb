// Static text, frames, rectangles and pictures (class STATIC).
#include "platform/controls/Controls_p.h"

namespace plat {
namespace controls {
namespace {

struct StaticState : ControlState {
  std::shared_ptr<const Surface> image;
};

void PaintText(Painter& p, Hwnd h, unsigned style, const Rect& area, Pixel ink) {
  const unsigned type = style & kSsTypeMask;
  const Mnemonic label = StripMnemonic(GetWindowText(h), (style & kSsNoPrefix) == 0);
  const Align align = type == kSsCenter  ? Align::Centre
                      : type == kSsRight ? Align::Right
                                         : Align::Left;
  const bool enabled = IsWindowEnabled(h);
  const int lh = LineHeight(h);
  std::vector<std::string> lines;
  if (type == kSsSimple || type == kSsLeftNoWordWrap || p.GetFont() == nullptr)
    lines.push_back(label.text);
  else
    lines = WrapText(*p.GetFont(), label.text, area.Width());
  int y = area.top;
  if ((style & kSsCenterImage) != 0)
    y = area.top + (area.Height() - lh * static_cast<int>(lines.size())) / 2;
  int offset = 0;  // of the current line in the label, to place the underline
  for (const std::string& line : lines) {
    const Rect box{area.left, y, area.right, y + lh};
    int underline = label.underline - offset;
    if (underline < 0 || underline >= static_cast<int>(line.size())) underline = -1;
    if (enabled)
      p.Text(box, line, align, ink, underline);
    else
      p.GreyText(box, line, align, underline);
    offset += static_cast<int>(line.size());
    // Wrapping drops the blanks or line break that ended the line.
    while (offset < static_cast<int>(label.text.size()) &&
           (label.text[static_cast<std::size_t>(offset)] == ' ' ||
            label.text[static_cast<std::size_t>(offset)] == '\r' ||
            label.text[static_cast<std::size_t>(offset)] == '\n'))
      ++offset;
    y += lh;
    if (y >= area.bottom) break;
  }
}

void PaintStatic(Hwnd h, const StaticState& s) {
  Painter p(h);
  if (!p.Ok()) return;
  const unsigned style = GetStyle(h);
  const Rect c = p.Client();
  Rect area = c;
  switch (style & kSsTypeMask) {
    case kSsBlackRect:
      p.Fill(c, kColourDarkShadow);
      return;
    case kSsGrayRect:
      p.Fill(c, kColourShadow);
      return;
    case kSsWhiteRect:
      p.Fill(c, kColourHighlight3d);
      return;
    case kSsBlackFrame:
    case kSsGrayFrame:
    case kSsWhiteFrame: {
      const unsigned t = style & kSsTypeMask;
      p.Fill(c, kColourFace);
      p.Frame(c, t == kSsBlackFrame  ? kColourDarkShadow
                 : t == kSsGrayFrame ? kColourShadow
                                     : kColourHighlight3d);
      return;
    }
    case kSsEtchedHorz:
      p.Fill(c, kColourFace);
      p.Fill({c.left, c.top, c.right, c.top + 1}, kColourShadow);
      p.Fill({c.left, c.top + 1, c.right, c.top + 2}, kColourHighlight3d);
      return;
    case kSsEtchedVert:
      p.Fill(c, kColourFace);
      p.Fill({c.left, c.top, c.left + 1, c.bottom}, kColourShadow);
      p.Fill({c.left + 1, c.top, c.left + 2, c.bottom}, kColourHighlight3d);
      return;
    case kSsEtchedFrame:
      p.Fill(c, kColourFace);
      p.DrawBevel(c, Bevel::Etched);
      return;
    default:
      break;
  }
  const ControlColours colours = AskColours(h, Msg::CtlColourStatic, kColourText, kColourFace);
  p.Fill(c, colours.background);
  if ((style & kSsSunken) != 0 || (style & kWsBorder) != 0) {
    p.DrawBevel(c, (style & kSsSunken) != 0 ? Bevel::ThinSunken : Bevel::Sunken);
    area = {c.left + 2, c.top + 1, c.right - 2, c.bottom - 1};
  }
  const unsigned type = style & kSsTypeMask;
  if (type == kSsBitmap || type == kSsIcon) {
    if (!s.image) return;
    Point at{area.left, area.top};
    if ((style & kSsCenterImage) != 0)
      at = {area.left + (area.Width() - s.image->Width()) / 2,
            area.top + (area.Height() - s.image->Height()) / 2};
    p.Image(*s.image, s.image->Bounds(), at, area);
    return;
  }
  PaintText(p, h, style, area, colours.text);
}

}  // namespace

LResult StaticProc(Hwnd h, Msg m, WParam w, LParam l) {
  const auto handle = [&](StaticState*) -> std::optional<LResult> {
    switch (m) {
      case Msg::NcHitTest:
        // Without SS_NOTIFY a static is not there for the mouse.
        return (GetStyle(h) & kSsNotify) != 0 ? kHtClient : kHtTransparent;
      case Msg::LButtonDown:
        NotifyCommand(h, kStnClicked);
        return 0;
      case Msg::LButtonDblClk:
        NotifyCommand(h, kStnDblClk);
        return 0;
      default:
        return std::nullopt;
    }
  };
  return ControlProc<StaticState>(h, m, w, l, kRepaintOnEnable | kRepaintOnSize | kRepaintOnText,
                                  PaintStatic, handle);
}

}  // namespace controls

void StaticSetImage(Hwnd h, std::shared_ptr<const Surface> image) {
  if (auto* s = controls::StateOf<controls::StaticState>(h)) {
    s->image = std::move(image);
    controls::Repaint(h);
  }
}

std::shared_ptr<const Surface> StaticGetImage(Hwnd h) {
  const auto* s = controls::StateOf<controls::StaticState>(h);
  return s != nullptr ? s->image : nullptr;
}

}  // namespace plat
