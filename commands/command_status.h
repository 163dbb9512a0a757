#pragma once
// The outcome of one module command: 0 to 255 is the module's confirmation code unchanged
// (0 = success), the negative values are the host's own failures. Callers treat 0 as success and
// anything else as failure.
using CommandStatus = int;

enum : CommandStatus {
    SendFailed = -1,   // the command frame did not go out: no port, or a write failed
    NoReply = -2,      // no valid reply frame within the time limit
    NotAck = -3,       // a verified reply whose packet id is not Ack
    BadArgument = -4,  // refused before anything was sent
};

// A slot number of the module's template library; negative ones are refused, otherwise the low
// 16 bits are sent.
using TemplatePage = int;
// A feature buffer of the module, addressed by a one-byte number.
using FeatureBuffer = int;
