#include "link/frame_codec.h"

int BuildFrame(const FrameBody* body, int n, unsigned char* frame, int* frameLength) {
    if (frameLength)
        *frameLength = 0;
    // A count below 2 leaves no room for the Checksum; above 344 the frame would be too long.
    if (!body || !frame || n < 2 || n > MAX_FRAME_LENGTH - 6)
        return 0;
    static const unsigned char lead[6] = {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 6; ++i)
        frame[i] = lead[i];
    unsigned sum = 0;
    for (int i = 0; i < n - 2; ++i) {
        frame[6 + i] = body[i];
        sum += body[i];
    }
    frame[n + 4] = static_cast<unsigned char>((sum >> 8) & 0xFF);
    frame[n + 5] = static_cast<unsigned char>(sum & 0xFF);
    if (frameLength)
        *frameLength = n + 6;
    return 1;
}

int ParseFrame(const unsigned char* frame, int frameLength, FrameBody* body, int* bodyLength) {
    if (bodyLength)
        *bodyLength = 0;
    unsigned count = static_cast<unsigned>(frameLength);
    // Below 10 bytes there is no whole frame: refuse before reading anything past the input.
    if (!frame || !body || count > MAX_FRAME_LENGTH || count < 10)
        return 0;
    if (frame[0] != 0xEF || frame[1] != 0x01)
        return 0;
    unsigned sum = 0;
    for (unsigned i = 0; i < count - 8; ++i) {
        body[i] = frame[6 + i];
        sum += frame[6 + i];
    }
    unsigned checksum = frame[count - 2] * 256u + frame[count - 1];
    if (checksum != (sum & 0xFFFFu))
        return 0;
    if (bodyLength)
        *bodyLength = static_cast<int>(count - 8);
    return 1;
}
