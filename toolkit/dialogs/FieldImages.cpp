#include "toolkit/dialogs/FieldImages.h"

#include <memory>
#include <string>
#include <vector>

#include "platform/controls/Controls.h"
#include "resources/ResourceFormat.h"
#include "platform/window/Window.h"
#include "toolkit/core/Menus.h"
#include "toolkit/dialogs/DialogLists.h"
#include "toolkit/dialogs/DialogManager_p.h"
#include "toolkit/graphics/BitmapStore.h"
#include "toolkit/graphics/GraphicsState.h"
#include "toolkit/graphics/ScreenDriver.h"

namespace tk {

namespace {

// A copy of memory bitmap slot NUMBER (1-20), or null.
std::shared_ptr<plat::Surface> MemoryBitmapCopy(int number) {
  int w = 0, h = 0;
  BitmapSize(number - 1, w, h);
  if (w <= 0 || h <= 0) return nullptr;
  std::vector<std::int32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
  int status = 0;
  BitmapGetPixels(number - 1, px, 0, 0, w - 1, h - 1, status);
  if (status != 0) return nullptr;
  auto image = std::make_shared<plat::Surface>(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image->Set(x, y, RgbToPixel(px[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)]));
  return image;
}

constexpr std::string_view kProgramIconName = "velloran";

// The program's icon NAME as a surface, or null.
std::shared_ptr<plat::Surface> ProgramIcon(std::string_view name) {
  const res::Icon* icon = res::ProgramResources().FindIcon(name);
  if (icon == nullptr || icon->image.width <= 0 || icon->image.height <= 0) return nullptr;
  const res::Bitmap& b = icon->image;
  auto image = std::make_shared<plat::Surface>(b.width, b.height);
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const std::uint32_t rgb = b.At(x, y);
      image->Set(x, y, plat::Rgb(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                                 static_cast<int>(rgb & 0xFF)));
    }
  return image;
}

}  // namespace

void ShowTemplateIcons(LoadedDialog& d) {
  for (const DialogField& f : d.fields) {
    if (!SameClass(f.className, plat::kStaticClass)) continue;
    if ((plat::GetStyle(f.hwnd) & plat::kSsTypeMask) != plat::kSsIcon) continue;
    if (auto image = ProgramIcon(plat::GetWindowText(f.hwnd))) plat::StaticSetImage(f.hwnd, std::move(image));
  }
}

void BlendBitmapToButtonFace(plat::Surface& image) {
  if (image.Width() <= 0 || image.Height() <= 0) return;
  const plat::Pixel background = image.Get(0, 0);
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      if (image.Get(x, y) == background) image.Set(x, y, plat::kColourFace);
}

int FieldImage(int field, int kind, int number) {
  LoadedDialog* d = CurrentDialog();
  DialogField* f = d ? FindField(*d, field) : nullptr;
  if (f == nullptr) return kOpMissing;
  const FieldType type = FieldTypeOf(*f);
  const bool button = type == kFieldPushButton;
  const bool picture = type == kFieldStaticText || type == kFieldOtherStatic;
  if (!button && !picture) return kOpMissing;
  std::shared_ptr<plat::Surface> image;
  // Icon 0 is the program's own; others are named by their number.
  if (kind == kFieldImageIcon) image = ProgramIcon(number == 0 ? kProgramIconName : std::to_string(number));
  if (kind == kFieldImageMemoryBitmap) image = MemoryBitmapCopy(number);
  if (kind == kFieldImageBitmap) image = LoadBitmapResource(number);
  if (kind == kFieldImageMetafile && Targets().metafileImage) image = Targets().metafileImage(number);
  if (!image) return kOpNotFound;
  const unsigned style = plat::GetStyle(f->hwnd);
  if (button) {
    if (kind != kFieldImageIcon) BlendBitmapToButtonFace(*image);  // icons are shown plainly
    plat::ButtonSetStyle(f->hwnd, style | plat::kBsBitmap);
    plat::ButtonSetImage(f->hwnd, std::move(image));
  } else {
    plat::SetStyle(f->hwnd, (style & ~plat::kSsTypeMask) | plat::kSsBitmap);
    plat::StaticSetImage(f->hwnd, std::move(image));
  }
  return 0;
}

}  // namespace tk
