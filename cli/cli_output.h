#pragma once
// Where one run of quorvel-cli writes. Results and prompts go to the output stream, messages,
// trace lines and the progress bar to the error stream; with --json the output stream carries
// only the result object, so the prompts go to the error stream too. The worker and the main
// thread both write, so every write holds one lock.
#include <ostream>
#include <string>

void BeginCliOutput(std::ostream* out, std::ostream* err, bool promptsToErr, bool errIsTerminal);
void EndCliOutput();

void WriteOut(const std::string& text);
void WriteErr(const std::string& text);
// One operator prompt, on a line of its own.
void WritePrompt(const char* prompt);
// True when the error stream is a terminal, where a progress bar can redraw its line.
bool ErrIsTerminal();
