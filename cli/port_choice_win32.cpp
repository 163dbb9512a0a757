#include <windows.h>

#include <cctype>
#include <cstdio>

#include "cli/port_choice.h"

namespace {

std::string PortName(int number) {
    return "COM" + std::to_string(number);
}

// "COM3" or "\\.\COM3", in any letter case, names port 3; the number after it is checked as one.
bool StripComPrefix(const std::string& text, std::string* digits) {
    std::string rest = text;
    if (rest.compare(0, 4, "\\\\.\\") == 0)
        rest = rest.substr(4);
    if (rest.size() < 4)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(rest[i])) != "COM"[i])
            return false;
    }
    *digits = rest.substr(3);
    return true;
}

}  // namespace

bool ParsePortText(const std::string& text, PortChoice* choice, std::string* error) {
    std::string digits = text;
    StripComPrefix(text, &digits);
    int number = 0;
    int read = ParsePortNumber(digits, &number, error);
    if (read < 0)
        return false;
    if (read == 0) {
        *error = "port '" + text + "' is not a COM port number 1..16 (COM3 or \\\\.\\COM3 also " +
                 "name port 3)";
        return false;
    }
    choice->number = number;
    choice->path.clear();
    choice->name = PortName(number);
    return true;
}

PortChoice DevicePortChoice(const std::string& path) {
    PortChoice choice;
    choice.path = path;
    choice.name = path;
    return choice;
}

bool PreparePort(const PortChoice& choice, std::string* error) {
    if (choice.path.empty())
        return true;
    *error = choice.path + ": device paths are taken on Linux; on Windows give a COM port number";
    return false;
}

std::string ExplainPortFailure(const PortChoice& choice, int baudRate) {
    std::string name = PortName(choice.number);
    // Ask the system why, with the same exclusive open the link makes; the link keeps no error.
    std::string device = "\\\\.\\" + name;
    HANDLE probe =
        CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (probe != INVALID_HANDLE_VALUE) {
        CloseHandle(probe);
        return name + " cannot be configured at " + std::to_string(baudRate) +
               " baud - does the port take that rate?";
    }
    DWORD reason = GetLastError();
    if (reason == ERROR_FILE_NOT_FOUND || reason == ERROR_PATH_NOT_FOUND)
        return name + " does not exist on this machine - check the adapter's COM number in the " +
               "Device Manager";
    if (reason == ERROR_ACCESS_DENIED)
        return name + " is in use by another program - close it and try again";
    char text[64];
    std::snprintf(text, sizeof text, " cannot be opened (system error %lu)",
                  static_cast<unsigned long>(reason));
    return name + text;
}
