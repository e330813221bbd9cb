#pragma once
// Printing the text of an editor: the page set-up kept for the whole
// process, the area of each page inside the margins, and the pages the text
// control fills one after the other on the system printer.
#include "platform/dialog/PageSetupDialog.h"
#include "platform/draw/DrawContext.h"
#include "toolkit/editor/EditorRecord.h"

namespace tk {

/// Prints the current document, or with SELECTION_ONLY the selected text,
/// after the page set-up dialog; 1 printed, 0 cancelled or failed (the user
/// has been told).
int EditorPrint(EditorRecord& rec, bool selectionOnly);

/// The page set-up that printing keeps between calls (margins in the
/// dialog's unit); the first print fills it from the default printer.
struct EditorPageSetup {
  bool fetched = false;
  plat::PageSetupValues values;
};
EditorPageSetup& EditorKeptPageSetup();

/// Tests draw the pages through CONTEXT instead of the printer's pages
/// (null: the pages). The job still gets its pages, blank.
void EditorPrintDrawStandIn(plat::DrawContext* context);

}  // namespace tk
