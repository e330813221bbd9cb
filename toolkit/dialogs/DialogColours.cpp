// The colours a dialog gives its fields when they ask before painting: the
// text and background colours the dialog's extras set for the field.
#include "platform/controls/Controls.h"
#include "platform/window/Window.h"
#include "toolkit/dialogs/DialogManager_p.h"

namespace tk {

namespace {

/// A colour of the extras (red + 256 green + 65536 blue) as a pixel.
plat::Pixel ExtrasColour(std::int32_t c) {
  return plat::Rgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

/// The field of D whose window is exactly H (null when none).
DialogField* DirectField(LoadedDialog& d, plat::Hwnd h) {
  if (h == plat::kNoWindow) return nullptr;
  for (DialogField& f : d.fields)
    if (f.hwnd == h) return &f;
  return nullptr;
}

}  // namespace

bool DialogControlColours(plat::Hwnd dialog, plat::Msg message, plat::ControlColours& colours,
                          plat::Hwnd control) {
  (void)message;
  LoadedDialog* d = FindLoaded(dialog);
  if (d == nullptr) return false;
  // The control itself, or (the edit part of a combo box, say) the window
  // around it or the one around that, when the control is not the dialog's own.
  DialogField* f = DirectField(*d, control);
  if (f == nullptr && plat::GetParent(control) != dialog) {
    const plat::Hwnd parent = plat::GetParent(control);
    f = DirectField(*d, parent);
    if (f == nullptr) f = DirectField(*d, plat::GetParent(parent));
  }
  if (f == nullptr || SameClass(f->className, plat::kTreeViewClass)) return false;
  const std::int32_t text = f->rec.textColour;
  const std::int32_t background = f->rec.backgroundColour;
  if (text == -1 && background == -1) return false;
  const bool button = SameClass(f->className, plat::kButtonClass);
  const bool faced = button || SameClass(f->className, plat::kStaticClass);
  // Buttons and everything else draw their text in the system's text colour.
  colours.text = text != -1 ? ExtrasColour(text) : plat::kColourText;
  colours.background = background != -1 ? ExtrasColour(background)
                       : faced           ? plat::kColourFace
                                         : plat::kColourWindow;
  return true;
}

}  // namespace tk
