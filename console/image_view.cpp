#include "console/image_view.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "commands/bulk_transfers.h"

int32_t shownWidth = IMAGE_WIDTH;
int32_t shownHeight = IMAGE_HEIGHT;

namespace {

enum { CREATED_ROWS = 256, FIRST_WHITE_ENTRY = 245, WHITE_INDEX = 255 };

std::mutex viewLock;
ImageHeaderBlock* headerBlock = nullptr;
unsigned char* pixelBuffer = nullptr;
ImageBlockAllocator allocateBlock = nullptr;

void* AllocateBlock(size_t size) {
    return allocateBlock != nullptr ? allocateBlock(size) : std::malloc(size);
}

void WriteCreatedHeader(ImageHeader* header) {
    header->biSize = sizeof(ImageHeader);
    header->biWidth = IMAGE_WIDTH;
    header->biHeight = -CREATED_ROWS;
    header->biPlanes = 1;
    header->biBitCount = 8;
    header->biCompression = 0;  // BI_RGB
    header->biSizeImage = IMAGE_WIDTH * CREATED_ROWS;
    header->biXPelsPerMeter = 0;
    header->biYPelsPerMeter = 0;
    header->biClrUsed = 0;  // all 256 entries
    header->biClrImportant = 0;
}

// Red is 255 throughout: the picture runs from pure red to white.
void WritePalette(PaletteEntry* palette) {
    for (int index = 0; index < PALETTE_SIZE; ++index) {
        uint8_t shade = index < FIRST_WHITE_ENTRY ? static_cast<uint8_t>(index) : 255;
        palette[index] = PaletteEntry{shade, shade, 255, 0};
    }
}

}  // namespace

void CreateImageView() {
    std::lock_guard<std::mutex> hold(viewLock);
    if (headerBlock != nullptr)
        return;
    auto* header = static_cast<ImageHeaderBlock*>(AllocateBlock(IMAGE_HEADER_BLOCK_SIZE));
    if (header == nullptr)
        return;
    WriteCreatedHeader(&header->header);
    WritePalette(header->palette);
    auto* pixels = static_cast<unsigned char*>(AllocateBlock(IMAGE_PIXEL_BUFFER_SIZE));
    if (pixels == nullptr) {
        std::free(header);
        return;
    }
    std::memset(pixels, WHITE_INDEX, IMAGE_PIXEL_BUFFER_SIZE);
    headerBlock = header;
    pixelBuffer = pixels;
}

void PresentImage() {
    std::lock_guard<std::mutex> hold(viewLock);
    if (headerBlock == nullptr)
        return;
    shownWidth = IMAGE_WIDTH;
    shownHeight = IMAGE_HEIGHT;
    std::memcpy(pixelBuffer, RawImage, sizeof RawImage);
    headerBlock->header.biWidth = IMAGE_WIDTH;
    headerBlock->header.biHeight = -IMAGE_HEIGHT;
    headerBlock->header.biSizeImage = IMAGE_PIXELS;
}

void ReleaseImageView() {
    std::lock_guard<std::mutex> hold(viewLock);
    std::free(pixelBuffer);
    pixelBuffer = nullptr;
    std::free(headerBlock);
    headerBlock = nullptr;
}

int UseImageView(ImageViewUse use, void* context) {
    std::lock_guard<std::mutex> hold(viewLock);
    if (headerBlock == nullptr)
        return 0;
    use(headerBlock, pixelBuffer, shownWidth, shownHeight, context);
    return 1;
}

void SetImageBlockAllocator(ImageBlockAllocator allocate) {
    std::lock_guard<std::mutex> hold(viewLock);
    allocateBlock = allocate;
}
