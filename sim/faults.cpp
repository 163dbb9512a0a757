#include "sim/faults.h"

#include <sstream>

namespace sim {
namespace {

struct KindName {
    FaultKind kind;
    const char* name;
    int defaultValue;
};

const KindName kKinds[] = {
    {FaultKind::NoReply, "no-reply", 0},
    {FaultKind::Noise, "noise", 3},
    {FaultKind::BadChecksum, "bad-checksum", 0},
    {FaultKind::Split, "split", 200},
    {FaultKind::WrongPacketId, "wrong-packet-id", 8},
    {FaultKind::Code, "code", 1},
    {FaultKind::StopStream, "stop-stream", 0},
    {FaultKind::OversizeStream, "oversize-stream", 0},
    {FaultKind::AckInStream, "ack-in-stream", 1},
    {FaultKind::Delay, "delay", 1000},
};

const KindName& EntryOf(FaultKind kind) {
    for (const KindName& entry : kKinds) {
        if (entry.kind == kind)
            return entry;
    }
    return kKinds[0];
}

bool ParseNumber(const std::string& text, int base, long highest, long* value) {
    if (text.empty() || text.size() > 8)
        return false;
    size_t used = 0;
    long number = 0;
    try {
        number = std::stol(text, &used, base);
    } catch (...) {
        return false;
    }
    if (used != text.size() || number < 0 || number > highest)
        return false;
    *value = number;
    return true;
}

}  // namespace

int ValueOf(const Fault& fault) {
    return fault.value == kDefaultValue ? EntryOf(fault.kind).defaultValue : fault.value;
}

const char* FaultName(FaultKind kind) {
    return EntryOf(kind).name;
}

bool ParseFaultKind(const std::string& name, FaultKind* kind) {
    for (const KindName& entry : kKinds) {
        if (name == entry.name) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

bool ParseFault(const std::string& text, Fault* fault, std::string* reason) {
    std::istringstream words(text);
    std::string word;
    Fault parsed;
    if (!(words >> word) || !ParseFaultKind(word, &parsed.kind)) {
        *reason = "unknown fault kind";
        return false;
    }
    while (words >> word) {
        size_t equals = word.find('=');
        std::string key = word.substr(0, equals);
        std::string argument = equals == std::string::npos ? "" : word.substr(equals + 1);
        long number = 0;
        if (key == "cmd" && ParseNumber(argument, 16, 255, &number)) {
            parsed.command = static_cast<int>(number);
        } else if (key == "times" && ParseNumber(argument, 10, 1000000, &number) && number > 0) {
            parsed.times = static_cast<uint32_t>(number);
        } else if (key == "value" && ParseNumber(argument, 10, 10000000, &number)) {
            parsed.value = static_cast<int>(number);
        } else {
            *reason = "bad option " + word;
            return false;
        }
    }
    bool codeKind = parsed.kind == FaultKind::Code || parsed.kind == FaultKind::AckInStream;
    if (codeKind && parsed.value != kDefaultValue && (parsed.value < 1 || parsed.value > 255)) {
        *reason = "a confirmation code is 1 to 255";
        return false;
    }
    if (parsed.kind == FaultKind::OversizeStream && parsed.value == 0) {
        *reason = "an oversize stream carries at least 1 byte more";
        return false;
    }
    if (parsed.kind == FaultKind::WrongPacketId && parsed.value != kDefaultValue &&
        (parsed.value > 255 || parsed.value == 7)) {
        *reason = "a wrong packet id is 0 to 255 but not 7";
        return false;
    }
    *fault = parsed;
    return true;
}

void FaultPlan::arm(const Fault& fault) {
    if (fault.times > 0)
        faults_.push_back(fault);
}

std::vector<Fault> FaultPlan::take(uint8_t command) {
    std::vector<Fault> taken;
    for (Fault& fault : faults_) {
        if (fault.command != kAnyCommand && fault.command != command)
            continue;
        bool seen = false;
        for (const Fault& other : taken)
            seen = seen || other.kind == fault.kind;
        if (seen)
            continue;
        taken.push_back(fault);
        --fault.times;
    }
    std::vector<Fault> left;
    for (const Fault& fault : faults_) {
        if (fault.times > 0)
            left.push_back(fault);
    }
    faults_.swap(left);
    return taken;
}

}  // namespace sim
