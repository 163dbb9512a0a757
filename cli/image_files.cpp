#include "cli/image_files.h"

#include <stb/stb_image_write.h>

#include <vector>

#include "cli/cli_files.h"
#include "commands/bulk_transfers.h"

namespace {

void Collect(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    const auto* start = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), start, start + size);
}

}  // namespace

void PackRawImage(unsigned char* packed) {
    for (int i = 0; i < PACKED_IMAGE_SIZE; ++i)
        packed[i] =
            static_cast<unsigned char>((RawImage[2 * i] & 0xF0) | (RawImage[2 * i + 1] >> 4));
}

bool WriteImagePng(const std::string& path, std::string* error) {
    // Encoded in memory first, so that the file is written by the same checked call as the others.
    std::vector<unsigned char> png;
    if (!stbi_write_png_to_func(Collect, &png, IMAGE_WIDTH, IMAGE_HEIGHT, 1, RawImage,
                                IMAGE_WIDTH)) {
        *error = "the PNG cannot be encoded";
        return false;
    }
    return WriteBytesFile(path, png.data(), png.size(), error);
}

bool WritePackedImage(const std::string& path, std::string* error) {
    static unsigned char packed[PACKED_IMAGE_SIZE];
    PackRawImage(packed);
    return WriteBytesFile(path, packed, sizeof packed, error);
}
