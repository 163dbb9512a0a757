#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "commands/bulk_transfers.h"
#include "console/image_view.h"

namespace {

struct ViewCopy {
    ImageHeaderBlock header;
    std::vector<unsigned char> pixels;
    int32_t width;
    int32_t height;
};

void CopyView(const ImageHeaderBlock* header, const unsigned char* pixels, int32_t width,
              int32_t height, void* context) {
    auto* copy = static_cast<ViewCopy*>(context);
    copy->header = *header;
    copy->pixels.assign(pixels, pixels + IMAGE_PIXEL_BUFFER_SIZE);
    copy->width = width;
    copy->height = height;
}

// The view as a draw would see it; fails the test when the view is absent.
ViewCopy ReadView() {
    ViewCopy copy{};
    EXPECT_EQ(UseImageView(CopyView, &copy), 1);
    return copy;
}

void FillRawImage(unsigned char first) {
    for (int i = 0; i < IMAGE_PIXELS; ++i)
        RawImage[i] = static_cast<unsigned char>(first + i);
}

class ImageViewTest : public ::testing::Test {
  protected:
    void SetUp() override { CreateImageView(); }
    void TearDown() override {
        ReleaseImageView();
        SetImageBlockAllocator(nullptr);
    }
};

}  // namespace

TEST(ImageViewStart, TheDrawnRectangleIs256By288BeforeAnyView) {
    EXPECT_EQ(shownWidth, 256);
    EXPECT_EQ(shownHeight, 288);
    ViewCopy unused{};
    EXPECT_EQ(UseImageView(CopyView, &unused), 0);
}

TEST_F(ImageViewTest, AfterCreateTheHeaderDescribes256By256TopDownWhileTheDrawIs256By288) {
    ViewCopy view = ReadView();
    const ImageHeader& header = view.header.header;
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 256);
    EXPECT_EQ(header.biHeight, -256);
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, 0u);
    EXPECT_EQ(header.biSizeImage, 65536u);
    EXPECT_EQ(header.biXPelsPerMeter, 0);
    EXPECT_EQ(header.biYPelsPerMeter, 0);
    EXPECT_EQ(header.biClrUsed, 0u);
    EXPECT_EQ(header.biClrImportant, 0u);
    EXPECT_EQ(view.width, 256);
    EXPECT_EQ(view.height, 288);
}

TEST_F(ImageViewTest, ThePaletteRunsFromPureRedToWhiteWithRedAlways255) {
    struct Row {
        int index;
        uint8_t blue, green, red;
    };
    const Row rows[] = {{0, 0, 0, 255},       {1, 1, 1, 255},       {16, 16, 16, 255},
                        {240, 240, 240, 255}, {244, 244, 244, 255}, {245, 255, 255, 255},
                        {255, 255, 255, 255}};
    ViewCopy view = ReadView();
    for (const Row& row : rows) {
        const PaletteEntry& entry = view.header.palette[row.index];
        EXPECT_EQ(entry.blue, row.blue) << "entry " << row.index;
        EXPECT_EQ(entry.green, row.green) << "entry " << row.index;
        EXPECT_EQ(entry.red, row.red) << "entry " << row.index;
    }
    for (int index = 0; index < PALETTE_SIZE; ++index) {
        const PaletteEntry& entry = view.header.palette[index];
        int shade = index < 245 ? index : 255;
        EXPECT_EQ(entry.blue, shade) << "entry " << index;
        EXPECT_EQ(entry.green, shade) << "entry " << index;
        EXPECT_EQ(entry.red, 255) << "entry " << index;
        EXPECT_EQ(entry.reserved, 0) << "entry " << index;
    }
}

TEST_F(ImageViewTest, BeforeTheFirstPresentEveryPixelIsWhite) {
    ViewCopy view = ReadView();
    std::vector<unsigned char> white(IMAGE_PIXEL_BUFFER_SIZE, 255);
    EXPECT_TRUE(view.pixels == white);
}

TEST_F(ImageViewTest, PresentShowsRawImageAndBringsTheHeaderTo256By288) {
    FillRawImage(7);
    PresentImage();
    ViewCopy first = ReadView();
    EXPECT_EQ(first.header.header.biWidth, 256);
    EXPECT_EQ(first.header.header.biHeight, -288);
    EXPECT_EQ(first.header.header.biSizeImage, 73728u);
    EXPECT_EQ(first.width, 256);
    EXPECT_EQ(first.height, 288);
    EXPECT_EQ(std::memcmp(first.pixels.data(), RawImage, IMAGE_PIXELS), 0);
    // Only the picture's bytes are written; the rest of the buffer keeps its white.
    EXPECT_EQ(first.pixels[IMAGE_PIXELS], 255);
    EXPECT_EQ(first.pixels[IMAGE_PIXEL_BUFFER_SIZE - 1], 255);

    FillRawImage(100);
    PresentImage();
    ViewCopy second = ReadView();
    EXPECT_EQ(std::memcmp(&second.header, &first.header, sizeof(ImageHeaderBlock)), 0);
    EXPECT_EQ(std::memcmp(second.pixels.data(), RawImage, IMAGE_PIXELS), 0);
    EXPECT_NE(second.pixels[0], first.pixels[0]);
}

TEST_F(ImageViewTest, AfterReleasePresentAndDrawDoNothingAndCreateMakesANewView) {
    ReleaseImageView();
    FillRawImage(1);
    PresentImage();
    ViewCopy unused{};
    EXPECT_EQ(UseImageView(CopyView, &unused), 0);
    ReleaseImageView();  // a second release is harmless

    CreateImageView();
    ViewCopy view = ReadView();
    EXPECT_EQ(view.header.header.biHeight, -256);
    EXPECT_EQ(view.pixels[0], 255);
}

TEST_F(ImageViewTest, ASecondCreateKeepsTheViewAndItsPicture) {
    FillRawImage(3);
    PresentImage();
    CreateImageView();
    ViewCopy view = ReadView();
    EXPECT_EQ(view.header.header.biHeight, -288);
    EXPECT_EQ(view.pixels[0], 3);
}

namespace {

size_t failingSize = 0;
int allocations = 0;

void* FailOneSize(size_t size) {
    ++allocations;
    return size == failingSize ? nullptr : std::malloc(size);
}

}  // namespace

// A block that cannot be allocated leaves the view absent; the other block is not leaked (the
// leak checker would fail the run).
TEST_F(ImageViewTest, ABlockThatCannotBeAllocatedLeavesTheViewAbsent) {
    for (size_t size : {size_t{IMAGE_HEADER_BLOCK_SIZE}, size_t{IMAGE_PIXEL_BUFFER_SIZE}}) {
        ReleaseImageView();
        failingSize = size;
        allocations = 0;
        SetImageBlockAllocator(FailOneSize);
        CreateImageView();
        EXPECT_EQ(allocations, size == IMAGE_HEADER_BLOCK_SIZE ? 1 : 2) << "failing " << size;
        FillRawImage(9);
        PresentImage();
        ViewCopy unused{};
        EXPECT_EQ(UseImageView(CopyView, &unused), 0) << "failing " << size;
        ReleaseImageView();
    }
}

namespace {

// Every pixel of the picture as a draw sees it must come from one present: all equal.
void CheckOnePicture(const ImageHeaderBlock*, const unsigned char* pixels, int32_t width,
                     int32_t height, void* context) {
    auto* torn = static_cast<std::atomic<int>*>(context);
    for (int32_t i = 1; i < width * height; ++i) {
        if (pixels[i] != pixels[0]) {
            ++*torn;
            return;
        }
    }
}

}  // namespace

TEST_F(ImageViewTest, AWorkerPresentingWhileTheUiDrawsAndReleasesNeverTearsOrTouchesFreedMemory) {
    std::memset(RawImage, 0, IMAGE_PIXELS);
    PresentImage();
    std::atomic<bool> stop{false};
    // RawImage is written here only between presents, as the image transfer would.
    std::thread worker([&stop] {
        for (unsigned value = 0; !stop; ++value) {
            std::memset(RawImage, static_cast<int>(value % 241), IMAGE_PIXELS);
            PresentImage();
        }
    });
    std::atomic<int> torn{0};
    int draws = 0;
    for (int i = 0; i < 300; ++i)
        draws += UseImageView(CheckOnePicture, &torn);
    ReleaseImageView();
    for (int i = 0; i < 50; ++i)
        draws += UseImageView(CheckOnePicture, &torn);
    stop = true;
    worker.join();
    EXPECT_EQ(draws, 300);
    EXPECT_EQ(torn, 0);
}
