// Line colouring of the editor's text control.
#include "toolkit/editor/EditorColour.h"

#include <algorithm>
#include <array>
#include <map>

#include "platform/controls/Controls.h"
#include "platform/controls/RichEdit.h"
#include "platform/text/TextDraw.h"
#include "toolkit/editor/EditorBuffers.h"
#include "toolkit/editor/EditorWindow.h"

namespace tk {
namespace {

constexpr int kMaxLineChars = 32768;

EditorColourHook& Hook() {
  static EditorColourHook hook;
  return hook;
}

/// The procedures the coloured controls had: they get every other message.
std::map<plat::Hwnd, plat::WindowProc>& ControlProcs() {
  static std::map<plat::Hwnd, plat::WindowProc> procs;
  return procs;
}

plat::Pixel PixelOf(std::int32_t rgb) {
  return plat::Rgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

void FillRect(plat::Surface& s, plat::Rect r, plat::Rect clip, plat::Pixel p) {
  r = r.Intersect(clip).Intersect(s.Bounds());
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) s.Set(x, y, p);
}

/// One painted part of a line: characters [from, to) (0-based in the line).
struct Part {
  int from, to;
  plat::Pixel ink, paper;
  bool opaque;
};

/// The hook's ranges made safe: inside the line, ascending, not overlapping.
std::vector<Part> PartsOf(int length, int count, const int* starts, const int* ends,
                          const int* colours) {
  std::vector<Part> parts;
  int at = 0;
  const auto plain = [&](int to) {
    if (to > at) parts.push_back({at, to, plat::kColourText, plat::kColourWindow, false});
    at = std::max(at, to);
  };
  for (int k = 0; k < std::clamp(count, 0, kEditorColourRanges); ++k) {
    const int from = std::max(starts[k] - 1, at);
    const int to = std::min(ends[k], length);
    if (to <= from) continue;
    plain(from);
    if (colours[k] == -1)
      parts.push_back({from, to, plat::kColourSelectionText, plat::kColourSelection, true});
    else
      parts.push_back({from, to, PixelOf(colours[k]), plat::kColourWindow, false});
    at = to;
  }
  plain(length);
  return parts;
}

void PaintColoured(EditorRecord& rec, plat::Hwnd h) {
  const plat::PaintContext ctx = plat::BeginPaint(h);
  if (ctx.surface == nullptr) {
    plat::EndPaint(h, ctx);
    return;
  }
  plat::Surface& s = *ctx.surface;
  const plat::Rect client = plat::GetClientRect(h);
  const plat::Rect area = client.Offset(ctx.origin.x, ctx.origin.y);
  plat::Rect clip = ctx.clip.Offset(ctx.origin.x, ctx.origin.y).Intersect(area);
  const plat::Pixel background = plat::kColourWindow;

  // The font and line height, scaled by the control's zoom.
  const plat::CharFormat base = plat::RichEditGetCharFormat(h).first;
  int lineHeight = rec.lineHeight;
  plat::FontSpec spec;
  spec.face = base.face;
  spec.height = -std::max(1, (base.size * 96 + 720) / 1440);
  const auto [num, den] = plat::RichEditGetZoom(h);
  if (den != 0 && num > 0) {
    lineHeight = std::max(1, lineHeight * num / den);
    spec.face = "Courier New";
    spec.family = plat::FontFamily::Modern;
    spec.height = -std::max(1, rec.fontEmHeight * num / den);
  }
  const std::shared_ptr<const plat::Font> font = plat::OpenFont(spec);

  // A one-pixel strip at each side, and painting between them.
  FillRect(s, {area.left, area.top, area.left + 1, area.bottom}, clip, background);
  FillRect(s, {area.right - 1, area.top, area.right, area.bottom}, clip, background);
  clip = clip.Intersect({area.left + 1, area.top, area.right - 1, area.bottom});

  const int length = plat::RichEditGetTextLength(h);
  const auto [selA, selB] = plat::RichEditGetSel(h);
  const bool allSelected = length > 0 && selA == 0 && selB >= length;
  const plat::RichText* text = plat::RichEditText(h);
  const int first = plat::RichEditGetFirstVisibleLine(h);
  int bottom = area.top;
  for (int li = first; font != nullptr && text != nullptr; ++li) {
    const int start = plat::RichEditLineIndex(h, li);
    if (start < 0 || (li > first && start >= length)) break;
    const plat::Point at = plat::RichEditPosFromChar(h, start);
    if (at.y >= client.bottom) break;
    const int next = plat::RichEditLineIndex(h, li + 1);
    int end = next < 0 ? length : next;
    const bool hasLineEnd = end > start && text->Text()[static_cast<std::size_t>(end) - 1] == '\r';
    if (hasLineEnd) --end;
    end = std::min(end, start + kMaxLineChars);
    const std::string line = plat::RichEditGetTextRange(h, start, end);
    const int lineLength = static_cast<int>(line.size());
    const int top = li == first ? area.top : at.y + ctx.origin.y;
    const int rowBottom = at.y + ctx.origin.y + lineHeight + 1;
    FillRect(s, {area.left, top, area.right, rowBottom}, clip, background);
    bottom = std::max(bottom, rowBottom);

    std::vector<Part> parts;
    if (allSelected) {
      parts.push_back({0, lineLength, plat::kColourSelectionText, plat::kColourSelection, true});
    } else {
      int selFirst = -1, selLast = -1;
      if (selA != selB && selA < start + lineLength && selB > start) {
        selFirst = std::max(selA - start + 1, 1);
        selLast = std::min(selB - start, lineLength);
      }
      std::array<int, kEditorColourRanges> ends{}, starts{}, colours{};
      int count = 0;
      if (Hook())
        Hook()(rec.windowNumber, selFirst, selLast, kEditorColourRanges, ends.data(), starts.data(),
               colours.data(), count, line);
      parts = PartsOf(lineLength, count, starts.data(), ends.data(), colours.data());
    }
    for (const Part& p : parts)
      EditorDrawTabbedText(rec, s, ctx.origin, clip, *font, line, start, p.from, p.to, p.ink,
                           p.paper, p.opaque, selA, selB, allSelected, lineHeight);
    // A selected line end (or an empty line of a wholly selected text).
    const bool endSelected = hasLineEnd && start + lineLength >= selA && start + lineLength < selB;
    if (endSelected || (allSelected && lineLength == 0)) {
      const plat::Point e = plat::RichEditPosFromChar(h, start + lineLength);
      const int w = std::max(1, font->Advance(' '));
      FillRect(s,
               plat::Rect{e.x, e.y, e.x + w, e.y + lineHeight}.Offset(ctx.origin.x, ctx.origin.y),
               clip, plat::kColourSelection);
    }
    if (next < 0 || next <= start) break;
  }
  FillRect(s, {area.left, bottom, area.right, area.bottom}, clip, background);
  plat::EndPaint(h, ctx);
}

plat::LResult ColouredControlProc(plat::Hwnd h, plat::Msg m, plat::WParam w, plat::LParam l) {
  const auto it = ControlProcs().find(h);
  const plat::WindowProc previous = it != ControlProcs().end() ? it->second : nullptr;
  const auto chain = [&] {
    return previous != nullptr ? previous(h, m, w, l) : plat::DefWindowProc(h, m, w, l);
  };
  EditorRecord* rec = nullptr;
  for (int n = 0; n < kEditorWindowSlots && rec == nullptr; ++n)
    if (EditorRecord* e = EditorOfWindow(n); e != nullptr && e->textControl == h) rec = e;
  if (m == plat::Msg::Destroy) {
    const plat::LResult r = chain();
    ControlProcs().erase(h);
    return r;
  }
  if (m == plat::Msg::Paint && rec != nullptr && rec->colouring) {
    PaintColoured(*rec, h);
    return 0;
  }
  return chain();
}

}  // namespace

void SetEditorColourHook(EditorColourHook hook) {
  Hook() = std::move(hook);
}

void EditorDrawTabbedText(const EditorRecord& rec, plat::Surface& surface, plat::Point origin,
                          plat::Rect clip, const plat::Font& font, std::string_view line,
                          int lineStart, int from, int to, plat::Pixel ink, plat::Pixel paper,
                          bool opaque, int selA, int selB, bool allSelected, int lineHeight) {
  const plat::Hwnd c = rec.textControl;
  plat::TextStyle style;
  style.colour = ink;
  style.opaque = opaque;
  style.background = paper;
  int piece = from;
  const auto draw = [&](int a, int b) {
    if (b <= a) return;
    const plat::Point at = plat::RichEditPosFromChar(c, lineStart + a);
    if (opaque) {
      const plat::Point e = plat::RichEditPosFromChar(c, lineStart + b);
      FillRect(surface,
               plat::Rect{at.x, at.y, std::max(e.x, at.x + 1), at.y + lineHeight}.Offset(origin.x,
                                                                                       origin.y),
               clip, paper);
    }
    plat::DrawText(surface, font, {at.x + origin.x, at.y + origin.y},
                   line.substr(static_cast<std::size_t>(a), static_cast<std::size_t>(b - a)), style,
                   clip);
  };
  for (int i = from; i < to; ++i) {
    if (line[static_cast<std::size_t>(i)] != '\t') continue;
    draw(piece, i);
    piece = i + 1;
    const int pos = lineStart + i;
    if (allSelected || (pos >= selA && pos < selB)) {
      const plat::Point a = plat::RichEditPosFromChar(c, pos);
      const plat::Point b = plat::RichEditPosFromChar(c, pos + 1);
      FillRect(surface,
               plat::Rect{a.x, a.y, std::max(b.x, a.x + 1), a.y + lineHeight}.Offset(origin.x,
                                                                                     origin.y),
               clip, plat::kColourSelection);
    }
  }
  draw(piece, to);
}

void EditorColourOnFor(EditorRecord& rec) {
  if (rec.colouring || rec.textControl == plat::kNoWindow) return;
  rec.colouring = true;
  ControlProcs()[rec.textControl] = plat::SetWindowProc(rec.textControl, ColouredControlProc);
  plat::InvalidateRect(rec.textControl, std::nullopt, true);
}

void EditorColourOn() {
  if (EditorRecord* rec = CurrentEditor()) EditorColourOnFor(*rec);
}

}  // namespace tk
