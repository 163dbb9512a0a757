#pragma once
// Transfers that move more than one frame holds: feature data in both directions and the finger
// image from the module. Each opens with a command transaction; data frames follow only when the
// module acknowledges it with code 0.
#include <atomic>

#include "commands/command_status.h"

enum { TEMPLATE_SIZE = 512 };
enum { IMAGE_WIDTH = 256, IMAGE_HEIGHT = 288, IMAGE_PIXELS = IMAGE_WIDTH * IMAGE_HEIGHT };
enum { PACKED_IMAGE_SIZE = IMAGE_PIXELS / 2 };

// A host-side template: 512 bytes and a length in bytes (0 = empty).
struct TemplateStore {
    unsigned char bytes[TEMPLATE_SIZE];
    int length;
};
extern TemplateStore enrolledTemplate;  // filled by host enroll
extern TemplateStore capturedTemplate;  // filled by host capture

// The last finger image: 256 x 288 pixels of 8 bits, rows from the top.
extern unsigned char RawImage[IMAGE_PIXELS];
// 0 until the first image transfer reaches its end, then twice the image bytes received. Written
// by the worker, read by the UI thread when it repaints.
extern std::atomic<int> imagePixelCount;
// Data bytes per frame that WriteFeatures sends; the dialog sets it to 128 before every open.
extern int transferChunkSize;

// Reads feature buffer 1 into destination (512 bytes). On reaching the end frame, storedLength
// receives the number of bytes stored.
[[nodiscard]] CommandStatus ReadFeatures(unsigned char* destination, int* storedLength);
// Writes count bytes (1..) into feature buffer 1..3, transferChunkSize bytes per frame.
[[nodiscard]] CommandStatus WriteFeatures(FeatureBuffer buffer, const unsigned char* data,
                                          int count);
// Reads the last captured image, expands it from 4 to 8 bits per pixel into RawImage.
[[nodiscard]] CommandStatus ReadImage();
