#include "sim/finger_sensor.h"

#include <sstream>

namespace sim {

void FingerSensor::reset(Policy policy, uint32_t finger) {
    policy_ = policy;
    finger_ = finger;
    attempts_ = 0;
    ranges_.clear();
}

void FingerSensor::lift() {
    reset(Policy::None, 0);
}
void FingerSensor::place(uint32_t finger) {
    reset(finger ? Policy::Fixed : Policy::None, finger);
}
void FingerSensor::setAuto(uint32_t finger) {
    reset(Policy::Auto, finger ? finger : 1);
}

void FingerSensor::setScript(std::vector<FingerRange> ranges) {
    reset(Policy::Script, 0);
    ranges_ = std::move(ranges);
}

uint32_t FingerSensor::capture() {
    ++attempts_;
    switch (policy_) {
        case Policy::None:
            return 0;
        case Policy::Fixed:
            return finger_;
        case Policy::Auto:
            // On at attempts 1, 3, 5...: every wait for a finger or for a lift ends within two.
            return attempts_ % 2 == 1 ? finger_ : 0;
        case Policy::Script:
            for (const FingerRange& range : ranges_) {
                if (attempts_ >= range.from && attempts_ <= range.to)
                    return range.finger;
            }
            return 0;
    }
    return 0;
}

bool ParsePositive(const std::string& text, uint32_t highest, uint32_t* value) {
    if (text.empty() || text.size() > 10)
        return false;
    uint64_t number = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + static_cast<uint64_t>(c - '0');
    }
    if (number < 1 || number > highest)
        return false;
    *value = static_cast<uint32_t>(number);
    return true;
}

bool ParseFingerScript(const std::string& text, std::vector<FingerRange>* ranges) {
    std::vector<FingerRange> parsed;
    std::stringstream list(text);
    std::string item;
    while (std::getline(list, item, ',')) {
        size_t at = item.find('@');
        size_t dash = item.find('-', at == std::string::npos ? 0 : at);
        if (at == std::string::npos || dash == std::string::npos)
            return false;
        FingerRange range{};
        if (!ParsePositive(item.substr(0, at), UINT32_MAX, &range.finger) ||
            !ParsePositive(item.substr(at + 1, dash - at - 1), UINT32_MAX, &range.from) ||
            !ParsePositive(item.substr(dash + 1), UINT32_MAX, &range.to) || range.from > range.to) {
            return false;
        }
        parsed.push_back(range);
    }
    // getline drops a trailing empty item: "1@1-2," is as malformed as ",1@1-2".
    if (parsed.empty() || text.back() == ',')
        return false;
    *ranges = std::move(parsed);
    return true;
}

bool ApplyFingerPolicy(const std::string& text, FingerSensor* sensor) {
    uint32_t finger = 1;
    if (text == "none") {
        sensor->lift();
    } else if (text == "auto") {
        sensor->setAuto(1);
    } else if (text.rfind("auto:", 0) == 0) {
        if (!ParsePositive(text.substr(5), UINT32_MAX, &finger))
            return false;
        sensor->setAuto(finger);
    } else {
        if (!ParsePositive(text, UINT32_MAX, &finger))
            return false;
        sensor->place(finger);
    }
    return true;
}

}  // namespace sim
