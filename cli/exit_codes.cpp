#include "cli/exit_codes.h"

#include <cstdio>

const char* ExitOutcomeName(int exitCode) {
    switch (exitCode) {
        case CLI_EXIT_OK:
            return "ok";
        case CLI_EXIT_REFUSED:
            return "refused";
        case CLI_EXIT_USAGE:
            return "bad usage";
        case CLI_EXIT_NO_REPLY:
            return "no reply";
        case CLI_EXIT_PORT_FAILURE:
            return "port failure";
        case CLI_EXIT_FINGER_TIMEOUT:
            return "finger time-out";
        case CLI_EXIT_NO_MATCH:
            return "no match";
        case CLI_EXIT_HOST_FAILURE:
            return "host failure";
    }
    return "unknown";
}

int ExitForStatus(CommandStatus status) {
    if (status == 0)
        return CLI_EXIT_OK;
    if (status > 0)
        return CLI_EXIT_REFUSED;
    switch (status) {
        case SendFailed:
            return CLI_EXIT_PORT_FAILURE;
        case BadArgument:
            return CLI_EXIT_USAGE;
        default:
            return CLI_EXIT_NO_REPLY;
    }
}

std::string CommandName(int code) {
    static const struct {
        int code;
        const char* name;
    } names[] = {
        {0x01, "CaptureImage"},       {0x02, "ExtractFeatures"}, {0x03, "MatchFeatures"},
        {0x04, "SearchTemplates"},    {0x05, "MergeFeatures"},   {0x06, "StoreTemplate"},
        {0x07, "LoadTemplate"},       {0x08, "ReadFeatures"},    {0x09, "WriteFeatures"},
        {0x0A, "ReadImage"},          {0x0C, "DeleteTemplates"}, {0x0D, "EmptyTemplates"},
        {0x0E, "SetSystemParameter"}, {0x12, "SetPassword"},     {0x13, "VerifyPassword"},
    };
    for (const auto& entry : names) {
        if (entry.code == code)
            return entry.name;
    }
    char text[32];
    std::snprintf(text, sizeof text, "command 0x%02X", code & 0xFF);
    return text;
}

std::string DescribeFailure(int commandCode, CommandStatus status) {
    std::string name = CommandName(commandCode);
    char text[160];
    if (status > 0) {
        std::snprintf(text, sizeof text, "the module refused %s with confirmation code 0x%02X",
                      name.c_str(), status & 0xFF);
        return text;
    }
    switch (status) {
        case SendFailed:
            return name + " could not be sent: the port failed";
        case NotAck:
            return "the module answered " + name + " with a frame that is not an acknowledgement";
        case BadArgument:
            return name + " was refused on the host: an argument is out of range";
        default:
            return "no reply from the module to " + name;
    }
}
