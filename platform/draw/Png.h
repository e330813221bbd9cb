#pragma once
// PNG files of surfaces: written as 8-bit RGB; read back from 8-bit RGB or
// RGBA, non-interlaced files (alpha is dropped).
#include <string>

#include "platform/draw/Surface.h"

namespace plat {

/// Writes SURFACE to PATH. False when the surface is empty or the file cannot be written.
[[nodiscard]] bool SavePng(const Surface& surface, const std::string& path);

/// Reads PATH into OUT, which is replaced only on success. False for a file
/// that cannot be read, is damaged, or is of a kind not read here.
[[nodiscard]] bool LoadPng(const std::string& path, Surface& out);

}  // namespace plat
