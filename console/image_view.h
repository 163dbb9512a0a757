#pragma once
// The image view: the last finger image as a device-independent bitmap of 8-bit palette indexes
// (a header block that is a BITMAPINFOHEADER followed by 256 RGBQUAD entries, and a pixel buffer),
// plus the size of the rectangle that is drawn. One view for the whole process.
//
// The worker presents into it while the UI thread draws from it, and the dialog releases it at its
// end; one lock keeps these apart, and a present or a draw after the release does nothing. If a
// block cannot be allocated the view stays absent, and presents and draws do nothing.
#include <cstddef>
#include <cstdint>

// The same fields, widths and order as the platform's BITMAPINFOHEADER, so that the header block
// is the BITMAPINFO handed to the drawing call.
struct ImageHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;  // negative: rows run top-down
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

// One colour table entry, laid out as RGBQUAD.
struct PaletteEntry {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};

enum { PALETTE_SIZE = 256 };

struct ImageHeaderBlock {
    ImageHeader header;
    PaletteEntry palette[PALETTE_SIZE];
};

enum : size_t {
    IMAGE_HEADER_BLOCK_SIZE = 1064,
    IMAGE_PIXEL_BUFFER_SIZE = 1048576,
};
static_assert(sizeof(ImageHeader) == 40, "the header is a BITMAPINFOHEADER");
static_assert(sizeof(ImageHeaderBlock) == IMAGE_HEADER_BLOCK_SIZE, "header and palette, unpadded");

// The drawn rectangle: 256 x 288 from program start.
extern int32_t shownWidth;
extern int32_t shownHeight;

// Allocates and fills the header block (256 x 256, top-down) and the palette, then allocates the
// pixel buffer and fills it with the white index 255, so that a draw before the first present
// shows white. Does nothing while a view exists.
void CreateImageView();

// Makes the view show RawImage: 256 x 288, top-down.
void PresentImage();

// Frees the pixel buffer, then the header block.
void ReleaseImageView();

// Calls use with the view's blocks and the drawn size while holding the view's lock. Returns 0
// without calling when the view is absent or released.
using ImageViewUse = void (*)(const ImageHeaderBlock* header, const unsigned char* pixels,
                              int32_t width, int32_t height, void* context);
int UseImageView(ImageViewUse use, void* context);

// Tests replace the allocator to reach the failure path; null restores std::malloc.
using ImageBlockAllocator = void* (*)(size_t size);
void SetImageBlockAllocator(ImageBlockAllocator allocate);
