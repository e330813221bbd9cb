#pragma once
// What the control classes share: per-window state, notifications, and the
// painter that draws bevels, text and focus rectangles.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/controls/Controls.h"
#include "platform/draw/Canvas.h"
#include "platform/text/TextDraw.h"

namespace plat::controls {

/// The state every control keeps with its window (WindowExtra).
struct ControlState : WindowExtra {
  std::shared_ptr<const Font> font;  // null: the default control font
};

/// The state of H when it is a T (null otherwise).
template <typename T>
T* StateOf(Hwnd h) {
  return dynamic_cast<T*>(GetWindowExtra(h));
}

/// Makes and attaches a fresh T to H; returns it.
template <typename T>
T* Attach(Hwnd h) {
  auto state = std::make_unique<T>();
  T* raw = state.get();
  SetWindowExtra(h, std::move(state));
  return raw;
}

/// The font H draws with; null only when no font exists at all.
const Font* FontOf(Hwnd h);
/// The height of a line of text in H's font (at least 1).
int LineHeight(Hwnd h);
int TextWidth(Hwnd h, std::string_view text);

/// Sends Command (MakeWParam(id, CODE), H) to H's parent.
void NotifyCommand(Hwnd h, int code);
/// Sends Notify to H's parent with HDR's from, id and code filled in.
LResult NotifyParent(Hwnd h, NotifyHeader& hdr, int code);
/// Sends HScroll or VScroll to H's parent.
void NotifyScroll(Hwnd h, bool vertical, int code, int pos);

void Repaint(Hwnd h);

/// Offers TEXT and BACKGROUND to H's parent with KIND (a CtlColour*
/// message); what it answers, the two unchanged when it does not.
ControlColours AskColours(Hwnd h, Msg kind, Pixel text, Pixel background);

/// The common messages a control repaints itself on.
enum RepaintOn : unsigned {
  kRepaintOnEnable = 1,  // Enable
  kRepaintOnSize = 2,    // Size
  kRepaintOnFocus = 4,   // SetFocus and KillFocus
  kRepaintOnText = 8,    // SetText
};
bool RepaintsOn(Msg m, unsigned repaintOn);

/// The window procedure every control class shares. Create attaches a fresh
/// T to H; Paint calls PAINT(h, state); EraseBackground is answered (the
/// control paints all of its area); every other message, Create included,
/// goes to HANDLE(state) first, whose nullopt passes it on: the
/// messages REPAINTON names then repaint H, the rest go to DefWindowProc.
/// Before Create, and once its state is gone, H is a plain window.
template <typename T, typename PaintFn, typename HandleFn>
LResult ControlProc(Hwnd h, Msg m, WParam w, LParam l, unsigned repaintOn, PaintFn paint,
                    HandleFn handle) {
  if (m == Msg::Create) return handle(Attach<T>(h)).value_or(0);
  T* s = StateOf<T>(h);
  if (s == nullptr) return DefWindowProc(h, m, w, l);
  if (m == Msg::Paint) {
    paint(h, *s);
    return 0;
  }
  if (m == Msg::EraseBackground) return 1;
  if (const std::optional<LResult> answer = handle(s)) return *answer;
  if (RepaintsOn(m, repaintOn)) {
    Repaint(h);
    return 0;
  }
  return DefWindowProc(h, m, w, l);
}

/// A text with "&" mnemonic marks taken out: what shows, and which
/// character is underlined (-1: none). "&&" shows one "&".
struct Mnemonic {
  std::string text;
  int underline = -1;
};
Mnemonic StripMnemonic(std::string_view text, bool prefixes);

/// Splits TEXT into lines no wider than WIDTH, breaking between words and at
/// line breaks ("\n", "\r\n"); a word wider than the width stands alone.
std::vector<std::string> WrapText(const Font& font, std::string_view text, int width);

enum class Bevel {
  Raised,      // a push button: white and black outer, grey inner shadow
  Sunken,      // an edit's client edge: grey and white outer, black inner
  Pushed,      // a pressed push button: grey shadow all round
  ThinRaised,  // one pixel: white top-left, grey bottom-right
  ThinSunken,  // one pixel: grey top-left, white bottom-right
  Etched,      // group box and etched lines
};

enum class Align { Left, Centre, Right };

/// Draws into a control during Paint (or outside it, from GetDrawContext).
class Painter {
 public:
  /// Begins painting H (EndPaint in the destructor).
  explicit Painter(Hwnd h);
  ~Painter();
  Painter(const Painter&) = delete;
  Painter& operator=(const Painter&) = delete;

  bool Ok() const { return ctx_.surface != nullptr; }
  plat::Canvas& GetCanvas() { return *canvas_; }
  Rect Client() const { return client_; }
  const plat::Font* GetFont() const { return font_; }
  /// Where the control's client area lies on the surface painted.
  const PaintContext& Context() const { return ctx_; }

  void Fill(const Rect& r, Pixel colour);
  /// A one-pixel frame just inside R.
  void Frame(const Rect& r, Pixel colour);
  /// A two-pixel (one for the thin kinds) bevel just inside R.
  void DrawBevel(const Rect& r, Bevel kind);
  /// The dotted focus rectangle just inside R.
  void FocusRect(const Rect& r);
  /// One line of TEXT in BOX (clipped to it), aligned across it and centred
  /// vertically; UNDERLINE names a character to underline. Disabled text is
  /// drawn embossed in grey.
  void Text(const Rect& box, std::string_view text, Align align, Pixel colour, int underline = -1);
  /// Text at a point (top of the cell), clipped to CLIP.
  void TextAt(Point at, std::string_view text, Pixel colour, const Rect& clip);
  /// Disabled look: white copy one pixel down and right, then grey.
  void GreyText(const Rect& box, std::string_view text, Align align, int underline = -1);
  /// Copies IMAGE with its top-left at AT, clipped to CLIP; TRANSPARENT
  /// pixels of that colour are left out.
  void Image(const Surface& image, Rect source, Point at, const Rect& clip,
             std::optional<Pixel> transparent = std::nullopt, bool greyed = false);
  /// A small filled arrow (triangle) centred in BOX pointing DIR (0 up, 1 down, 2 left, 3 right).
  void Arrow(const Rect& box, int dir, Pixel colour);

 private:
  Hwnd h_;
  PaintContext ctx_;
  std::unique_ptr<plat::Canvas> canvas_;
  Rect client_;
  const plat::Font* font_;
  bool paint_;
};

/// A scroll bar's range, page and position.
struct ScrollRange {
  int min = 0;
  int max = 100;
  int page = 0;  // 0: no page, the thumb is square
  int pos = 0;
};
/// Where the parts of a scroll bar lie; the thumb is empty when it cannot move.
struct ScrollParts {
  Rect less, more, track, thumb;
};
ScrollParts MeasureScroll(const Rect& bar, bool vertical, const ScrollRange& r);
/// The position whose thumb centre lies at ALONG (pixels along the bar).
int ScrollPosAt(const ScrollParts& parts, bool vertical, const ScrollRange& r, int along);
/// Draws a scroll bar in BAR; PRESSED: -1 or +1 for a held arrow.
void PaintScroll(Painter& p, const Rect& bar, bool vertical, const ScrollRange& r, bool enabled,
                 int pressed = 0);

// Per-class window procedures and registration, one per source file.
LResult ButtonProc(Hwnd h, Msg m, WParam w, LParam l);
LResult StaticProc(Hwnd h, Msg m, WParam w, LParam l);
LResult EditProc(Hwnd h, Msg m, WParam w, LParam l);
LResult ListBoxProc(Hwnd h, Msg m, WParam w, LParam l);
LResult ComboBoxProc(Hwnd h, Msg m, WParam w, LParam l);
LResult StatusBarProc(Hwnd h, Msg m, WParam w, LParam l);
LResult ToolbarProc(Hwnd h, Msg m, WParam w, LParam l);
LResult TooltipProc(Hwnd h, Msg m, WParam w, LParam l);
LResult UpDownProc(Hwnd h, Msg m, WParam w, LParam l);
LResult TrackbarProc(Hwnd h, Msg m, WParam w, LParam l);
LResult ProgressProc(Hwnd h, Msg m, WParam w, LParam l);
LResult TabProc(Hwnd h, Msg m, WParam w, LParam l);
LResult TreeViewProc(Hwnd h, Msg m, WParam w, LParam l);
LResult ScrollBarProc(Hwnd h, Msg m, WParam w, LParam l);
LResult RichEditProc(Hwnd h, Msg m, WParam w, LParam l);
LResult HeaderProc(Hwnd h, Msg m, WParam w, LParam l);

/// The list box calls this when its drop-down list (a ComboLBox) ends: the
/// user picked INDEX (ACCEPT) or cancelled.
void ComboListDone(Hwnd combo, int index, bool accept);
/// Whether list box H is the drop-down of a combo box, and which.
Hwnd ComboOfList(Hwnd list);
/// Makes list box H the drop-down list of COMBO.
void SetComboOfList(Hwnd list, Hwnd combo);

/// Shared list storage of list boxes and combo boxes.
struct ListItem {
  std::string text;
  std::intptr_t data = 0;
  bool selected = false;
};
/// Case-insensitive comparison the sorted lists use.
int CompareNoCase(std::string_view a, std::string_view b);
/// Where TEXT goes in ITEMS kept sorted (after equal texts).
int SortedPosition(const std::vector<ListItem>& items, std::string_view text);
/// FindString / FindStringExact over ITEMS from after START, wrapping.
int FindItem(const std::vector<ListItem>& items, int start, std::string_view text, bool exact);

}  // namespace plat::controls
