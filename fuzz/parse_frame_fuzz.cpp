// ParseFrame on arbitrary bytes. The frame and the body live in buffers of exactly their size, so
// that AddressSanitizer sees any read past the frame or write past the 342 body bytes.
#include <cstring>
#include <memory>

#include "fuzz/fuzz_require.h"
#include "fuzz/fuzz_targets.h"
#include "link/frame_codec.h"

namespace {

enum { BODY_CANARY = 0xA5 };

// What the codec's rules say of a frame: valid when it is 10 to 350 bytes long, starts with EF 01
// and its last two bytes are the low 16 bits of the sum of the bytes from offset 6 to before them.
bool ShouldVerify(const uint8_t* frame, size_t size) {
    if (size < 10 || size > MAX_FRAME_LENGTH || frame[0] != 0xEF || frame[1] != 0x01)
        return false;
    unsigned sum = 0;
    for (size_t i = 6; i < size - 2; ++i)
        sum += frame[i];
    return (sum & 0xFFFFu) == frame[size - 2] * 256u + frame[size - 1];
}

}  // namespace

void FuzzParseFrame(const uint8_t* data, size_t size) {
    // Larger inputs only repeat what 351 bytes already show: the length check.
    if (size > 2 * MAX_FRAME_LENGTH)
        return;
    std::unique_ptr<unsigned char[]> frame(new unsigned char[size ? size : 1]);
    if (size)
        std::memcpy(frame.get(), data, size);
    std::unique_ptr<unsigned char[]> body(new unsigned char[MAX_BODY_LENGTH]);
    std::memset(body.get(), BODY_CANARY, MAX_BODY_LENGTH);

    int bodyLength = -1;
    int result = ParseFrame(frame.get(), static_cast<int>(size), body.get(), &bodyLength);

    FUZZ_REQUIRE(result == 0 || result == 1, "ParseFrame answers 1 or 0");
    FUZZ_REQUIRE(result == (ShouldVerify(data, size) ? 1 : 0), "verdict as the frame rules say");
    FUZZ_REQUIRE(std::memcmp(frame.get(), data, size) == 0, "the frame is only read");
    if (result == 0) {
        FUZZ_REQUIRE(bodyLength == 0, "a refused frame has body length 0");
        return;
    }
    FUZZ_REQUIRE(bodyLength == static_cast<int>(size) - 8, "body length is frame length - 8");
    FUZZ_REQUIRE(std::memcmp(body.get(), data + 6, size - 8) == 0, "body is the frame's middle");
    for (size_t i = size - 8; i < MAX_BODY_LENGTH; ++i)
        FUZZ_REQUIRE(body[i] == BODY_CANARY, "nothing written past the body");

    // A body whose Length field agrees with the frame builds the same frame again, with the
    // host's Address.
    if (BodyLengthField(body.get()) + 1 == bodyLength) {
        unsigned char rebuilt[MAX_FRAME_LENGTH];
        int rebuiltLength = 0;
        FUZZ_REQUIRE(BuildFrame(body.get(), bodyLength + 2, rebuilt, &rebuiltLength) == 1,
                     "a parsed body builds");
        FUZZ_REQUIRE(rebuiltLength == static_cast<int>(size), "rebuilt frame has the same size");
        FUZZ_REQUIRE(std::memcmp(rebuilt + 6, data + 6, size - 6) == 0, "rebuilt frame matches");
    }
}
