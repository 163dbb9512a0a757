#include "sim/finger_image.h"

#include <cmath>

#include "sim/templates.h"

namespace sim {
namespace {

// The 4-bit shade of one pixel: dark ridges on light paper inside an oval fingertip, white outside.
uint8_t Shade(uint64_t shape, double x, double y) {
    const double pi = 3.14159265358979323846;
    // The core of the pattern, the ridge period and the way the ridges turn vary with the finger.
    double coreX = 96.0 + static_cast<double>(shape % 64);
    double coreY = 112.0 + static_cast<double>((shape >> 8) % 64);
    double period = 7.0 + static_cast<double>((shape >> 16) % 5);
    double turn = static_cast<double>((shape >> 24) % 3) - 1.0;  // whorl, loop or arch
    double tilt = static_cast<double>((shape >> 32) % 628) / 100.0;

    double ovalX = (x - 128.0) / 118.0;
    double ovalY = (y - 144.0) / 138.0;
    if (ovalX * ovalX + ovalY * ovalY > 1.0)
        return 15;

    double dx = x - coreX;
    double dy = (y - coreY) * 1.15;
    double radius = std::sqrt(dx * dx + dy * dy);
    double angle = std::atan2(dy, dx);
    double phase = 2.0 * pi * radius / period + turn * angle + 0.8 * std::sin(angle * 2.0 + tilt);
    double ridge = 0.5 + 0.5 * std::cos(phase);  // 1 on a ridge, 0 between ridges
    int shade = static_cast<int>(std::lround(2.0 + 11.0 * (1.0 - ridge)));
    return static_cast<uint8_t>(shade < 0 ? 0 : (shade > 15 ? 15 : shade));
}

}  // namespace

Bytes PackedFingerImage(uint32_t finger) {
    Bytes packed(kPackedImageSize);
    uint64_t shape = MixBits(0x1D6E00000000ull ^ finger);
    for (size_t y = 0; y < kImageHeight; ++y) {
        for (size_t x = 0; x < kImageWidth; x += 2) {
            uint8_t left = Shade(shape, static_cast<double>(x), static_cast<double>(y));
            uint8_t right = Shade(shape, static_cast<double>(x + 1), static_cast<double>(y));
            packed[(y * kImageWidth + x) / 2] = static_cast<uint8_t>(left << 4 | right);
        }
    }
    return packed;
}

uint8_t PackedPixel(const Bytes& packed, size_t x, size_t y) {
    uint8_t pair = packed[(y * kImageWidth + x) / 2];
    return x % 2 == 0 ? static_cast<uint8_t>(pair >> 4) : static_cast<uint8_t>(pair & 0x0F);
}

}  // namespace sim
