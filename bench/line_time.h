#pragma once
// What the serial line itself needs for a transfer: each byte takes 11 bit times (a start bit,
// 8 data bits and two stop bits), so no host can move a frame faster than this.

namespace bench {

// Every frame carries 11 bytes besides its Contents: Header 2, Address 4, packet id 1, Length 2,
// Checksum 2.
enum { FRAME_OVERHEAD = 11 };
// Data bytes per frame in the module's streams (the simulated module's default).
enum { STREAM_CHUNK = 128 };

constexpr long FrameBytes(long contents) {
    return contents + FRAME_OVERHEAD;
}

// The frames that carry `data` bytes in STREAM_CHUNK-byte frames.
constexpr long StreamBytes(long data) {
    return (data / STREAM_CHUNK) * FrameBytes(STREAM_CHUNK) +
           (data % STREAM_CHUNK ? FrameBytes(data % STREAM_CHUNK) : 0);
}

// A transfer on the line: the command frame, the module's acknowledgement (one code byte), and
// the data frames in either direction.
constexpr long TransferBytes(long commandContents, long data) {
    return FrameBytes(commandContents) + FrameBytes(1) + StreamBytes(data);
}

// ReadImage: command 0A; ReadFeatures and WriteFeatures: command 08 or 09 and a buffer number.
constexpr long READ_IMAGE_LINE_BYTES = TransferBytes(1, 36864);
constexpr long TEMPLATE_TRANSFER_LINE_BYTES = TransferBytes(2, 512);

inline double LineSeconds(long bytes, int baud) {
    return static_cast<double>(bytes) * 11.0 / baud;
}

}  // namespace bench
