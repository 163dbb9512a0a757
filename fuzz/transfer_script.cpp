#include "fuzz/transfer_script.h"

#include "commands/command_status.h"
#include "link/frame_codec.h"
#include "link/port_backend_memory.h"

namespace transfer_script {
namespace {

enum { MAX_CONTENTS = MAX_BODY_LENGTH - BODY_HEADER_LENGTH };

// Noise before a frame: it never holds EF 01, so it never starts one.
const uint8_t kNoise[] = {0x00, 0xEF, 0x12, 0x01, 0xFF};

size_t ContentsSize(uint8_t n) {
    return n <= 128 ? n : 128 + (n - 128u) * (MAX_CONTENTS - 128u) / 127u;
}

std::vector<uint8_t> ContentsFrom(uint32_t seed, size_t count) {
    std::vector<uint8_t> contents(count);
    uint32_t state = seed * 2654435761u + 1;
    for (size_t i = 0; i < count; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        contents[i] = static_cast<uint8_t>(state >> 24);
    }
    return contents;
}

const unsigned kRepeats[8] = {1, 1, 1, 1, 2, 4, 16, 64};

void FeedFrame(uint8_t packetId, const std::vector<uint8_t>& contents, bool badChecksum) {
    unsigned char body[MAX_FRAME_LENGTH] = {};
    body[0] = packetId;
    body[1] = static_cast<unsigned char>((contents.size() + 2) >> 8);
    body[2] = static_cast<unsigned char>((contents.size() + 2) & 0xFF);
    for (size_t i = 0; i < contents.size(); ++i)
        body[BODY_HEADER_LENGTH + i] = contents[i];
    unsigned char frame[MAX_FRAME_LENGTH];
    int length = 0;
    if (!BuildFrame(body, static_cast<int>(contents.size()) + 5, frame, &length))
        return;
    if (badChecksum)
        frame[length - 1] ^= 0x01;
    FeedMemoryPort(frame, static_cast<size_t>(length));
}

}  // namespace

unsigned GapPasses(Gap gap) {
    switch (gap) {
        case Gap::ShortSilence:
            return SHORT_SILENCE_PASSES;
        case Gap::ErrorsAndNoise:
            return ERROR_PASSES;
        case Gap::LongSilence:
            return LONG_SILENCE_PASSES;
        case Gap::None:
            break;
    }
    return 0;
}

Script ReadScript(const uint8_t* data, size_t size, size_t dataLimit) {
    Script script;
    if (size < 2)
        return script;
    uint8_t choice = data[0] % 8;
    script.opening = choice < 5    ? Opening::Ack
                     : choice == 5 ? Opening::Refused
                     : choice == 6 ? Opening::WrongPacketId
                                   : Opening::Silent;
    script.openingValue = data[1];
    if (script.opening == Opening::Refused && data[1] == 0)
        script.openingValue = 1;
    if (script.opening == Opening::WrongPacketId && data[1] == PacketId::Ack)
        script.openingValue = PacketId::EndData;

    uint32_t frameIndex = 0;
    size_t carried = 0;
    for (size_t at = 2; at + 3 <= size; at += 3) {
        uint8_t t = data[at], n = data[at + 1], seed = data[at + 2];
        static const uint8_t kIds[3] = {PacketId::Data, PacketId::EndData, PacketId::Ack};
        uint8_t packetId = (t & 3) == 3 ? seed : kIds[t & 3];
        unsigned repeats = kRepeats[t >> 5];
        for (unsigned r = 0; r < repeats; ++r) {
            ScriptFrame frame;
            frame.packetId = packetId;
            frame.contents = ContentsFrom(seed + 257u * frameIndex++, ContentsSize(n));
            if (packetId == PacketId::Ack && !frame.contents.empty())
                frame.contents[0] = seed;
            frame.badChecksum = r == 0 && (t & 0x10);
            frame.gap = r == 0 ? static_cast<Gap>((t >> 2) & 3) : Gap::None;
            script.frames.push_back(frame);
            carried += frame.contents.size();
            if (packetId == PacketId::EndData || carried > dataLimit)
                return script;
        }
    }
    return script;
}

void FeedScript(const Script& script) {
    StartMemoryPortReply();
    switch (script.opening) {
        case Opening::Silent:
            return;
        case Opening::Ack:
            FeedFrame(PacketId::Ack, {0x00}, false);
            break;
        case Opening::Refused:
            FeedFrame(PacketId::Ack, {script.openingValue}, false);
            break;
        case Opening::WrongPacketId:
            FeedFrame(script.openingValue, {0x00}, false);
            break;
    }
    for (const ScriptFrame& frame : script.frames) {
        if (frame.gap == Gap::ErrorsAndNoise) {
            FeedMemoryPortGap(ERROR_PASSES, MEMORY_PORT_READ_ERRORS);
            FeedMemoryPort(kNoise, sizeof kNoise);
        } else if (frame.gap != Gap::None) {
            FeedMemoryPortGap(GapPasses(frame.gap), MEMORY_PORT_SILENCE);
        }
        FeedFrame(frame.packetId, frame.contents, frame.badChecksum);
        if (frame.badChecksum || frame.gap == Gap::LongSilence)
            return;
    }
}

bool OpeningEndsTransfer(const Script& script, int* status) {
    switch (script.opening) {
        case Opening::Silent:
            *status = NoReply;
            return true;
        case Opening::Refused:
            *status = script.openingValue;
            return true;
        case Opening::WrongPacketId:
            *status = NotAck;
            return true;
        case Opening::Ack:
            break;
    }
    return false;
}

}  // namespace transfer_script
