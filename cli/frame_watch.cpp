#include "cli/frame_watch.h"

#include <cstdio>
#include <mutex>

#include "cli/cli_output.h"
#include "commands/bulk_transfers.h"
#include "link/tick_counter.h"

namespace {

std::mutex watchLock;
bool tracing = false;
uint32_t traceStart = 0;
CommandExchange lastExchange = {-1, false, 0, 0, 0};
bool counting = false;
bool drawing = false;
int imageBytes = 0;
int shownPercent = -1;

// Frame bytes before the Contents and after them: Header, Address, packet id, Length; Checksum.
enum { CONTENTS_OFFSET = FRAME_HEADER_LENGTH, CHECKSUM_LENGTH = 2 };

void Remember(FrameDirection direction, const unsigned char* frame, int length) {
    if (length < CONTENTS_OFFSET + CHECKSUM_LENGTH)
        return;
    int packetId = frame[6];
    int contentsLength = length - CONTENTS_OFFSET - CHECKSUM_LENGTH;
    const unsigned char* contents = frame + CONTENTS_OFFSET;
    if (direction == FRAME_SENT) {
        if (packetId == PacketId::Command && contentsLength > 0)
            lastExchange = {contents[0], false, 0, 0, 0};
        return;
    }
    if (lastExchange.commandCode < 0 || lastExchange.answered)
        return;
    lastExchange.answered = true;
    lastExchange.replyPacketId = packetId;
    lastExchange.confirmationCode = contentsLength > 0 ? contents[0] : 0;
    lastExchange.replyValue = contentsLength > 2 ? contents[1] * 256 + contents[2] : 0;
}

// Counts the data of the image stream; returns the bar to draw, or "" when nothing changed.
std::string Count(FrameDirection direction, const unsigned char* frame, int length) {
    if (!counting || direction != FRAME_RECEIVED || length < CONTENTS_OFFSET + CHECKSUM_LENGTH)
        return "";
    int packetId = frame[6];
    if (packetId != PacketId::Data && packetId != PacketId::EndData)
        return "";
    imageBytes += length - CONTENTS_OFFSET - CHECKSUM_LENGTH;
    int percent = imageBytes >= PACKED_IMAGE_SIZE ? 100 : imageBytes * 100 / PACKED_IMAGE_SIZE;
    if (!drawing || percent == shownPercent)
        return "";
    shownPercent = percent;
    return ProgressBar(percent);
}

void Watch(FrameDirection direction, const unsigned char* frame, int length) {
    std::string trace;
    std::string bar;
    {
        std::lock_guard<std::mutex> hold(watchLock);
        Remember(direction, frame, length);
        bar = Count(direction, frame, length);
        if (tracing)
            trace = TraceLine(ElapsedMs(traceStart, ReadTickCount()), direction, frame, length);
    }
    if (!trace.empty())
        WriteErr(trace);
    if (!bar.empty())
        WriteErr(bar);
}

}  // namespace

void BeginFrameWatch(bool trace) {
    {
        std::lock_guard<std::mutex> hold(watchLock);
        tracing = trace;
        traceStart = ReadTickCount();
        lastExchange = {-1, false, 0, 0, 0};
        counting = false;
        drawing = false;
    }
    WatchFrames(Watch);
}

void EndFrameWatch() {
    WatchFrames(nullptr);
    std::lock_guard<std::mutex> hold(watchLock);
    tracing = false;
    counting = false;
}

CommandExchange LastCommandExchange() {
    std::lock_guard<std::mutex> hold(watchLock);
    return lastExchange;
}

void BeginImageProgress(bool bar) {
    std::lock_guard<std::mutex> hold(watchLock);
    counting = true;
    // Trace lines would break the bar's line; with --trace every frame shows the progress anyway.
    drawing = bar && !tracing;
    imageBytes = 0;
    shownPercent = -1;
}

void EndImageProgress() {
    bool drawn;
    {
        std::lock_guard<std::mutex> hold(watchLock);
        drawn = drawing && shownPercent >= 0;
        counting = false;
        drawing = false;
    }
    if (drawn)
        WriteErr("\n");
}

std::string TraceLine(uint32_t elapsedMs, FrameDirection direction, const unsigned char* frame,
                      int length) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%5u.%03u %c", elapsedMs / 1000, elapsedMs % 1000,
                  direction == FRAME_SENT ? '>' : '<');
    std::string line = stamp;
    for (int i = 0; i < length; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", frame[i]);
        line += hex;
    }
    return line + "\n";
}

std::string ProgressBar(int percent) {
    enum { BAR_WIDTH = 40 };
    int filled = percent * BAR_WIDTH / 100;
    std::string bar = "\rimage [";
    bar.append(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(BAR_WIDTH - filled), '.');
    char tail[16];
    std::snprintf(tail, sizeof tail, "] %3d%%", percent);
    return bar + tail;
}
