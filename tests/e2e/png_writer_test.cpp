// The screenshot writer: its checksums and a file that any PNG reader accepts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/e2e/png_writer.h"

namespace {

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return (uint32_t{bytes[at]} << 24) | (uint32_t{bytes[at + 1]} << 16) |
           (uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Walks the chunks, checks every CRC, and undoes the stored deflate blocks of IDAT.
struct Decoded {
    uint32_t width = 0, height = 0;
    std::vector<uint8_t> raw;
    std::vector<std::string> chunks;
};

Decoded Decode(const std::vector<uint8_t>& file) {
    Decoded decoded;
    EXPECT_GE(file.size(), 8u);
    EXPECT_TRUE(
        std::equal(file.begin(), file.begin() + 8,
                   std::vector<uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}.begin()));
    std::vector<uint8_t> zlib;
    for (size_t at = 8; at + 12 <= file.size();) {
        uint32_t length = BigEndian(file, at);
        std::string type(file.begin() + static_cast<long>(at + 4),
                         file.begin() + static_cast<long>(at + 8));
        decoded.chunks.push_back(type);
        EXPECT_EQ(Crc32(file.data() + at + 4, length + 4), BigEndian(file, at + 8 + length))
            << type;
        if (type == "IHDR") {
            decoded.width = BigEndian(file, at + 8);
            decoded.height = BigEndian(file, at + 12);
        }
        if (type == "IDAT")
            zlib.insert(zlib.end(), file.begin() + static_cast<long>(at + 8),
                        file.begin() + static_cast<long>(at + 8 + length));
        at += 12 + length;
    }
    EXPECT_GE(zlib.size(), 6u);
    EXPECT_EQ((zlib[0] * 256 + zlib[1]) % 31, 0) << "zlib header check";
    size_t at = 2;
    for (bool last = false; !last && at + 5 <= zlib.size();) {
        last = zlib[at] & 1;
        EXPECT_EQ(zlib[at] >> 1, 0) << "stored blocks only";
        size_t count = zlib[at + 1] | (zlib[at + 2] << 8);
        EXPECT_EQ(count, (~(zlib[at + 3] | (zlib[at + 4] << 8))) & 0xFFFFu);
        decoded.raw.insert(decoded.raw.end(), zlib.begin() + static_cast<long>(at + 5),
                           zlib.begin() + static_cast<long>(at + 5 + count));
        at += 5 + count;
    }
    EXPECT_EQ(Adler32(decoded.raw.data(), decoded.raw.size()), BigEndian(zlib, at));
    return decoded;
}

}  // namespace

TEST(PngWriter, ChecksumsMatchTheirKnownValues) {
    const std::string digits = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(digits.data()), digits.size()), 0xCBF43926u);
    const std::string word = "Wikipedia";
    EXPECT_EQ(Adler32(reinterpret_cast<const uint8_t*>(word.data()), word.size()), 0x11E60398u);
}

// 300 x 100 pixels make more raw bytes than one stored block holds.
TEST(PngWriter, APictureLargerThanOneStoredBlockComesBackPixelForPixel) {
    const int width = 300, height = 100;
    std::vector<uint8_t> rgb(width * height * 3);
    for (size_t i = 0; i < rgb.size(); ++i)
        rgb[i] = static_cast<uint8_t>(i * 7 + i / 900);
    std::string path = testing::TempDir() + "png_writer_test.png";
    ASSERT_TRUE(WritePng(path, width, height, rgb));
    Decoded decoded = Decode(ReadFile(path));
    std::remove(path.c_str());
    EXPECT_EQ(decoded.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    EXPECT_EQ(decoded.width, 300u);
    EXPECT_EQ(decoded.height, 100u);
    ASSERT_EQ(decoded.raw.size(), static_cast<size_t>(height * (width * 3 + 1)));
    for (int y = 0; y < height; ++y) {
        size_t row = static_cast<size_t>(y) * (width * 3 + 1);
        EXPECT_EQ(decoded.raw[row], 0) << "filter byte of row " << y;
        ASSERT_TRUE(std::equal(rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3,
                               decoded.raw.begin() + static_cast<long>(row + 1)))
            << "row " << y;
    }
}

TEST(PngWriter, RefusesAPictureWhoseSizeDoesNotMatchItsBytes) {
    std::string path = testing::TempDir() + "png_writer_refused.png";
    EXPECT_FALSE(WritePng(path, 2, 2, std::vector<uint8_t>(11)));
    EXPECT_FALSE(WritePng(path, 0, 2, {}));
}
