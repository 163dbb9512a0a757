// A test peer for the Windows link test: serves a pseudo-terminal, links the given COM device
// names of a wine prefix to it, runs the test program and exits with its status.
//
// It answers every verified command frame with two bytes of noise and an Ack whose Contents are
// 00 followed by the raw bytes of the frame it received, so the test sees exactly what went out.
// Commands with code 13 get no answer (a silent module).
//
//   echo_peer LINK[,LINK...] PROGRAM ARGS...
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "link/frame_codec.h"
#include "sim/pseudo_terminal.h"

static void Serve(sim::PseudoTerminal& line, const std::atomic<bool>& stop) {
    std::vector<uint8_t> pending;
    while (!stop) {
        std::vector<uint8_t> more = line.read(50);
        pending.insert(pending.end(), more.begin(), more.end());
        for (;;) {
            size_t at = 0;
            while (at + 1 < pending.size() && !(pending[at] == 0xEF && pending[at + 1] == 0x01))
                ++at;
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(at));
            if (pending.size() < 9)
                break;
            size_t total = (pending[7] * 256u + pending[8]) + 9;
            if (total > MAX_FRAME_LENGTH) {
                pending.erase(pending.begin());
                continue;
            }
            if (pending.size() < total)
                break;
            std::vector<uint8_t> frame(pending.begin(), pending.begin() + static_cast<long>(total));
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(total));
            unsigned char body[MAX_FRAME_LENGTH];
            int bodyLength = 0;
            if (!ParseFrame(frame.data(), static_cast<int>(frame.size()), body, &bodyLength))
                continue;
            if (body[0] != PacketId::Command || body[3] == 0x13)
                continue;
            std::vector<uint8_t> reply = {PacketId::Ack, 0, static_cast<uint8_t>(frame.size() + 3),
                                          0x00};
            reply.insert(reply.end(), frame.begin(), frame.end());
            unsigned char out[MAX_FRAME_LENGTH];
            int outLength = 0;
            if (!BuildFrame(reply.data(), static_cast<int>(reply.size()) + 2, out, &outLength))
                continue;
            line.write(std::vector<uint8_t>{0x00, 0x12});
            line.write(out, static_cast<size_t>(outLength));
        }
    }
}

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: echo_peer LINK[,LINK...] PROGRAM ARGS...\n");
        return 2;
    }
    sim::PseudoTerminal line;
    if (!line.ok())
        return 2;
    std::vector<std::string> links;
    std::stringstream list(argv[1]);
    for (std::string link; std::getline(list, link, ',');) {
        unlink(link.c_str());
        if (symlink(line.slavePath().c_str(), link.c_str()) != 0) {
            std::perror(link.c_str());
            return 2;
        }
        links.push_back(link);
    }
    std::atomic<bool> stop{false};
    std::thread server(Serve, std::ref(line), std::cref(stop));
    pid_t child = fork();
    if (child == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    stop = true;
    server.join();
    for (const std::string& link : links)
        unlink(link.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}
