#pragma once
// Finds the host's frames in the bytes that arrive. Like the host it hunts for the Header EF 01,
// cuts a frame at Length + 9 bytes and keeps it only when its checksum verifies. Unlike the host
// it never commits to a false Header: an impossible Length or a failed checksum drops just the EF
// and the hunt goes on from the next byte, and a verified frame that arrives while a false Header
// still waits for its announced bytes wins over it.
#include <cstddef>
#include <cstdint>

#include "sim/frame_bytes.h"

namespace sim {

class FrameHunter {
  public:
    void feed(const uint8_t* bytes, size_t count);
    // Takes the next verified frame (exact bytes, Header to Checksum) once it is complete.
    bool next(Bytes* frame);
    // Bytes kept while a frame is incomplete; never more than one frame's worth of them.
    size_t pendingBytes() const { return pending_.size(); }

  private:
    void dropFront(size_t count);
    Bytes pending_;
};

}  // namespace sim
