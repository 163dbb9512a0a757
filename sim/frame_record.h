#pragma once
// The record of every verified frame the module received, exact bytes, in order; optionally also
// appended to a file, one line of uppercase hex bytes per frame, flushed at once.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/frame_bytes.h"

namespace sim {

class FrameRecord {
  public:
    FrameRecord() = default;
    ~FrameRecord();
    FrameRecord(const FrameRecord&) = delete;
    FrameRecord& operator=(const FrameRecord&) = delete;

    // Appends to this file from now on; false when it cannot be opened.
    bool appendTo(const std::string& path);
    void add(const Bytes& frame);
    const std::vector<Bytes>& frames() const { return frames_; }
    void clear() { frames_.clear(); }

  private:
    std::vector<Bytes> frames_;
    std::FILE* file_ = nullptr;
};

}  // namespace sim
