#pragma once
// The module's frame: Header EF 01, Address FF FF FF FF, packet id, Length (Contents + 2,
// big-endian), Contents, Checksum (low 16 bits of the byte sum from the packet id through the
// Contents). A FrameBody is the frame without Header, Address and Checksum: packet id, Length,
// Contents.

enum { MAX_FRAME_LENGTH = 350 };
// Largest FrameBody: a frame of MAX_FRAME_LENGTH bytes less Header, Address and Checksum.
enum { MAX_BODY_LENGTH = MAX_FRAME_LENGTH - 8 };
// Bytes before the Contents in a frame, and before them in a body.
enum { FRAME_HEADER_LENGTH = 9, BODY_HEADER_LENGTH = 3 };

namespace PacketId {
enum : unsigned char { Command = 1, Data = 2, Ack = 7, EndData = 8 };
}

// A frame as it goes on the wire.
struct ModuleFrame {
    unsigned char bytes[MAX_FRAME_LENGTH];
    int length;
};

// Body bytes are plain unsigned bytes; the Length field inside them is the only record of size.
using FrameBody = unsigned char;

// Reads the big-endian Length field of a body.
inline int BodyLengthField(const FrameBody* body) {
    return body[1] * 256 + body[2];
}

// Starts a body: its packet id and the Length field for contentsLength bytes of Contents.
inline void PutBodyHeader(FrameBody* body, unsigned char packetId, int contentsLength) {
    body[0] = packetId;
    body[1] = static_cast<unsigned char>(((contentsLength + 2) >> 8) & 0xFF);
    body[2] = static_cast<unsigned char>((contentsLength + 2) & 0xFF);
}

// Wraps a body into a frame. n is Length + 3 (packet id through Checksum). Returns 1 and sets
// frameLength to n + 6, or 0 with frameLength 0 when a buffer is missing or the frame would exceed
// MAX_FRAME_LENGTH.
[[nodiscard]] int BuildFrame(const FrameBody* body, int n, unsigned char* frame, int* frameLength);

// Verifies a received frame of frameLength bytes and copies its body out (frameLength - 8 bytes).
// Returns 1 with bodyLength set, or 0 with bodyLength 0.
[[nodiscard]] int ParseFrame(const unsigned char* frame, int frameLength, FrameBody* body,
                             int* bodyLength);
