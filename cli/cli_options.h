#pragma once
// The command line of quorvel-cli: the connection options, one action and its own options. The
// grammar and the help texts are CLI11's; the values are kept as text and read by RunCli, so that
// each bad value gets a message that names the problem and the fix.
#include <ostream>
#include <string>
#include <vector>

struct CliOptions {
    std::string action;
    std::string port;  // empty: not given
    std::string baud = "57600";
    std::string password;  // empty: the three candidates
    bool simulate = false;
    std::string finger;  // empty: not given
    bool json = false;
    bool trace = false;
    std::string slot;                // enroll, verify, delete
    bool yes = false;                // erase
    std::string baudValue;           // set-baud
    std::string out;                 // enroll-template, capture-template, image
    std::string raw;                 // image
    std::vector<std::string> files;  // compare
};

enum ParseOutcome { PARSE_RUN, PARSE_HELP, PARSE_FAILED };

// Reads argv. PARSE_HELP when help was printed to out; PARSE_FAILED with a message in error.
ParseOutcome ParseCliOptions(int argc, const char* const* argv, std::ostream& out,
                             CliOptions* options, std::string* error);
