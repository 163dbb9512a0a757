#pragma once
// The finger image as files: an 8-bit greyscale PNG of 256 x 288 whose pixels are RawImage, and
// the packed 4-bit bytes as the module sent them.
#include <string>

// Rebuilds the 36,864 packed bytes from RawImage: each pixel's high nibble, two pixels to a byte
// with the left one in the high nibble. The expansion kept the nibbles whole, so this is exact.
void PackRawImage(unsigned char* packed);

// Writes RawImage as a PNG. false with a message.
bool WriteImagePng(const std::string& path, std::string* error);
// Writes the packed bytes. false with a message.
bool WritePackedImage(const std::string& path, std::string* error);
