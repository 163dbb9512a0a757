#pragma once
// A port backend that lives in memory, for tests and fuzzers only; it is never built into the
// product. What the module sends is fed by the harness, what the host writes is collected, and
// time is the port's own clock: it moves only when a byte crosses the line or a pass of a receive
// finds nothing (one read wait), so a 16-second limit passes without any real wait.
#include <cstddef>
#include <cstdint>
#include <vector>

// Empties both directions, closes the port, plugs it back in and sets the clock to startTicks;
// every byte read or written then takes msPerByte on that clock.
void ResetMemoryPort(uint32_t startTicks, uint32_t msPerByte);

// Bytes that arrive after everything fed so far.
void FeedMemoryPort(const unsigned char* bytes, size_t count);

// At this point of the stream, the next `passes` reads find nothing (or fail with a read error),
// each lasting one read wait.
enum MemoryPortGap { MEMORY_PORT_SILENCE, MEMORY_PORT_READ_ERRORS };
void FeedMemoryPortGap(unsigned passes, MemoryPortGap kind);

// What is fed after this call is the answer to the next frame the host sends: it arrives once a
// purge (every send starts with one) has discarded what came before it.
void StartMemoryPortReply();

// From now on every call on the port fails, as when the adapter is pulled out.
void UnplugMemoryPort();
// Writes fail once this many bytes have been written in all.
void FailMemoryPortWritesAfter(size_t bytes);

// The port's clock, for SetTickSource.
uint32_t MemoryPortTicks();

// What the host did: every byte it wrote, how many bytes it read, how many reads it made.
std::vector<unsigned char> MemoryPortWritten();
size_t MemoryPortBytesRead();
size_t MemoryPortReads();
