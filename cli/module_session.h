#pragma once
// One run's connection to the module: open the port, log in, and close at the end. The login
// tries the dialog's three candidate passwords in turn (all-zero, "qmtz", "rduk"), or only the
// password given on the command line.
#include "cli/action_result.h"
#include "cli/port_choice.h"

enum { PASSWORD_SIZE = 4, CANDIDATE_COUNT = 3, GIVEN_PASSWORD = CANDIDATE_COUNT };

struct SessionSettings {
    PortChoice port;
    int baudRate = 57600;
    bool passwordGiven = false;
    unsigned char password[PASSWORD_SIZE] = {};
};

// Opens the port and logs in. true with result->passwordCandidate set; false with the exit code
// and a message in result.
bool OpenModuleSession(const SessionSettings& settings, ActionResult* result);
void CloseModuleSession();

// How messages name an accepted candidate: "the all-zero password", ...
const char* CandidateName(int candidate);
