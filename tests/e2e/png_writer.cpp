#include "tests/e2e/png_writer.h"

#include <cstdio>

namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + typeAt, out.size() - typeAt));
}

// A zlib stream of stored blocks, at most 65,535 bytes each.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t count = raw.size() - at < 65535 ? raw.size() - at : 65535;
        bool last = at + count == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<uint8_t>(count & 0xFF));
        out.push_back(static_cast<uint8_t>(count >> 8));
        out.push_back(static_cast<uint8_t>(~count & 0xFF));
        out.push_back(static_cast<uint8_t>((~count >> 8) & 0xFF));
        out.insert(out.end(), raw.begin() + static_cast<long>(at),
                   raw.begin() + static_cast<long>(at + count));
        at += count;
    } while (at < raw.size());
    PutBigEndian(out, Adler32(raw.data(), raw.size()));
    return out;
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

uint32_t Adler32(const uint8_t* bytes, size_t count) {
    uint32_t a = 1, b = 0;
    for (size_t i = 0; i < count; ++i) {
        a = (a + bytes[i]) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        return false;
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(height) * (width * 3 + 1));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        const uint8_t* row = rgb.data() + static_cast<size_t>(y) * width * 3;
        raw.insert(raw.end(), row, row + width * 3);
    }
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.push_back(8);  // bits per sample
    header.push_back(2);  // colour type: RGB
    header.push_back(0);  // compression: deflate
    header.push_back(0);  // filter method
    header.push_back(0);  // no interlace

    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", StoredZlib(raw));
    PutChunk(file, "IEND", {});

    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return false;
    bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}
