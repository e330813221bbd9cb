#pragma once
// Printing the screen image: the screen driver's end of page prints the
// drawable's clip rectangle as one page on the system printer.
namespace plat {
class Canvas;
}

namespace tk {

/// The screen driver's operation 20 on CANVAS (the drawable; null: nothing
/// to copy, reported as a failed transfer).
void PrintScreenImage(plat::Canvas* canvas);

}  // namespace tk
