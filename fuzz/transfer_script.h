#pragma once
// The module's side of an upload (ReadFeatures, ReadImage), described by a fuzz input so that
// short inputs reach long streams:
//   byte 0   the answer to the opening command: 0-4 an Ack with code 0, 5 an Ack with code
//            byte 1 (never 0), 6 a frame with packet id byte 1 (never 7), 7 no answer at all
//   byte 1   see byte 0
//   then records of three bytes [t n seed], one or more reply frames each:
//     t bits 0-1  packet id: Data, EndData, Ack with code seed, or seed itself
//     t bits 2-3  before the frame: nothing, 3 s of silence, read errors and noise (never
//                 EF 01), or 17 s of silence (longer than a frame's limit)
//     t bit 4     the (first) frame's Checksum is off by one
//     t bits 5-7  how many frames the record makes: 1, 1, 1, 1, 2, 4, 16, 64
//     n           Contents bytes: 0-128, then up to 339 for n = 255
//     seed        the Contents bytes come from it
// The script is fed to the in-memory port as the answer to the next frame that the host sends.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace transfer_script {

enum class Opening { Ack, Refused, WrongPacketId, Silent };
enum class Gap { None, ShortSilence, ErrorsAndNoise, LongSilence };

struct ScriptFrame {
    uint8_t packetId;
    std::vector<uint8_t> contents;
    bool badChecksum;
    Gap gap;
};

struct Script {
    Opening opening = Opening::Ack;
    uint8_t openingValue = 0;  // the refusal's code, or the wrong packet id
    std::vector<ScriptFrame> frames;
};

// Read waits in the gaps: a short silence stays well within a frame's 16,000 ms, a long one
// passes it; the errors are passes that fail.
enum : unsigned { SHORT_SILENCE_PASSES = 30, LONG_SILENCE_PASSES = 170, ERROR_PASSES = 5 };
enum : uint32_t { READ_WAIT_MS = 100 };

// The script of an input. Frames that no transfer could read are left out: those after the first
// end frame, and those after the one that takes the data past dataLimit bytes.
Script ReadScript(const uint8_t* data, size_t size, size_t dataLimit);

// The status that ends a transfer at its opening command: true with *status set when the module
// did not acknowledge it (silent, refused, or not an Ack); false when data frames follow.
bool OpeningEndsTransfer(const Script& script, int* status);

// The read waits that a gap lasts.
unsigned GapPasses(Gap gap);

// Feeds the opening answer and the frames as the reply to the next frame the host sends, up to
// the first frame that fails or comes too late.
void FeedScript(const Script& script);

}  // namespace transfer_script
