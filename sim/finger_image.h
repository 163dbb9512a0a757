#pragma once
// The module's finger images: synthetic ridge patterns of 256 x 288 pixels that depend on the
// finger, 4 bits per pixel, two pixels to a byte with the left one in the high nibble, rows from
// the top: 36,864 bytes, as the module sends them.
#include <cstdint>

#include "sim/frame_bytes.h"

namespace sim {

enum : size_t { kImageWidth = 256, kImageHeight = 288 };
enum : size_t { kImagePixels = kImageWidth * kImageHeight, kPackedImageSize = kImagePixels / 2 };

// The packed image of finger `finger` (1 and up).
Bytes PackedFingerImage(uint32_t finger);

// The 4-bit pixel at (x, y) of a packed image.
uint8_t PackedPixel(const Bytes& packed, size_t x, size_t y);

}  // namespace sim
