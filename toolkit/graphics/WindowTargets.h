#pragma once
// Connects the graphics layer to the toolkit's numbered windows: window
// selection, client sizes, resize notices and the event layer's mapping.

namespace tk {

/// Installs the window hooks of the graphics targets and the graphics side
/// of the window table's link. Called once, before the main window opens.
void GraphicsConnectWindows();

}  // namespace tk
