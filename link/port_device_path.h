#pragma once
// POSIX only: which device a port number names. By default port N is the N-th serial device,
// /dev/ttyS(N-1); a tool or test can point any port at another path (a pseudo-terminal,
// /dev/ttyUSB0). Returns 1, or 0 for a port number outside 1..16 or a path that does not fit.
int SetModulePortDevice(int portNumber, const char* path);
// The path that port N names now; null for a port number outside 1..16.
const char* ModulePortDevice(int portNumber);
