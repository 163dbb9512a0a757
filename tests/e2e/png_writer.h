#pragma once
// Writes an RGB picture as a PNG file with stored (uncompressed) deflate blocks: no dependency,
// and screenshots of a dialog stay small enough.
#include <cstdint>
#include <string>
#include <vector>

// rgb holds width * height * 3 bytes, rows from the top. True when the file was written.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

// The checksums of the format, exposed for their test.
uint32_t Crc32(const uint8_t* bytes, size_t count, uint32_t crc = 0);
uint32_t Adler32(const uint8_t* bytes, size_t count);
