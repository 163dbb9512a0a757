#pragma once
// Bodies and frames as byte vectors: the simulated module builds every frame it sends with the
// link's own codec, so both ends agree on the layout and the checksum by construction.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

using Bytes = std::vector<uint8_t>;

// A FrameBody: packet id, Length (contents + 2, big-endian), contents.
Bytes BodyOf(uint8_t packetId, const uint8_t* contents, size_t count);
Bytes BodyOf(uint8_t packetId, const Bytes& contents);

// The complete frame of a body; empty when the body would not fit into one frame.
Bytes FrameOfBody(const Bytes& body);

// The body's packet id and contents; a body shorter than its header reads as empty.
uint8_t PacketIdOf(const Bytes& body);
Bytes ContentsOf(const Bytes& body);

// Uppercase hex bytes separated by single spaces, as in "EF 01 FF".
std::string HexLine(const Bytes& bytes);

}  // namespace sim
