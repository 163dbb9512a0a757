#include "sim/frame_record.h"

namespace sim {

FrameRecord::~FrameRecord() {
    if (file_)
        std::fclose(file_);
}

bool FrameRecord::appendTo(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file)
        return false;
    if (file_)
        std::fclose(file_);
    file_ = file;
    return true;
}

void FrameRecord::add(const Bytes& frame) {
    frames_.push_back(frame);
    if (!file_)
        return;
    std::fprintf(file_, "%s\n", HexLine(frame).c_str());
    std::fflush(file_);
}

}  // namespace sim
