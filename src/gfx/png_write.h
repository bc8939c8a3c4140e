#pragma once
// Screenshots: the script runner's `shot` and the tests save a surface as a
// plain 8-bit RGB PNG.
#include <cstdint>
#include <string>
#include <vector>

#include "gfx/surface.h"

// The complete PNG file of the surface.
std::vector<uint8_t> EncodePng(const TSurface& s);
// Writes it to Path; false when the file cannot be written.
bool WritePng(const std::string& path, const TSurface& s);
