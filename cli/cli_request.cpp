#include "cli/cli_request.h"

#include <cstdlib>

#include "cli/simulated_module.h"
#include "cli/cli_files.h"
#include "commands/module_commands.h"

namespace {

enum { HIGHEST_SLOT = 65535, HIGHEST_BAUD_RATE = 4000000, HIGHEST_FINGER = 65535 };

bool IsDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// A decimal number of at most 9 digits, so that it fits an int; longer ones read as huge.
long ReadDecimal(const std::string& text) {
    return text.size() > 9 ? 1000000000L : std::strtol(text.c_str(), nullptr, 10);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ReadFinger(const std::string& text, int* finger, std::string* error) {
    if (!IsDigits(text) || ReadDecimal(text) > HIGHEST_FINGER) {
        *error = "finger '" + text + "' is not a number 0..65535 (0: no finger ever comes)";
        return false;
    }
    *finger = static_cast<int>(ReadDecimal(text));
    return true;
}

bool ReadConnection(const CliOptions& options, CliRequest* request, SessionSettings* settings,
                    std::string* error) {
    if (options.simulate && !options.port.empty()) {
        *error = "give either --port or --simulate, not both";
        return false;
    }
    if (!options.simulate && options.port.empty()) {
        *error = "no port: give --port N or --port PATH (or --simulate for the simulated module)";
        return false;
    }
    if (!options.simulate && !options.finger.empty()) {
        *error = "--finger chooses the simulated module's finger; it needs --simulate";
        return false;
    }
    if (options.simulate && !SimulationAvailable(error))
        return false;
    if (!options.port.empty() && !ParsePortText(options.port, &settings->port, error))
        return false;
    if (!options.finger.empty() && !ReadFinger(options.finger, &request->finger, error))
        return false;
    if (!ParseBaudRate(options.baud, &settings->baudRate, error))
        return false;
    settings->passwordGiven = !options.password.empty();
    return !settings->passwordGiven || ParsePassword(options.password, settings->password, error);
}

bool ReadActionValues(const CliOptions& options, CliRequest* request, std::string* error) {
    const std::string& action = options.action;
    if (action == "enroll" || action == "verify" || action == "delete")
        return ParseSlot(options.slot, &request->slot, error);
    if (action == "erase" && !options.yes) {
        *error = "erase empties the module's whole library; add --yes to go ahead";
        return false;
    }
    if (action == "set-baud") {
        if (options.baudValue == "57600") {
            request->baudCode = BAUD_CODE_57600;
        } else if (options.baudValue == "115200") {
            request->baudCode = BAUD_CODE_115200;
        } else {
            *error = "set-baud takes 57600 or 115200, not '" + options.baudValue + "'";
            return false;
        }
    }
    if (action == "compare") {
        return ReadTemplateFile(options.files[0], &request->first, error) &&
               ReadTemplateFile(options.files[1], &request->second, error);
    }
    if (action == "image" && options.out.empty() && options.raw.empty()) {
        *error = "image needs --out FILE.png, --raw FILE or both";
        return false;
    }
    request->outPath = options.out;
    request->rawPath = options.raw;
    if (!request->outPath.empty() && !CheckOutputFile(request->outPath, error))
        return false;
    return request->rawPath.empty() || CheckOutputFile(request->rawPath, error);
}

}  // namespace

bool ParseSlot(const std::string& text, int* slot, std::string* error) {
    bool negative = !text.empty() && text[0] == '-';
    std::string digits = negative ? text.substr(1) : text;
    if (!IsDigits(digits)) {
        *error = "slot '" + text + "' is not a number; slots are 0..65535";
        return false;
    }
    long value = ReadDecimal(digits);
    if (negative || value > HIGHEST_SLOT) {
        *error = "slot " + text + " is out of range 0..65535";
        return false;
    }
    *slot = static_cast<int>(value);
    return true;
}

bool ParsePassword(const std::string& text, unsigned char* password, std::string* error) {
    if (text.size() == 2 * PASSWORD_SIZE) {
        for (int i = 0; i < PASSWORD_SIZE; ++i) {
            int high = HexDigit(text[2 * i]);
            int low = HexDigit(text[2 * i + 1]);
            if (high < 0 || low < 0) {
                *error = "password '" + text + "' is not 8 hex digits";
                return false;
            }
            password[i] = static_cast<unsigned char>(high * 16 + low);
        }
        return true;
    }
    if (text.size() == PASSWORD_SIZE) {
        for (int i = 0; i < PASSWORD_SIZE; ++i)
            password[i] = static_cast<unsigned char>(text[i]);
        return true;
    }
    *error = "password '" + text + "' is neither 8 hex digits (0000abcd) nor 4 characters (qmtz)";
    return false;
}

bool ParseBaudRate(const std::string& text, int* baudRate, std::string* error) {
    if (!IsDigits(text)) {
        *error = "baud rate '" + text + "' is not a number (57600, 115200, ...)";
        return false;
    }
    long value = ReadDecimal(text);
    if (value < 1 || value > HIGHEST_BAUD_RATE) {
        *error = "baud rate " + text + " is out of range 1..4000000";
        return false;
    }
    *baudRate = static_cast<int>(value);
    return true;
}

bool ReadCliRequest(const CliOptions& options, CliRequest* request, SessionSettings* settings,
                    std::string* error) {
    request->action = options.action;
    return ReadConnection(options, request, settings, error) &&
           ReadActionValues(options, request, error);
}
