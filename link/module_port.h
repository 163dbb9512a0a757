#pragma once
// The program's one serial connection to the fingerprint module.
//
// ModulePort has three states: never opened, open, closed. Never opened and closed mean the same
// to every user: no port is open, and the first ClearCommError of a send or a receive fails.

enum { FIRST_PORT_NUMBER = 1, LAST_PORT_NUMBER = 16 };

// Opens COM<portNumber> (1..16) at baudRate, 8 data bits, no parity, two stop bits, with a read
// wait of about 100 ms per byte and a write that gives up after about 100 ms. Returns 1 when the
// port is open and configured, 0 otherwise; ModulePort changes only on success. An open does not
// close a port that is already open: callers close first.
[[nodiscard]] int OpenModulePort(int portNumber, int baudRate);

// Closes the port if one is open. Always 1. An exchange running on another thread at that moment
// gives up at its next byte and ends with 0.
int CloseModulePort();

// While suspended, every exchange gives up at its next byte and new ones fail at once: the port is
// about to be closed or replaced. Resume ends that.
void SuspendModulePort();
void ResumeModulePort();

enum class ModulePortState { NeverOpened, Open, Closed };
ModulePortState CurrentModulePortState();
