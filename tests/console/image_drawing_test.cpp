// The view drawn through the platform under wine, into a memory bitmap: one 1:1 copy of 256 x 288
// pixels at (100, 100) in the palette's red-to-white shades.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "commands/bulk_transfers.h"
#include "console/image_drawing.h"
#include "console/image_view.h"

namespace {

enum { CANVAS = 420 };
const COLORREF MARKER = RGB(0, 0, 200);

class ImageDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        BITMAPINFO info;
        ZeroMemory(&info, sizeof info);
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = CANVAS;
        info.bmiHeader.biHeight = -CANVAS;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        dc = CreateCompatibleDC(NULL);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        ASSERT_NE(dc, nullptr);
        ASSERT_NE(bitmap, nullptr);
        previous = SelectObject(dc, bitmap);
        CreateImageView();
        Clear();
    }
    void TearDown() override {
        ReleaseImageView();
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    void Clear() {
        HBRUSH brush = CreateSolidBrush(MARKER);
        RECT all = {0, 0, CANVAS, CANVAS};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) {
        GdiFlush();
        return GetPixel(dc, x, y);
    }

    HDC dc = NULL;
    HBITMAP bitmap = NULL;
    HGDIOBJ previous = NULL;
};

}  // namespace

TEST_F(ImageDrawingTest, BeforeAnyPresentTheDrawIsWhite) {
    DrawImage(dc);
    EXPECT_EQ(At(100, 100), RGB(255, 255, 255));
    EXPECT_EQ(At(355, 355), RGB(255, 255, 255));
    EXPECT_EQ(At(99, 100), MARKER);
}

TEST_F(ImageDrawingTest, APresentedPictureIsDrawnOneToOneAt100InRedToWhiteShades) {
    // Each row holds one of the values a received image can have: 0, 16, ..., 240.
    for (int y = 0; y < IMAGE_HEIGHT; ++y)
        std::memset(RawImage + y * IMAGE_WIDTH, (y % 16) * 16, IMAGE_WIDTH);
    RawImage[IMAGE_PIXELS - 1] = 250;  // a white palette entry
    PresentImage();
    DrawImage(dc);

    EXPECT_EQ(At(100, 100), RGB(255, 0, 0));
    EXPECT_EQ(At(355, 100), RGB(255, 0, 0));
    EXPECT_EQ(At(100, 101), RGB(255, 16, 16));
    EXPECT_EQ(At(200, 115), RGB(255, 240, 240));
    EXPECT_EQ(At(354, 387), RGB(255, (287 % 16) * 16, (287 % 16) * 16));
    EXPECT_EQ(At(355, 387), RGB(255, 255, 255));
    // Nothing outside the 256 x 288 rectangle.
    EXPECT_EQ(At(99, 100), MARKER);
    EXPECT_EQ(At(100, 99), MARKER);
    EXPECT_EQ(At(356, 200), MARKER);
    EXPECT_EQ(At(200, 388), MARKER);
}

TEST_F(ImageDrawingTest, AfterReleaseADrawLeavesTheDialogAsItWas) {
    PresentImage();
    ReleaseImageView();
    DrawImage(dc);
    EXPECT_EQ(At(100, 100), MARKER);
    EXPECT_EQ(At(300, 300), MARKER);
}
