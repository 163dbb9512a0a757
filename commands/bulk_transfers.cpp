#include "commands/bulk_transfers.h"

#include <cstring>

#include "commands/command_transaction.h"
#include "commands/link_lock.h"
#include "commands/module_commands.h"
#include "link/frame_exchange.h"
#include "link/tick_counter.h"

TemplateStore enrolledTemplate;
TemplateStore capturedTemplate;
unsigned char RawImage[IMAGE_PIXELS];
std::atomic<int> imagePixelCount{0};
int transferChunkSize = 128;

namespace {

enum { MAX_CONTENTS_LENGTH = MAX_BODY_LENGTH - BODY_HEADER_LENGTH };

// The pixels of an image as they are expanded, before they replace the packed stream.
unsigned char expandedImage[IMAGE_PIXELS];

// Receives the next frame of a stream from the module into a cleared body. Returns the number of
// data bytes it carries, or -1 when no valid frame came within the limit.
int ReceiveStreamFrame(unsigned char* body) {
    std::memset(body, 0, MAX_FRAME_LENGTH);
    if (!ReceiveFrameBody(body, REPLY_LIMIT_MS))
        return -1;
    int count = BodyLengthField(body) - 2;
    return count < 0 ? 0 : count;
}

bool IsRefusalInStream(const unsigned char* body) {
    return body[0] == PacketId::Ack && body[BODY_HEADER_LENGTH] != 0;
}

// What a stream from the module brought: its data bytes, and whether an Ack with a nonzero code
// came among its frames.
struct StreamReceived {
    int stored;
    bool refused;
};

// Receives a stream into destination until its end frame; each frame may take the whole reply
// limit, and with limitWholeStream the stream as a whole too. Every frame's Contents are data,
// whatever its packet id. 0 at the end frame; NoReply when a frame did not come or failed
// verification, when the whole stream took too long, or when it would carry more than capacity
// bytes (what is left on the line is purged by the next send).
CommandStatus ReceiveStream(unsigned char* destination, int capacity, bool limitWholeStream,
                            StreamReceived* received) {
    uint32_t start = ReadTickCount();
    *received = {0, false};
    for (;;) {
        unsigned char body[MAX_FRAME_LENGTH];
        int count = ReceiveStreamFrame(body);
        if (count < 0)
            return NoReply;
        if (IsRefusalInStream(body))
            received->refused = true;
        if (received->stored + count > capacity)
            return NoReply;
        std::memcpy(destination + received->stored, body + BODY_HEADER_LENGTH,
                    static_cast<size_t>(count));
        received->stored += count;
        // The whole-stream limit is tested before the end frame is recognised.
        if (limitWholeStream && ElapsedMs(start, ReadTickCount()) > REPLY_LIMIT_MS)
            return NoReply;
        if (body[0] == PacketId::EndData)
            return 0;
    }
}

// A transfer holds the link from its opening command to its last frame.
CommandStatus ReadFeaturesHeld(unsigned char* destination, int* storedLength) {
    static const unsigned char upload[] = {0x08, 0x01};
    CommandStatus status = RunCommand(upload, sizeof upload, REPLY_LIMIT_MS, nullptr);
    if (status != 0)
        return status;
    // 16,000 ms for each frame, and 16,000 ms from the acknowledgement to the end frame.
    StreamReceived received;
    if (ReceiveStream(destination, TEMPLATE_SIZE, true, &received) != 0)
        return NoReply;
    *storedLength = received.stored;
    if (received.stored == 0)
        return NoReply;
    return received.refused ? NotAck : 0;
}

CommandStatus WriteFeaturesHeld(FeatureBuffer buffer, const unsigned char* data, int count) {
    const unsigned char download[] = {0x09, static_cast<unsigned char>(buffer)};
    CommandStatus status = RunCommand(download, sizeof download, REPLY_LIMIT_MS, nullptr);
    if (status != 0)
        return status;

    int sent = 0;
    for (;;) {
        // Read afresh before every frame; a size that cannot make a frame ends the transfer.
        int chunk = transferChunkSize;
        if (chunk < 1 || chunk > MAX_CONTENTS_LENGTH)
            return SendFailed;
        int left = count - sent;
        bool last = left <= chunk;
        int carried = last ? left : chunk;
        unsigned char body[MAX_FRAME_LENGTH];
        std::memset(body, 0, sizeof body);
        PutBodyHeader(body, last ? PacketId::EndData : PacketId::Data, carried);
        std::memcpy(body + BODY_HEADER_LENGTH, data + sent, static_cast<size_t>(carried));
        if (!SendFrameBody(body))
            return SendFailed;
        sent += carried;
        if (last)
            return 0;
    }
}

CommandStatus ReadImageHeld() {
    static const unsigned char upload[] = {0x0A};
    CommandStatus status = RunCommand(upload, sizeof upload, REPLY_LIMIT_MS, nullptr);
    if (status != 0)
        return status;

    // The packed stream lands at the start of RawImage; each frame may take the whole limit, and
    // the stream as a whole has none.
    StreamReceived received;
    if (ReceiveStream(RawImage, IMAGE_PIXELS, false, &received) != 0)
        return NoReply;

    // Two pixels per byte, the left one in the high nibble; each 4-bit value becomes value * 16.
    // All packed bytes are expanded, however many arrived.
    for (int i = 0; i < PACKED_IMAGE_SIZE; ++i) {
        unsigned char packed = RawImage[i];
        expandedImage[2 * i] = static_cast<unsigned char>(packed & 0xF0);
        expandedImage[2 * i + 1] = static_cast<unsigned char>((packed & 0x0F) << 4);
    }
    imagePixelCount = 2 * received.stored;
    std::memcpy(RawImage, expandedImage, sizeof expandedImage);
    // An Ack with a nonzero code inside the stream still lets the image through, as a failure.
    return received.refused ? NoReply : 0;
}

}  // namespace

CommandStatus ReadFeatures(unsigned char* destination, int* storedLength) {
    if (!destination || !storedLength)
        return BadArgument;
    if (!AcquireLink(REPLY_LIMIT_MS))
        return SendFailed;
    CommandStatus status = ReadFeaturesHeld(destination, storedLength);
    ReleaseLink();
    return status;
}

CommandStatus WriteFeatures(FeatureBuffer buffer, const unsigned char* data, int count) {
    if (buffer < 1 || buffer > 3 || !data || count <= 0)
        return BadArgument;
    if (!AcquireLink(REPLY_LIMIT_MS))
        return SendFailed;
    CommandStatus status = WriteFeaturesHeld(buffer, data, count);
    ReleaseLink();
    return status;
}

CommandStatus ReadImage() {
    if (!AcquireLink(REPLY_LIMIT_MS))
        return SendFailed;
    CommandStatus status = ReadImageHeld();
    ReleaseLink();
    return status;
}
