#include "sim/control_commands.h"

#include <sstream>
#include <vector>

#include "sim/module_server.h"

namespace sim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Rest(std::istringstream& words) {
    std::string rest;
    std::getline(words >> std::ws, rest);
    return rest;
}

}  // namespace

bool ParsePassword(const std::string& text, Password* password) {
    if (text.size() != 8)
        return false;
    Password parsed{};
    for (size_t i = 0; i < 4; ++i) {
        int high = HexDigit(text[2 * i]);
        int low = HexDigit(text[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        parsed[i] = static_cast<uint8_t>(high * 16 + low);
    }
    *password = parsed;
    return true;
}

bool ParseScore(const std::string& text, int* score) {
    uint32_t value = 0;
    if (text == "0") {
        *score = 0;
        return true;
    }
    if (!ParsePositive(text, 65535, &value))
        return false;
    *score = static_cast<int>(value);
    return true;
}

std::string RunControlCommand(ModuleServer& server, const std::string& line, bool* quit) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    std::vector<std::string> args;
    std::string arg;
    if (verb != "fault") {
        while (words >> arg)
            args.push_back(arg);
    }
    uint32_t finger = 1;
    int score = 0;
    Password password{};

    if (verb.empty())
        return "error empty command";
    if (verb == "place" && args.size() == 1 && ParsePositive(args[0], UINT32_MAX, &finger)) {
        server.placeFinger(finger);
        return "ok place " + args[0];
    }
    if (verb == "lift" && args.empty()) {
        server.liftFinger();
        return "ok lift";
    }
    if (verb == "auto" && args.size() <= 1 &&
        (args.empty() || ParsePositive(args[0], UINT32_MAX, &finger))) {
        server.setAutoFinger(finger);
        return "ok auto " + std::to_string(finger);
    }
    if (verb == "score" && args.size() == 1 && args[0] == "off") {
        server.forceScore(std::nullopt);
        return "ok score off";
    }
    if (verb == "score" && args.size() == 1 && ParseScore(args[0], &score)) {
        server.forceScore(score);
        return "ok score " + std::to_string(score);
    }
    if (verb == "password" && args.size() == 1 && ParsePassword(args[0], &password)) {
        server.setPassword(password);
        return "ok password " + args[0];
    }
    if (verb == "silent" && args.size() == 1 && (args[0] == "on" || args[0] == "off")) {
        server.setSilent(args[0] == "on");
        return "ok silent " + args[0];
    }
    if (verb == "fault") {
        std::string text = Rest(words);
        Fault fault;
        std::string reason;
        if (!ParseFault(text, &fault, &reason))
            return "error " + reason;
        server.armFault(fault);
        return "ok fault " + text;
    }
    if (verb == "clear-faults" && args.empty()) {
        server.clearFaults();
        return "ok clear-faults";
    }
    if (verb == "captures" && args.empty())
        return "ok " + std::to_string(server.captures());
    if (verb == "page" && args.size() == 1) {
        uint32_t page = 0;
        if (args[0] != "0" && !ParsePositive(args[0], kLibraryPages - 1, &page)) {
            return "error page is 0 to " + std::to_string(kLibraryPages - 1);
        }
        return server.pageStored(page) ? "ok stored" : "ok empty";
    }
    if (verb == "quit" && args.empty()) {
        *quit = true;
        return "ok quit";
    }
    return "error bad command: " + line;
}

}  // namespace sim
