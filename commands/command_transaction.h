#pragma once
// One command transaction: a command frame out, one reply frame in.
#include <cstdint>

#include "commands/command_status.h"
#include "link/frame_codec.h"

// The reply fields that callers read: Contents byte 0 and the 16-bit value after it.
struct CommandReply {
    int confirmationCode;
    int value;
};

// Sends a command whose Contents (code first) are the given bytes and waits up to timeLimitMs for
// the reply. Returns SendFailed, NoReply, NotAck or the confirmation code. Whenever a reply frame
// was verified, *value (if not null) receives Contents bytes 1-2, whatever the packet id.
[[nodiscard]] CommandStatus RunCommand(const unsigned char* contents, int contentsLength,
                                       uint32_t timeLimitMs, int* value);

// Puts a page number into two bytes, high byte first; only its low 16 bits are sent.
inline void PutPage(unsigned char* at, int page) {
    at[0] = static_cast<unsigned char>((page >> 8) & 0xFF);
    at[1] = static_cast<unsigned char>(page & 0xFF);
}
