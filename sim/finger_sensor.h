#pragma once
// The module's finger sensor: which finger (an identity number, 1 and up; 0 means none) lies on
// it at each CaptureImage attempt. One policy holds at a time: no finger, one finger that stays,
// the auto policy (a finger on at every other attempt: on, off, on, ...), or a script of attempt
// ranges. Attempts are counted from 1 since the policy was set.
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

// Finger `finger` is on the sensor from attempt `from` to attempt `to`, both included.
struct FingerRange {
    uint32_t finger;
    uint32_t from;
    uint32_t to;
};

class FingerSensor {
  public:
    void lift();
    void place(uint32_t finger);
    void setAuto(uint32_t finger = 1);
    void setScript(std::vector<FingerRange> ranges);

    // One CaptureImage attempt: the finger on the sensor now, or 0.
    uint32_t capture();
    // Attempts since the policy was set.
    uint32_t attempts() const { return attempts_; }

  private:
    enum class Policy { None, Fixed, Auto, Script };
    void reset(Policy policy, uint32_t finger);

    Policy policy_ = Policy::None;
    uint32_t finger_ = 0;
    uint32_t attempts_ = 0;
    std::vector<FingerRange> ranges_;
};

// Reads "ID@FROM-TO[,ID@FROM-TO...]"; IDs and attempts from 1, FROM no later than TO.
bool ParseFingerScript(const std::string& text, std::vector<FingerRange>* ranges);

// Reads a finger policy, "none", "ID" or "auto[:ID]", and sets it on the sensor.
bool ApplyFingerPolicy(const std::string& text, FingerSensor* sensor);

// Reads a decimal number from 1 to `highest`; the whole text must be the number.
bool ParsePositive(const std::string& text, uint32_t highest, uint32_t* value);

}  // namespace sim
