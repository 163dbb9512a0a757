// ReadFeatures on arbitrary sequences of reply frames (transfer_script.h) through the in-memory
// port. The template store is a buffer of exactly 512 bytes, so AddressSanitizer sees any write
// past it; the status, storedLength and the stored bytes must be what the transfer's rules give
// (a model of them below).
#include <cstring>
#include <memory>
#include <vector>

#include "commands/bulk_transfers.h"
#include "fuzz/fuzz_require.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/transfer_script.h"
#include "link/frame_codec.h"
#include "link/module_port.h"
#include "link/port_backend_memory.h"
#include "link/tick_counter.h"

namespace {

using namespace transfer_script;

enum : int { UNTOUCHED_LENGTH = -12345 };
enum : uint32_t { LIMIT_MS = 16000 };
enum : uint8_t { STORE_CANARY = 0xC3 };

struct Expected {
    CommandStatus status = NoReply;
    int storedLength = UNTOUCHED_LENGTH;
    std::vector<uint8_t> stored;  // what lands at the start of the store
};

// A frame whose gap is longer than the limit never arrives in time.
bool ArrivesInTime(const ScriptFrame& frame) {
    return GapPasses(frame.gap) * READ_WAIT_MS <= LIMIT_MS;
}

Expected Model(const Script& script) {
    Expected e;
    if (OpeningEndsTransfer(script, &e.status))
        return e;
    CommandStatus result = 0;
    uint32_t streamTime = 0;  // only the read waits move the port's clock in these runs
    for (const ScriptFrame& frame : script.frames) {
        if (!ArrivesInTime(frame) || frame.badChecksum)
            return e;
        streamTime += GapPasses(frame.gap) * READ_WAIT_MS;
        if (frame.packetId == PacketId::Ack && !frame.contents.empty() && frame.contents[0] != 0)
            result = NotAck;
        // A stream longer than a template ends the transfer with nothing written past it.
        if (e.stored.size() + frame.contents.size() > TEMPLATE_SIZE)
            return e;
        e.stored.insert(e.stored.end(), frame.contents.begin(), frame.contents.end());
        if (streamTime > LIMIT_MS)
            return e;
        if (frame.packetId == PacketId::EndData) {
            e.storedLength = static_cast<int>(e.stored.size());
            e.status = e.stored.empty() ? NoReply : result;
            return e;
        }
    }
    return e;  // the stream stopped before its end frame
}

}  // namespace

void FuzzReadFeatures(const uint8_t* data, size_t size) {
    Script script = ReadScript(data, size, TEMPLATE_SIZE);
    ResetMemoryPort(0x10000, 0);
    SetTickSource(&MemoryPortTicks);
    FUZZ_REQUIRE(OpenModulePort(2, 57600) == 1, "the memory port opens");
    FeedScript(script);

    std::unique_ptr<unsigned char[]> store(new unsigned char[TEMPLATE_SIZE]);
    std::memset(store.get(), STORE_CANARY, TEMPLATE_SIZE);
    int storedLength = UNTOUCHED_LENGTH;
    CommandStatus status = ReadFeatures(store.get(), &storedLength);
    std::vector<unsigned char> written = MemoryPortWritten();
    CloseModulePort();
    SetTickSource(nullptr);

    static const unsigned char kUpload[] = {0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01,
                                            0x00, 0x04, 0x08, 0x01, 0x00, 0x0E};
    FUZZ_REQUIRE(written == std::vector<unsigned char>(kUpload, kUpload + sizeof kUpload),
                 "one upload command of buffer 1 goes out, nothing else");

    bool known =
        status == 0 || status == NoReply || status == NotAck || (status >= 1 && status <= 255);
    FUZZ_REQUIRE(known, "a status that ReadFeatures can return");
    Expected expected = Model(script);
    FUZZ_REQUIRE(status == expected.status, "status as the transfer's rules give it");
    FUZZ_REQUIRE(storedLength == expected.storedLength, "storedLength only at the end frame");
    FUZZ_REQUIRE(storedLength == UNTOUCHED_LENGTH || (storedLength >= 0 && storedLength <= 512),
                 "storedLength within the template");
    size_t stored = expected.stored.size();
    FUZZ_REQUIRE(stored == 0 || std::memcmp(store.get(), expected.stored.data(), stored) == 0,
                 "the store holds the Contents of every frame, in order");
    for (size_t i = stored; i < TEMPLATE_SIZE; ++i)
        FUZZ_REQUIRE(store[i] == STORE_CANARY, "nothing written past the bytes received");
}
