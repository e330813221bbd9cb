// The built-in vector fonts bound to the graphics state, drawn through the
// line and polygon primitives of the graphics layer.
#include <vector>

#include "toolkit/graphics/Drivers.h"
#include "toolkit/graphics/Graphics.h"
#include "toolkit/graphics/Lines.h"
#include "toolkit/graphics/Text.h"

namespace tk {
namespace {

// Lines and filled polygons in device units on the outputs that are on.
class GraphicsStrokeSink final : public StrokeSink {
 public:
  void BeginStrokeText(bool filled, bool doubleLineWidth) override {
    GraphicsState& gs = Gs();
    filled_ = filled;
    doubled_ = doubleLineWidth;
    if (filled_) {
      fillStyle_ = gs.fillStyle;
      gs.fillStyle = kFillSolid;
      gs.glyphFill = 1;
    }
    if (doubled_) {
      screenWidth_ = gs.screenLineWidth;
      hardcopyWidth_ = gs.hardcopyLineWidth;
      gs.screenLineWidth *= 2;
      gs.hardcopyLineWidth *= 2;
      SendLineWidth();
    }
  }
  void Line(StrokePoint from, StrokePoint to) override {
    LineDevice(static_cast<float>(from.x), static_cast<float>(from.y), static_cast<float>(to.x),
               static_cast<float>(to.y));
  }
  void Polyline(std::span<const StrokePoint> points) override {
    Load(points);
    PolylineClipped(xs_, ys_, static_cast<int>(points.size()), 1);
  }
  void FillPolygon(std::span<const StrokePoint> points) override {
    Load(points);
    YYPLYGON(xs_, ys_, static_cast<int>(points.size()), 1);
  }
  void EndStrokeText() override {
    GraphicsState& gs = Gs();
    if (filled_) {
      gs.fillStyle = fillStyle_;
      gs.glyphFill = 0;
    }
    if (doubled_) {
      gs.screenLineWidth = screenWidth_;
      gs.hardcopyLineWidth = hardcopyWidth_;
      SendLineWidth();
    }
  }

 private:
  static void SendLineWidth() {
    ScreenDriverCall(DriverOperation::LineWidth);
    HardcopyDriverCall(DriverOperation::LineWidth);
  }
  void Load(std::span<const StrokePoint> points) {
    xs_.resize(points.size());
    ys_.resize(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
      xs_[i] = static_cast<float>(points[i].x);
      ys_[i] = static_cast<float>(points[i].y);
    }
  }

  bool filled_ = false, doubled_ = false;
  int fillStyle_ = kFillOutline;
  int screenWidth_ = 1, hardcopyWidth_ = 5;
  std::vector<float> xs_, ys_;
};

}  // namespace

void StrokeFontStandard() {
  StrokeFontStandard(Gs().fonts);
}
void StrokeFontFixed() {
  StrokeFontFixed(Gs().fonts);
}
void StrokeFontFixedBold() {
  StrokeFontFixedBold(Gs().fonts);
}
void StrokeFontRoman() {
  StrokeFontRoman(Gs().fonts);
}
void StrokeFontRomanBold() {
  StrokeFontRomanBold(Gs().fonts);
}
void StrokeFontSwiss() {
  StrokeFontSwiss(Gs().fonts);
}
void StrokeFontSwissBold() {
  StrokeFontSwissBold(Gs().fonts);
}
void StrokeFontSymbol() {
  StrokeFontSymbol(Gs().fonts);
}
void StrokeFamilyFixed() {
  StrokeFamilyFixed(Gs().fonts, Gs().text.styleBits);
}
void StrokeFamilyRoman() {
  StrokeFamilyRoman(Gs().fonts, Gs().text.styleBits);
}
void StrokeFamilySwiss() {
  StrokeFamilySwiss(Gs().fonts, Gs().text.styleBits);
}
void StrokeFontSaveRestore(bool SAVE) {
  StrokeFontSaveRestore(Gs().fonts, Gs().text.strokeFamily, SAVE);
}

void StrokeTextDraw(float X, float Y, std::string_view TEXT, int N, float W, float H) {
  GraphicsState& gs = Gs();
  const TextAttributes& t = gs.text;
  StrokeTextAttributes a;
  a.spacingMode = t.spacingMode;
  a.styleBits = t.styleBits;
  a.slant = t.slant;
  a.vertical = t.vertical;
  a.cosA = t.cosA;
  a.qSinA = t.qSinA;
  a.sinAOverQ = t.sinAOverQ;
  a.charWidths = t.charWidths;
  GraphicsStrokeSink sink;
  StrokeTextDraw(gs.fonts, a, sink, X, Y, TEXT, N, W, H);
}

}  // namespace tk
