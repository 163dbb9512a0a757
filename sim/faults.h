#pragma once
// Faults that the simulated module can be told to show on chosen commands, and the plan of the
// ones armed. Each fault applies to the next `times` commands with its code (or with any code).
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

enum class FaultKind {
    NoReply,         // the command is carried out, nothing is sent back
    Noise,           // `value` bytes of noise (default 3) before the reply
    BadChecksum,     // the first reply frame's Checksum is off by one
    Split,           // the first reply frame goes out in three pieces, `value` ms apart (200)
    WrongPacketId,   // the first reply frame carries packet id `value` (default 8) instead of Ack
    Code,            // the command is refused with confirmation code `value` (default 1)
    StopStream,      // an upload's stream ends without its end frame
    OversizeStream,  // an upload's stream carries `value` data bytes more than it holds (default:
                     // its data size and one frame more, so twice its data and one frame)
    AckInStream,     // an Ack with code `value` (default 1) in place of one data byte, after the
                     // first data frame of an upload's stream
    Delay,           // the reply waits `value` ms (default 1000) before it goes out
};

enum : int { kAnyCommand = -1, kDefaultValue = -1 };

struct Fault {
    FaultKind kind = FaultKind::NoReply;
    int command = kAnyCommand;  // the command code it applies to
    uint32_t times = 1;         // how many commands it still applies to
    int value = kDefaultValue;  // see the kinds above
};

// The fault's value, or the kind's default when none was given.
int ValueOf(const Fault& fault);

// The control channel's names: "no-reply", "noise", ..., "delay".
const char* FaultName(FaultKind kind);
bool ParseFaultKind(const std::string& name, FaultKind* kind);

// Reads "KIND [cmd=HEX] [times=N] [value=N]" (the words after "fault"); false with a reason when
// the text is not a fault the module can show.
bool ParseFault(const std::string& text, Fault* fault, std::string* reason);

class FaultPlan {
  public:
    void arm(const Fault& fault);
    void clear() { faults_.clear(); }
    // The faults that apply to a command with this code, at most one of each kind, the first
    // armed first; each of them is used up once.
    std::vector<Fault> take(uint8_t command);
    size_t armed() const { return faults_.size(); }

  private:
    std::vector<Fault> faults_;
};

}  // namespace sim
