#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "cli/port_choice.h"
#include "link/module_port.h"
#include "link/port_device_path.h"

namespace {

// A device given by its path goes on the last port number; the run uses no other.
enum { DEVICE_PATH_PORT = LAST_PORT_NUMBER };

}  // namespace

bool ParsePortText(const std::string& text, PortChoice* choice, std::string* error) {
    int number = 0;
    int read = ParsePortNumber(text, &number, error);
    if (read < 0)
        return false;
    if (read > 0) {
        choice->number = number;
        choice->path.clear();
        choice->name = "port " + text + " (" + ModulePortDevice(number) + ")";
        return true;
    }
    if (text.find('/') == std::string::npos) {
        *error =
            "port '" + text + "' is neither a number 1..16 nor a device path such as /dev/ttyUSB0";
        return false;
    }
    *choice = DevicePortChoice(text);
    return true;
}

PortChoice DevicePortChoice(const std::string& path) {
    PortChoice choice;
    choice.number = DEVICE_PATH_PORT;
    choice.path = path;
    choice.name = path;
    return choice;
}

bool PreparePort(const PortChoice& choice, std::string* error) {
    if (choice.path.empty())
        return true;
    if (!SetModulePortDevice(choice.number, choice.path.c_str())) {
        *error = choice.path + ": the path is too long for a device path";
        return false;
    }
    return true;
}

std::string ExplainPortFailure(const PortChoice& choice, int baudRate) {
    std::string path = choice.path.empty() ? ModulePortDevice(choice.number) : choice.path;
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
        if (errno == EACCES)
            return path + ": permission denied — is the user in the dialout group?";
        return path + ": no such device — is the adapter plugged in? (--port takes 1..16 or a " +
               "device path)";
    }
    if (access(path.c_str(), R_OK | W_OK) != 0 && errno == EACCES)
        return path + ": permission denied — is the user in the dialout group?";
    if (!S_ISCHR(status.st_mode))
        return path + ": not a serial device";
    return path + ": cannot be opened or configured at " + std::to_string(baudRate) +
           " baud — is another program using it, and does the port take that rate?";
}
