#pragma once
// Field images: a picture shown on a push button or a static field of the
// current dialog, from a memory bitmap; the blending of a bitmap's
// background into the button face.
#include "platform/draw/Surface.h"

namespace tk {

/// Kinds of field image.
enum FieldImageKind : int {
  kFieldImageBitmap = 1,        // bitmap resource
  kFieldImageIcon = 2,          // icon
  kFieldImageMemoryBitmap = 3,  // copy of memory bitmap slot n (1-20)
  kFieldImageMetafile = 4,      // copy of metafile slot n
};

/// Shows image NUMBER of KIND on FIELD of the current dialog: a push button
/// (its background first blended into the button face) or a static field.
/// 0 done; -1 no such field, or not a push button or static; -2 no such image.
int FieldImage(int field, int kind, int number);

struct LoadedDialog;

/// Puts into every SS_ICON static of freshly loaded dialog D the picture of
/// the program's icon its template text names; a name without an icon
/// leaves the field empty.
void ShowTemplateIcons(LoadedDialog& d);

/// Repaints every pixel of IMAGE that has the colour of its top-left pixel
/// in the button-face colour.
void BlendBitmapToButtonFace(plat::Surface& image);

}  // namespace tk
