#include "sim/frame_bytes.h"

#include <cstdio>

#include "link/frame_codec.h"

namespace sim {

Bytes BodyOf(uint8_t packetId, const uint8_t* contents, size_t count) {
    Bytes body(count + BODY_HEADER_LENGTH);
    body[0] = packetId;
    body[1] = static_cast<uint8_t>(((count + 2) >> 8) & 0xFF);
    body[2] = static_cast<uint8_t>((count + 2) & 0xFF);
    for (size_t i = 0; i < count; ++i)
        body[BODY_HEADER_LENGTH + i] = contents[i];
    return body;
}

Bytes BodyOf(uint8_t packetId, const Bytes& contents) {
    return BodyOf(packetId, contents.data(), contents.size());
}

Bytes FrameOfBody(const Bytes& body) {
    unsigned char frame[MAX_FRAME_LENGTH];
    int length = 0;
    if (body.size() < BODY_HEADER_LENGTH)
        return {};
    if (!BuildFrame(body.data(), static_cast<int>(body.size()) + 2, frame, &length))
        return {};
    return Bytes(frame, frame + length);
}

uint8_t PacketIdOf(const Bytes& body) {
    return body.empty() ? 0 : body[0];
}

Bytes ContentsOf(const Bytes& body) {
    if (body.size() <= BODY_HEADER_LENGTH)
        return {};
    return Bytes(body.begin() + BODY_HEADER_LENGTH, body.end());
}

std::string HexLine(const Bytes& bytes) {
    std::string line;
    char hex[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", bytes[i]);
        line += hex;
    }
    return line;
}

}  // namespace sim
