#pragma once
// The in-memory CGM recorder: while a memory-CGM metafile slot is the
// drawing target, the screen-side operations become binary CGM elements in
// the slot's fixed buffer, with the same encoding as the CGM file driver.
#include <cstdint>
#include <string_view>

#include "toolkit/graphics/Drivers.h"

namespace tk {

/// The recorder's entry, registered as the memory recorder at start.
void XXCGMMEM(DriverOperation& op);

/// Appends N bytes to the buffer of the current drawable's slot; when they
/// do not fit, error 1062 "CGM memory metafile full" under "YYGCGM1" and
/// nothing is stored. The buffer never grows.
void YYGCGM1(std::string_view bytes, int n);

/// Makes SLOT 1-20 a memory CGM of WIDTH x HEIGHT points with a buffer of
/// CAPACITY bytes (the program itself never creates one); false when the
/// slot is out of range or in use.
bool MemoryCgmSlotCreate(int slot, int width, int height, int capacity);

}  // namespace tk
