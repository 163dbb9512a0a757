// ReadImage on arbitrary sequences of reply frames (transfer_script.h) through the in-memory port.
// RawImage is a global array: AddressSanitizer's redzone after it (checked once below) catches
// any write past its 73,728 bytes. The status, imagePixelCount and every pixel must be what the
// transfer's rules give (a model of them below), starting from an image known before the call.
#include <algorithm>
#include <cstring>
#include <vector>

#include "commands/bulk_transfers.h"
#include "fuzz/fuzz_require.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/transfer_script.h"
#include "link/frame_codec.h"
#include "link/module_port.h"
#include "link/port_backend_memory.h"
#include "link/tick_counter.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVEL_WITH_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUORVEL_WITH_ASAN 1
#endif
#ifdef QUORVEL_WITH_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace {

using namespace transfer_script;

enum : int { UNTOUCHED_COUNT = 12345 };
enum : uint32_t { LIMIT_MS = 16000 };

struct Expected {
    CommandStatus status = NoReply;
    int pixelCount = UNTOUCHED_COUNT;
    std::vector<uint8_t> image;  // RawImage after the call
};

Expected Model(const Script& script, const std::vector<uint8_t>& before) {
    Expected e;
    e.image = before;
    if (OpeningEndsTransfer(script, &e.status))
        return e;
    CommandStatus result = 0;
    size_t stored = 0;
    for (const ScriptFrame& frame : script.frames) {
        // A frame that does not come within its limit, or fails verification, ends the transfer
        // with the packed bytes left over the start of the old image.
        if (GapPasses(frame.gap) * READ_WAIT_MS > LIMIT_MS || frame.badChecksum)
            return e;
        if (frame.packetId == PacketId::Ack && !frame.contents.empty() && frame.contents[0] != 0)
            result = NoReply;
        if (stored + frame.contents.size() > IMAGE_PIXELS)
            return e;
        std::copy(frame.contents.begin(), frame.contents.end(), e.image.begin() + stored);
        stored += frame.contents.size();
        if (frame.packetId == PacketId::EndData) {
            std::vector<uint8_t> expanded(IMAGE_PIXELS);
            for (size_t i = 0; i < PACKED_IMAGE_SIZE; ++i) {
                expanded[2 * i] = e.image[i] & 0xF0;
                expanded[2 * i + 1] = static_cast<uint8_t>((e.image[i] & 0x0F) << 4);
            }
            e.image = expanded;
            e.pixelCount = static_cast<int>(2 * stored);
            e.status = result;
            return e;
        }
    }
    return e;
}

}  // namespace

void FuzzReadImage(const uint8_t* data, size_t size) {
#ifdef QUORVEL_WITH_ASAN
    static bool redzoneSeen = false;
    if (!redzoneSeen) {
        FUZZ_REQUIRE(__asan_region_is_poisoned(RawImage + IMAGE_PIXELS, 1) != nullptr,
                     "RawImage has a redzone after it");
        redzoneSeen = true;
    }
#endif
    Script script = ReadScript(data, size, IMAGE_PIXELS);
    // A known old image: what the transfer keeps of it is checked too.
    std::vector<uint8_t> before(IMAGE_PIXELS);
    uint8_t mark = size ? data[size - 1] : 0;
    for (size_t i = 0; i < IMAGE_PIXELS; ++i)
        before[i] = static_cast<uint8_t>(i * 31 + mark);
    std::memcpy(RawImage, before.data(), IMAGE_PIXELS);
    imagePixelCount = UNTOUCHED_COUNT;

    // The tick counter wraps during any stream that waits four seconds.
    ResetMemoryPort(0xFFFFF000u, 0);
    SetTickSource(&MemoryPortTicks);
    FUZZ_REQUIRE(OpenModulePort(3, 57600) == 1, "the memory port opens");
    FeedScript(script);
    CommandStatus status = ReadImage();
    std::vector<unsigned char> written = MemoryPortWritten();
    CloseModulePort();
    SetTickSource(nullptr);

    static const unsigned char kUpload[] = {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF,
                                            0x01, 0x00, 0x03, 0x0A, 0x00, 0x0E};
    FUZZ_REQUIRE(written == std::vector<unsigned char>(kUpload, kUpload + sizeof kUpload),
                 "one image upload command goes out, nothing else");

    bool known =
        status == 0 || status == NoReply || status == NotAck || (status >= 1 && status <= 255);
    FUZZ_REQUIRE(known, "a status that ReadImage can return");
    Expected expected = Model(script, before);
    FUZZ_REQUIRE(status == expected.status, "status as the transfer's rules give it");
    int count = imagePixelCount;
    FUZZ_REQUIRE(count == expected.pixelCount, "imagePixelCount set only at the end frame");
    FUZZ_REQUIRE(
        count == UNTOUCHED_COUNT || (count >= 0 && count <= 2 * IMAGE_PIXELS && count % 2 == 0),
        "imagePixelCount is twice the bytes received");
    FUZZ_REQUIRE(std::memcmp(RawImage, expected.image.data(), IMAGE_PIXELS) == 0,
                 "RawImage as the transfer's rules give it");
}
