#pragma once
// A run's action with its values read and checked: everything that can be wrong with the command
// line or the input files is found here, before the port is touched.
#include <string>

#include "cli/cli_options.h"
#include "cli/module_session.h"
#include "commands/bulk_transfers.h"

struct CliRequest {
    std::string action;
    int slot = -1;
    int baudCode = 0;       // set-baud
    int finger = 1;         // --simulate
    std::string outPath;    // enroll-template, capture-template, image
    std::string rawPath;    // image
    TemplateStore first{};  // compare
    TemplateStore second{};
};

// Reads the options into request and settings (all but the port of --simulate, which exists only
// once the simulated module runs). false with a message that names the problem and the fix.
bool ReadCliRequest(const CliOptions& options, CliRequest* request, SessionSettings* settings,
                    std::string* error);

// Reads a slot number, 0..65535. false with a message.
bool ParseSlot(const std::string& text, int* slot, std::string* error);
// Reads a password: 8 hex digits, or 4 characters taken as they are. false with a message.
bool ParsePassword(const std::string& text, unsigned char* password, std::string* error);
// Reads a baud rate: a positive decimal number. false with a message.
bool ParseBaudRate(const std::string& text, int* baudRate, std::string* error);
