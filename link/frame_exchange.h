#pragma once
// Moves single frames between the host and the module over ModulePort. Both calls report 1 for
// success and 0 for failure. The port carries one exchange at a time; callers keep their
// transactions apart.
#include <cstdint>

#include "link/frame_codec.h"

// Purges the port's input queue, then writes the frame of body (Length + 1 bytes read) one byte per
// system call. 1 when every byte went out.
[[nodiscard]] int SendFrameBody(const FrameBody* body);

// Hunts for the next Header, reads exactly that frame and verifies it, within timeLimitMs: once for
// the hunt and once, afresh, for the rest of the frame. 1 with the frame's body in body (at least
// MAX_BODY_LENGTH bytes); on 0 the buffer's contents are undefined.
[[nodiscard]] int ReceiveFrameBody(FrameBody* body, uint32_t timeLimitMs);

// Tools may watch every frame that went out whole and every reply frame that verified, as whole
// frames, on the thread that moved them. Nothing watches unless a tool asks; null stops it.
enum FrameDirection { FRAME_SENT, FRAME_RECEIVED };
using FrameWatcher = void (*)(FrameDirection direction, const unsigned char* frame, int length);
void WatchFrames(FrameWatcher watcher);
