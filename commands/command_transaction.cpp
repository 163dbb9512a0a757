#include "commands/command_transaction.h"

#include <cstring>

#include "link/frame_exchange.h"

CommandStatus RunCommand(const unsigned char* contents, int contentsLength, uint32_t timeLimitMs,
                         int* value) {
    unsigned char request[MAX_FRAME_LENGTH];
    unsigned char reply[MAX_FRAME_LENGTH];
    std::memset(request, 0, sizeof request);
    std::memset(reply, 0, sizeof reply);

    PutBodyHeader(request, PacketId::Command, contentsLength);
    std::memcpy(request + BODY_HEADER_LENGTH, contents, static_cast<size_t>(contentsLength));

    if (!SendFrameBody(request))
        return SendFailed;
    if (!ReceiveFrameBody(reply, timeLimitMs))
        return NoReply;
    // Fields the reply does not carry read as 0, since the buffer was cleared.
    if (value)
        *value = reply[4] * 256 + reply[5];
    if (reply[0] != PacketId::Ack)
        return NotAck;
    return reply[3];
}
