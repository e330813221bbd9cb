#pragma once
// The system printer driver's drawing, shared with the metafile driver:
// the same operations aimed at a metafile's recording context, with the
// metafile's own state and its rules where a metafile differs from a page.
#include "platform/draw/DrawContext.h"
#include "toolkit/graphics/Drivers.h"

namespace tk::gdi {

/// Which driver's drawing state the operations below use.
void UsePrinterDrawing();
void UseMetafileDrawing();

/// Starts drawing into TARGET (a Windows metafile, or an enhanced one):
/// no clip, no font, pen cache invalid, foreground white, dashes rescaled to
/// REFERENCE_RESOLUTION; an enhanced metafile's widths are option 9 times
/// PIXELS_PER_720. Selects the metafile state.
void MetafileDrawingBegin(plat::DrawContext* target, bool enhanced, int referenceResolution,
                          double pixelsPer720);
/// Lifts the clip, deletes the font and forgets the target.
void MetafileDrawingEnd();
/// The metafile's line width in logical units.
int MetafileLineWidth();

/// The drawing operations, colour, line and clip attributes, and text.
void DrawOperations(DriverOperation op);
void AttributeOperations(DriverOperation op);
void TextOperations(DriverOperation op);

}  // namespace tk::gdi
