#pragma once
// What one run of quorvel-cli ends with: the exit code, one line that says what happened (or what
// went wrong and how to fix it), and the facts a script may want, each -1 or empty when the run
// has none.
#include <string>

struct ActionResult {
    int exitCode = 0;
    std::string message;
    int slot = -1;               // the slot enrolled, verified, identified or deleted
    int score = -1;              // the module's match score
    int match = -1;              // 1 match, 0 no match
    int confirmationCode = -1;   // the module's code of a refused command
    int passwordCandidate = -1;  // 0..2 the candidate accepted, 3 the password given
    std::string file;            // the file written
    std::string rawFile;         // the packed image written
};
