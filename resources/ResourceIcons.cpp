// Icons from their text rows and the palette, and toolbar bitmaps from their
// buttons' icons.
#include "resources/ResourceFormat_p.h"

#include <algorithm>

namespace res::detail {

bool FailAt(ResourceError& error, const SourcePlace& place, const std::string& message) {
  error.file = place.file;
  error.line = place.line;
  error.message = message;
  return false;
}

bool MakeIcons(ResourceSet& set, ResourceError& error) {
  for (const ResourceSet::IconRows& rows : set.pendingIcons) {
    for (const Icon& other : set.icons) {
      if (other.name == rows.name) {
        return FailAt(
            error, rows.place,
            "icon \"" + rows.name + "\" defined twice (first at " + PlaceText(other.place) + ")");
      }
    }
    if (rows.rows.empty()) return FailAt(error, rows.place, "icon \"" + rows.name + "\" is empty");
    Icon icon{rows.name, {}, rows.place};
    icon.image.width = static_cast<int>(rows.rows[0].size());
    icon.image.height = static_cast<int>(rows.rows.size());
    for (std::size_t y = 0; y < rows.rows.size(); ++y) {
      for (char c : rows.rows[y]) {
        auto colour = std::find_if(set.palette.begin(), set.palette.end(),
                                   [c](const ResourceSet::PaletteEntry& e) { return e.key == c; });
        if (colour == set.palette.end()) {
          return FailAt(error, {rows.place.file, rows.rowLines[y]},
                        std::string("icon \"") + rows.name + "\": colour key \"" + c +
                            "\" is not in the palette");
        }
        icon.image.pixels.push_back(colour->rgb);
      }
    }
    set.icons.push_back(std::move(icon));
  }
  set.pendingIcons.clear();
  return true;
}

bool MakeToolbarBitmaps(ResourceSet& set, ResourceError& error) {
  for (Toolbar& bar : set.toolbars) {
    std::vector<const Icon*> images;
    for (const ToolbarButton& b : bar.buttons) {
      if (b.commandId == 0) continue;
      const Icon* icon = set.FindIcon(b.icon);
      if (!icon) return FailAt(error, b.place, "no icon \"" + b.icon + "\"");
      if (icon->image.width != bar.imageWidth || icon->image.height != bar.imageHeight) {
        return FailAt(error, b.place,
                      "icon \"" + b.icon + "\" is " + std::to_string(icon->image.width) + " x " +
                          std::to_string(icon->image.height) + ", toolbar " +
                          std::to_string(bar.id) + " needs " + std::to_string(bar.imageWidth) +
                          " x " + std::to_string(bar.imageHeight));
      }
      images.push_back(icon);
    }
    Bitmap& bmp = bar.bitmap;
    bmp.width = bar.imageWidth * static_cast<int>(images.size());
    bmp.height = bar.imageHeight;
    bmp.pixels.assign(static_cast<std::size_t>(bmp.width) * bmp.height, kButtonFace);
    for (std::size_t i = 0; i < images.size(); ++i) {
      for (int y = 0; y < bar.imageHeight; ++y) {
        for (int x = 0; x < bar.imageWidth; ++x) {
          bmp.pixels[static_cast<std::size_t>(y) * bmp.width + i * bar.imageWidth + x] =
              images[i]->image.At(x, y);
        }
      }
    }
  }
  return true;
}

}  // namespace res::detail
