#pragma once
// Device text of the screen driver: operations 18 (forgets the font), 21 and
// 33 (make or keep the screen font, realise columns and rows), 22 (draw a run)
// and 25 (measure), with the platform's fonts.
#include <memory>

#include "platform/draw/Canvas.h"
#include "platform/text/Font.h"
#include "toolkit/graphics/Drivers.h"

namespace tk {

/// Carries out a text operation on CANVAS (null when there is no surface).
void ScreenTextOperation(DriverOperation op, plat::Canvas* canvas);

/// The screen font last made and its key (for tests and diagnostics).
struct ScreenFontInfo {
  std::shared_ptr<const plat::Font> font;
  int cellWidth = -1;
  int cellHeight = -1;
  int angle = -1;
  int alphabetWidth = 0;
  int height = 0;  // unrotated metrics
  int ascent = 0;
  int fontsMade = 0;  // fonts made since start-up
};
ScreenFontInfo ScreenFontCurrent();

}  // namespace tk
