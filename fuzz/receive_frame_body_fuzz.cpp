// ReceiveFrameBody on an arbitrary incoming byte stream through the in-memory port, whose clock
// moves one read wait per empty pass and msPerByte per byte. Input: 8 bytes of settings, then the
// stream.
//   0-1  time limit in ms, big-endian          2    ms per byte (0 to 3)
//   3    start of the tick counter (some runs start just before it wraps)
//   4-5  where in the stream a gap sits         6    its passes        7    silent or read errors
// The receive must return, consume exactly the bytes and the time that its rules give (an
// independent model of them below), stay within twice its limit plus one pass per phase, and
// never write past the 342 bytes of the body.
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/fuzz_require.h"
#include "fuzz/fuzz_targets.h"
#include "link/frame_exchange.h"
#include "link/module_port.h"
#include "link/port_backend_memory.h"
#include "link/tick_counter.h"

namespace {

enum { SETTINGS = 8, BODY_CANARY = 0x5C };
constexpr uint32_t READ_WAIT_MS = 100;

struct Settings {
    uint32_t limit;
    uint32_t msPerByte;
    uint32_t start;
    size_t gapAt;
    unsigned gapPasses;
    MemoryPortGap gapKind;
};

Settings ReadSettings(const uint8_t* data) {
    Settings s;
    s.limit = data[0] * 256u + data[1];
    s.msPerByte = data[2] % 4;
    s.start = data[3] < 128 ? data[3] * 1000u : 0xFFFFFFFFu - (data[3] - 128u) * 250u;
    s.gapAt = data[4] * 256u + data[5];
    s.gapPasses = data[6];
    s.gapKind = (data[7] & 1) ? MEMORY_PORT_READ_ERRORS : MEMORY_PORT_SILENCE;
    return s;
}

struct Outcome {
    int result = 0;
    size_t consumed = 0;
    uint32_t ticks = 0;
    std::vector<uint8_t> body;  // packet id, Length, Contents on success
    bool timedOut = false;
    bool headerFound = false;
    uint32_t headerTicks = 0;  // the clock when the Header's last byte was read
};

// The receive as its rules describe it, pass by pass, on the same stream and the same clock.
class ReceiveModel {
  public:
    ReceiveModel(const Settings& s, const uint8_t* stream, size_t size)
        : s_(s), stream_(stream), size_(size), ticks_(s.start), gapLeft_(s.gapPasses) {}

    Outcome Run() {
        Outcome out;
        uint8_t frame[MAX_FRAME_LENGTH] = {};
        uint32_t start = ticks_;
        for (;;) {
            int byte = Pass();
            if (byte >= 0) {
                std::memmove(frame, frame + 1, 8);
                frame[8] = static_cast<uint8_t>(byte);
                if (frame[0] == 0xEF && frame[1] == 0x01)
                    break;
            }
            if (ticks_ - start > s_.limit) {
                out.timedOut = true;
                return Finish(out);
            }
        }
        out.headerFound = true;
        out.headerTicks = ticks_;
        unsigned length = frame[7] * 256u + frame[8];
        unsigned count = 9;
        start = ticks_;
        for (;;) {
            int byte = Pass();
            if (byte >= 0) {
                if (count < MAX_FRAME_LENGTH)
                    frame[count] = static_cast<uint8_t>(byte);
                ++count;
                if (length != 0 && count == length + 9) {
                    if (count <= MAX_FRAME_LENGTH && Verifies(frame, count)) {
                        out.result = 1;
                        out.body.assign(frame + 6, frame + count - 2);
                    }
                    return Finish(out);
                }
            }
            if (ticks_ - start > s_.limit) {
                out.timedOut = true;
                return Finish(out);
            }
        }
    }

  private:
    // One read: a byte (0..255), or -1 when the pass found nothing or failed.
    int Pass() {
        if (position_ == s_.gapAt && gapLeft_ > 0) {
            --gapLeft_;
            ticks_ += READ_WAIT_MS;
            return -1;
        }
        if (position_ < size_) {
            ticks_ += s_.msPerByte;
            return stream_[position_++];
        }
        ticks_ += READ_WAIT_MS;
        return -1;
    }
    static bool Verifies(const uint8_t* frame, unsigned count) {
        unsigned sum = 0;
        for (unsigned i = 6; i < count - 2; ++i)
            sum += frame[i];
        return (sum & 0xFFFFu) == frame[count - 2] * 256u + frame[count - 1];
    }
    Outcome& Finish(Outcome& out) {
        out.consumed = position_;
        out.ticks = ticks_;
        return out;
    }

    Settings s_;
    const uint8_t* stream_;
    size_t size_;
    size_t position_ = 0;
    uint32_t ticks_;
    unsigned gapLeft_;
};

void FeedStream(const Settings& s, const uint8_t* stream, size_t size) {
    size_t gapAt = s.gapAt < size ? s.gapAt : size;
    FeedMemoryPort(stream, gapAt);
    // A gap past the end of the stream is silence anyway.
    if (s.gapAt <= size)
        FeedMemoryPortGap(s.gapPasses, s.gapKind);
    FeedMemoryPort(stream + gapAt, size - gapAt);
}

}  // namespace

void FuzzReceiveFrameBody(const uint8_t* data, size_t size) {
    if (size < SETTINGS)
        return;
    Settings s = ReadSettings(data);
    const uint8_t* stream = data + SETTINGS;
    size_t streamSize = size - SETTINGS;

    ResetMemoryPort(s.start, s.msPerByte);
    SetTickSource(&MemoryPortTicks);
    FUZZ_REQUIRE(OpenModulePort(1, 57600) == 1, "the memory port opens");
    FeedStream(s, stream, streamSize);

    std::unique_ptr<unsigned char[]> body(new unsigned char[MAX_BODY_LENGTH]);
    std::memset(body.get(), BODY_CANARY, MAX_BODY_LENGTH);
    int result = ReceiveFrameBody(body.get(), s.limit);
    uint32_t elapsed = MemoryPortTicks() - s.start;
    size_t consumed = MemoryPortBytesRead();
    size_t reads = MemoryPortReads();
    CloseModulePort();
    SetTickSource(nullptr);

    Outcome expected = ReceiveModel(s, stream, streamSize).Run();
    FUZZ_REQUIRE(result == expected.result, "result as the exchange's rules give it");
    FUZZ_REQUIRE(consumed == expected.consumed, "exactly the frame's bytes are read, no more");
    FUZZ_REQUIRE(elapsed == expected.ticks - s.start, "time taken as the rules give it");

    // Bounds that hold whatever the stream: each phase ends within its limit plus one pass, and
    // every pass is a read.
    uint32_t longestPass = s.msPerByte > READ_WAIT_MS ? s.msPerByte : READ_WAIT_MS;
    FUZZ_REQUIRE(elapsed <= 2 * (s.limit + longestPass), "within twice the limit plus a pass");
    FUZZ_REQUIRE(reads <= streamSize + s.gapPasses + 2 * (s.limit / READ_WAIT_MS + 2),
                 "a bounded number of passes");
    if (!expected.headerFound) {
        FUZZ_REQUIRE(result == 0 && elapsed > s.limit, "no Header: gives up only past the limit");
        FUZZ_REQUIRE(elapsed <= s.limit + longestPass, "no Header: gives up at the limit");
    }
    if (result == 1) {
        size_t bodySize = expected.body.size();
        FUZZ_REQUIRE(std::memcmp(body.get(), expected.body.data(), bodySize) == 0,
                     "the body is the frame's");
        FUZZ_REQUIRE(BodyLengthField(body.get()) + 1 == static_cast<int>(bodySize),
                     "the body's Length field gives its size");
        for (size_t i = bodySize; i < MAX_BODY_LENGTH; ++i)
            FUZZ_REQUIRE(body[i] == BODY_CANARY, "the rest of the body is left as it was");
    } else if (expected.timedOut && expected.headerFound) {
        // The limit runs afresh from the Header: a receive that found one but no whole frame
        // gives up one limit after it.
        uint32_t sinceHeader = expected.ticks - expected.headerTicks;
        FUZZ_REQUIRE(sinceHeader > s.limit && sinceHeader <= s.limit + longestPass,
                     "after the Header: gives up one fresh limit later");
    }
}
