#pragma once
// Opens a real serial device for the module's end of the line: raw bytes, 8 data bits, no
// parity, 2 stop bits, no flow control, non-blocking.
#include <string>

namespace sim {

// The open descriptor, or -1 with the reason in `error`.
int OpenSerialDevice(const std::string& path, int baud, std::string* error);

}  // namespace sim
