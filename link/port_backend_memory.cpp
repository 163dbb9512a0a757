#include "link/port_backend_memory.h"

#include <deque>
#include <limits>
#include <mutex>

#include "link/port_backend.h"

namespace {

enum { READ_WAIT_MS = 100 };

// A run of passes that read nothing, before the byte at `position` of its batch.
struct IncomingGap {
    size_t position;
    MemoryPortGap kind;
    unsigned passesLeft;
};

// Bytes that arrive together, with the gaps between them.
struct IncomingBatch {
    std::vector<unsigned char> bytes;
    std::vector<IncomingGap> gaps;
    size_t nextByte = 0;
    size_t nextGap = 0;
};

// Batch 0 is what has arrived; each later batch is a reply that arrives at the next purge.
struct MemoryPortState {
    std::mutex lock;
    std::deque<IncomingBatch> batches{1};
    std::vector<unsigned char> written;
    size_t writeLimit = std::numeric_limits<size_t>::max();
    size_t bytesRead = 0;
    size_t reads = 0;
    uint32_t ticks = 0;
    uint32_t msPerByte = 0;
    bool open = false;
    bool hasBeenOpened = false;
    bool unplugged = false;
    // The last read already lasted its read wait, so the pause after it adds nothing.
    bool readWaited = false;
};

MemoryPortState& State() {
    static MemoryPortState state;
    return state;
}

// Takes the next step of the stream: 1 with a byte, 0 nothing, -1 a read error.
int NextIncoming(MemoryPortState& s, unsigned char* byte) {
    IncomingBatch& input = s.batches.front();
    while (input.nextGap < input.gaps.size()) {
        IncomingGap& gap = input.gaps[input.nextGap];
        if (gap.position != input.nextByte)
            break;
        if (gap.passesLeft > 0) {
            --gap.passesLeft;
            return gap.kind == MEMORY_PORT_READ_ERRORS ? -1 : 0;
        }
        ++input.nextGap;
    }
    if (input.nextByte == input.bytes.size())
        return 0;
    *byte = input.bytes[input.nextByte++];
    return 1;
}

}  // namespace

void ResetMemoryPort(uint32_t startTicks, uint32_t msPerByte) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.batches.clear();
    s.batches.emplace_back();
    s.written.clear();
    s.writeLimit = std::numeric_limits<size_t>::max();
    s.bytesRead = 0;
    s.reads = 0;
    s.ticks = startTicks;
    s.msPerByte = msPerByte;
    s.open = false;
    s.unplugged = false;
    s.readWaited = false;
}

void FeedMemoryPort(const unsigned char* bytes, size_t count) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    std::vector<unsigned char>& arriving = s.batches.back().bytes;
    arriving.insert(arriving.end(), bytes, bytes + count);
}

void FeedMemoryPortGap(unsigned passes, MemoryPortGap kind) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    IncomingBatch& batch = s.batches.back();
    if (passes > 0)
        batch.gaps.push_back({batch.bytes.size(), kind, passes});
}

void StartMemoryPortReply() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.batches.emplace_back();
}

void UnplugMemoryPort() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.unplugged = true;
}

void FailMemoryPortWritesAfter(size_t bytes) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.writeLimit = bytes;
}

uint32_t MemoryPortTicks() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.ticks;
}

std::vector<unsigned char> MemoryPortWritten() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.written;
}

size_t MemoryPortBytesRead() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.bytesRead;
}

size_t MemoryPortReads() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.reads;
}

// The backend itself. The portable half already serialises these calls; the lock is for the
// harness, which may feed from another thread.

int BackendOpen(int, int baudRate) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (s.unplugged || baudRate <= 0)
        return 0;
    s.open = true;
    s.hasBeenOpened = true;
    return 1;
}

void BackendClose() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.open = false;
}

int BackendIsOpen() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.open ? 1 : 0;
}

int BackendHasBeenOpened() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.hasBeenOpened ? 1 : 0;
}

// Unread input goes; the next reply, if one is waiting, arrives in its place.
void BackendPurge() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    s.batches.pop_front();
    if (s.batches.empty())
        s.batches.emplace_back();
}

int BackendClearErrors() {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    return s.unplugged ? 0 : 1;
}

int BackendReadByte(unsigned char* byte) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    ++s.reads;
    int result = s.unplugged ? -1 : NextIncoming(s, byte);
    if (result == 1) {
        ++s.bytesRead;
        s.ticks += s.msPerByte;
        s.readWaited = false;
    } else {
        // A read that finds nothing lasts one read wait on this port's clock.
        s.ticks += READ_WAIT_MS;
        s.readWaited = true;
    }
    return result;
}

int BackendWriteByte(unsigned char byte) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (s.unplugged || s.written.size() >= s.writeLimit)
        return 0;
    s.written.push_back(byte);
    s.ticks += s.msPerByte;
    return 1;
}

// No real wait: a pass that failed before reading lasts one read wait on the port's clock, one
// that read nothing has already lasted it.
void BackendPause(unsigned) {
    MemoryPortState& s = State();
    std::lock_guard<std::mutex> hold(s.lock);
    if (!s.readWaited)
        s.ticks += READ_WAIT_MS;
    s.readWaited = false;
}
