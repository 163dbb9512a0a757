#include "link/frame_exchange.h"

#include <atomic>
#include <cstring>

#include "link/port_access.h"
#include "link/tick_counter.h"

static std::atomic<FrameWatcher> frameWatcher{nullptr};

void WatchFrames(FrameWatcher watcher) {
    frameWatcher = watcher;
}

static void ShowFrame(FrameDirection direction, const unsigned char* frame, int length) {
    FrameWatcher watcher = frameWatcher.load();
    if (watcher)
        watcher(direction, frame, length);
}

int SendFrameBody(const FrameBody* body) {
    if (!body)
        return 0;
    // Discard a late reply or a stray byte first, so the next receive sees only what answers this.
    PurgePortQueues();
    ModuleFrame frame;
    if (!BuildFrame(body, BodyLengthField(body) + 3, frame.bytes, &frame.length))
        return 0;
    unsigned generation = CurrentPortGeneration();
    if (ClearPortErrors(generation) != PORT_DONE)
        return 0;
    for (int i = 0; i < frame.length; ++i) {
        if (WritePortByte(generation, frame.bytes[i]) != PORT_DONE)
            return 0;
    }
    ShowFrame(FRAME_SENT, frame.bytes, frame.length);
    return 1;
}

static bool PastLimit(uint32_t start, uint32_t timeLimitMs) {
    return ElapsedMs(start, ReadTickCount()) > timeLimitMs;
}

// Ends a receive that ran out of time; the port's error state is cleared on the way out.
static int GiveUp(unsigned generation) {
    (void)ClearPortErrors(generation);
    return 0;
}

int ReceiveFrameBody(FrameBody* body, uint32_t timeLimitMs) {
    if (!body)
        return 0;
    unsigned generation = CurrentPortGeneration();
    if (ClearPortErrors(generation) != PORT_DONE)
        return 0;

    // Hunt: the last 9 bytes read, oldest first, until they start with the Header EF 01.
    unsigned char frame[MAX_FRAME_LENGTH] = {};
    uint32_t start = ReadTickCount();
    for (;;) {
        unsigned char byte = 0;
        int read = ReadPortByte(generation, &byte);
        if (read == PORT_GONE)
            return 0;
        if (read == PORT_DONE) {
            std::memmove(frame, frame + 1, FRAME_HEADER_LENGTH - 1);
            frame[FRAME_HEADER_LENGTH - 1] = byte;
            if (frame[0] == 0xEF && frame[1] == 0x01)
                break;
        } else {
            (void)ClearPortErrors(generation);
        }
        if (PastLimit(start, timeLimitMs))
            return GiveUp(generation);
    }

    // Collect: the limit runs afresh from the Header. Bytes past MAX_FRAME_LENGTH are counted and
    // dropped, and the frame completes only at Length + 9 bytes; Length 0 never completes.
    unsigned length = frame[7] * 256u + frame[8];
    unsigned count = FRAME_HEADER_LENGTH;
    start = ReadTickCount();
    for (;;) {
        unsigned char byte = 0;
        int read = ReadPortByte(generation, &byte);
        if (read == PORT_GONE)
            return 0;
        if (read == PORT_DONE) {
            if (count < MAX_FRAME_LENGTH)
                frame[count] = byte;
            ++count;
            // The completion test comes before the time test: a late last byte still counts.
            if (length != 0 && count == length + FRAME_HEADER_LENGTH) {
                if (count > MAX_FRAME_LENGTH)
                    return 0;
                int bodyLength = 0;
                if (!ParseFrame(frame, static_cast<int>(count), body, &bodyLength))
                    return 0;
                ShowFrame(FRAME_RECEIVED, frame, static_cast<int>(count));
                return 1;
            }
        } else {
            (void)ClearPortErrors(generation);
        }
        if (PastLimit(start, timeLimitMs))
            return GiveUp(generation);
    }
}
