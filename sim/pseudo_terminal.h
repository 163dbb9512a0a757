#pragma once
// A pseudo-terminal that plays the module's end of a serial line: the host opens the slave path as
// its serial device, and the owner reads and writes the master side.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class PseudoTerminal {
public:
    // Creates the pair, puts the line into raw mode, and keeps a slave descriptor of its own open
    // so that the master never sees a hang-up between two host sessions.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }

    // Writes all bytes to the host.
    bool write(const std::vector<uint8_t>& bytes);
    bool write(const uint8_t* bytes, size_t count);
    // Reads what has arrived from the host, waiting up to timeoutMs for the first byte.
    std::vector<uint8_t> read(int timeoutMs);
    // Reads until count bytes have arrived or timeoutMs passed in all.
    std::vector<uint8_t> readExactly(size_t count, int timeoutMs);

    // Closes the master: the host's device is gone (an unplugged adapter).
    void hangUp();

private:
    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};

}  // namespace sim
