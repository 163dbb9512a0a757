#pragma once
// The port of one run: --port as a number or a device path, or the simulated module's device.
// Reading the text changes nothing; PreparePort then points the link at the device.
#include <string>

struct PortChoice {
    int number = 0;    // 1..16, what OpenModulePort is given
    std::string path;  // a device path (POSIX), empty for a plain number
    std::string name;  // how messages name the port: "COM3", "/dev/ttyUSB0", "port 3 (/dev/ttyS2)"
};

// Reads --port. false with a message that names the problem and the fix.
bool ParsePortText(const std::string& text, PortChoice* choice, std::string* error);

// Reads a port number "1".."16" (digits only): 1 with the number; 0 for text that is not a plain
// number; -1 for a number out of range, with the message in error.
int ParsePortNumber(const std::string& text, int* number, std::string* error);

// The simulated module's pseudo-terminal, on a port number of its own (POSIX).
PortChoice DevicePortChoice(const std::string& path);

// Points the port number at its device where the platform needs it. false with a message.
bool PreparePort(const PortChoice& choice, std::string* error);

// Why the port did not open, and what to do about it.
std::string ExplainPortFailure(const PortChoice& choice, int baudRate);
