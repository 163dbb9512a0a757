#include "console/image_drawing.h"

#include <cstddef>

#include "console/image_view.h"

static_assert(sizeof(BITMAPINFOHEADER) == sizeof(ImageHeader), "same header layout");
static_assert(offsetof(BITMAPINFOHEADER, biSizeImage) == offsetof(ImageHeader, biSizeImage),
              "same header layout");
static_assert(offsetof(BITMAPINFOHEADER, biClrImportant) == offsetof(ImageHeader, biClrImportant),
              "same header layout");
static_assert(sizeof(RGBQUAD) == sizeof(PaletteEntry), "same palette entry layout");
static_assert(offsetof(BITMAPINFO, bmiColors) == offsetof(ImageHeaderBlock, palette),
              "the palette follows the header at once");

namespace {

enum { IMAGE_LEFT = 100, IMAGE_TOP = 100 };

void StretchViewInto(const ImageHeaderBlock* header, const unsigned char* pixels, int32_t width,
                     int32_t height, void* context) {
    // The drawing call's result is not used: a failed draw leaves the dialog as it was.
    StretchDIBits(static_cast<HDC>(context), IMAGE_LEFT, IMAGE_TOP, width, height, 0, 0, width,
                  height, pixels, reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS,
                  SRCCOPY);
}

}  // namespace

void DrawImage(HDC dc) {
    UseImageView(StretchViewInto, dc);
}
