#include "cli/cli_output.h"

#include <mutex>

namespace {

std::mutex outputLock;
std::ostream* outStream = nullptr;
std::ostream* errStream = nullptr;
bool promptsGoToErr = false;
bool errTerminal = false;

enum Stream { OUT, ERR, PROMPTS };

void Write(Stream which, const std::string& text) {
    std::lock_guard<std::mutex> hold(outputLock);
    std::ostream* stream = which == OUT     ? outStream
                           : which == ERR   ? errStream
                           : promptsGoToErr ? errStream
                                            : outStream;
    if (!stream)
        return;
    *stream << text;
    stream->flush();
}

}  // namespace

void BeginCliOutput(std::ostream* out, std::ostream* err, bool promptsToErr, bool errIsTerminal) {
    std::lock_guard<std::mutex> hold(outputLock);
    outStream = out;
    errStream = err;
    promptsGoToErr = promptsToErr;
    errTerminal = errIsTerminal;
}

void EndCliOutput() {
    std::lock_guard<std::mutex> hold(outputLock);
    outStream = nullptr;
    errStream = nullptr;
}

void WriteOut(const std::string& text) {
    Write(OUT, text);
}

void WriteErr(const std::string& text) {
    Write(ERR, text);
}

void WritePrompt(const char* prompt) {
    std::string line = std::string(prompt) + "\n";
    Write(PROMPTS, line);
}

bool ErrIsTerminal() {
    std::lock_guard<std::mutex> hold(outputLock);
    return errTerminal;
}
