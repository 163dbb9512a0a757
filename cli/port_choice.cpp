#include "cli/port_choice.h"

#include <cstdlib>

#include "link/module_port.h"

int ParsePortNumber(const std::string& text, int* number, std::string* error) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return 0;
    // Long digit strings are out of range whatever they say; strtol is spared their overflow.
    long value = text.size() > 6 ? 1000000 : std::strtol(text.c_str(), nullptr, 10);
    if (value < FIRST_PORT_NUMBER || value > LAST_PORT_NUMBER) {
        *error = "port " + text + " is out of range 1..16";
        return -1;
    }
    *number = static_cast<int>(value);
    return 1;
}
