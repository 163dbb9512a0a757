#pragma once
// The per-byte calls that the frame exchange makes on ModulePort. Each one reads the port afresh
// under the port's own lock, so a close on another thread can never leave an exchange holding a
// stale handle or descriptor.
//
// An exchange takes the port's generation when it starts; the generation changes whenever the port
// is opened or closed, and every call made with an old generation touches nothing and reports
// PORT_GONE.

enum PortResult { PORT_GONE = -2, PORT_ERROR = -1, PORT_NOTHING = 0, PORT_DONE = 1 };

unsigned CurrentPortGeneration();

// Discards the unread input of whatever port is open (PurgeComm with PURGE_RXCLEAR); the result
// is ignored. Output already written is never discarded.
void PurgePortQueues();

// ClearCommError: PORT_DONE when the port is usable, PORT_ERROR when the call fails, PORT_GONE
// when no port of that generation is open.
int ClearPortErrors(unsigned generation);

// One pass of a receive: ClearCommError, and when it succeeds one ReadFile of one byte.
// PORT_DONE with *byte set, PORT_NOTHING when the read wait ran out, PORT_ERROR when either call
// failed, PORT_GONE when the port was closed or replaced. A pass that reads nothing lasts about one
// read wait, so that a failing device never makes a receive spin.
int ReadPortByte(unsigned generation, unsigned char* byte);

// One WriteFile of one byte: PORT_DONE when it went out, PORT_ERROR when not, PORT_GONE as above.
int WritePortByte(unsigned generation, unsigned char byte);
