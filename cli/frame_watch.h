#pragma once
// Watches the frames on the link during one run: prints them for --trace, draws the image
// transfer's progress bar, and remembers the last command and the module's answer to it, so that
// a flow that failed can say which command failed and how.
#include <cstdint>
#include <string>

#include "link/frame_exchange.h"

// The last command frame that went out and the first frame that came back after it.
struct CommandExchange {
    int commandCode;  // -1 while no command went out
    bool answered;
    int replyPacketId;
    int confirmationCode;
    int replyValue;  // Contents bytes 1-2: a score, a page
};

void BeginFrameWatch(bool trace);
void EndFrameWatch();
CommandExchange LastCommandExchange();

// While an image transfer runs, its data bytes are counted; with a bar, the bar is redrawn on the
// error stream at each whole percent and ended with a newline (not while tracing).
void BeginImageProgress(bool bar);
void EndImageProgress();

// A trace line: seconds since the run began, ">" for sent or "<" for received, the frame in hex.
std::string TraceLine(uint32_t elapsedMs, FrameDirection direction, const unsigned char* frame,
                      int length);
// A progress bar line for percent (0..100), starting with a carriage return.
std::string ProgressBar(int percent);
