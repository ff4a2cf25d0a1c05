#pragma once
// The update database stores product icons as icon files (.ico) written in
// hexadecimal. This reads them without the system's help, into the list's
// 32 × 32 bitmaps.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/Bitmap.h"

namespace nudgelet::detection {

// Two hexadecimal digits a byte; nullopt on an odd length or any other character.
std::optional<std::vector<std::uint8_t>> DecodeHexText(const std::wstring& text);

// Picks the entry closest to the wanted size (deeper colour first among equals)
// and returns it as a bitmap of exactly size × size. Handles BMP entries of 1, 4,
// 8, 24 and 32 bits with their transparency mask, and PNG entries. nullopt for
// anything malformed; never reads outside the data.
std::optional<Bitmap> DecodeIconFile(const std::uint8_t* data, std::size_t size, int wanted = 32);

// Box-filter shrinking and nearest-pixel enlarging of premultiplied pixels.
Bitmap ResizeBitmap(const Bitmap& source, int width, int height);

}  // namespace nudgelet::detection
