#include "sim/frame_hunter.h"

#include "link/frame_codec.h"

namespace sim {
namespace {

bool IsHeaderAt(const Bytes& bytes, size_t at) {
    return at + 1 < bytes.size() && bytes[at] == 0xEF && bytes[at + 1] == 0x01;
}

// The whole frame size that the header at `at` announces, or 0 when no frame can have it.
size_t AnnouncedSize(const Bytes& bytes, size_t at) {
    size_t length = bytes[at + 7] * 256u + bytes[at + 8];
    size_t total = length + FRAME_HEADER_LENGTH;
    // Length 0 and 1 leave no room for a Checksum; above MAX_FRAME_LENGTH no frame is valid.
    if (length < 2 || total > MAX_FRAME_LENGTH)
        return 0;
    return total;
}

bool Verifies(const Bytes& bytes, size_t at, size_t size) {
    unsigned char body[MAX_FRAME_LENGTH];
    int bodyLength = 0;
    return ParseFrame(bytes.data() + at, static_cast<int>(size), body, &bodyLength) == 1;
}

}  // namespace

void FrameHunter::feed(const uint8_t* bytes, size_t count) {
    size_t old = pending_.size();
    pending_.resize(old + count);
    for (size_t i = 0; i < count; ++i)
        pending_[old + i] = bytes[i];
}

void FrameHunter::dropFront(size_t count) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(count));
}

bool FrameHunter::next(Bytes* frame) {
    for (;;) {
        size_t start = 0;
        while (start < pending_.size() && !IsHeaderAt(pending_, start))
            ++start;
        // A lone EF at the very end may still become a Header.
        if (start == pending_.size() && start > 0 && pending_.back() == 0xEF)
            --start;
        dropFront(start);
        if (pending_.size() < FRAME_HEADER_LENGTH)
            return false;

        size_t size = AnnouncedSize(pending_, 0);
        if (size == 0) {
            dropFront(1);
            continue;
        }
        if (pending_.size() < size) {
            // Still waiting: if a verified frame has already arrived behind this Header, the
            // Header was false (a frame the host broke off, or noise) and the later frame counts.
            for (size_t at = 1; at + FRAME_HEADER_LENGTH <= pending_.size(); ++at) {
                if (!IsHeaderAt(pending_, at))
                    continue;
                size_t later = AnnouncedSize(pending_, at);
                if (later && at + later <= pending_.size() && Verifies(pending_, at, later)) {
                    dropFront(at);
                    return next(frame);
                }
            }
            return false;
        }
        if (Verifies(pending_, 0, size)) {
            frame->assign(pending_.begin(), pending_.begin() + static_cast<long>(size));
            dropFront(size);
            return true;
        }
        dropFront(1);
    }
}

}  // namespace sim
