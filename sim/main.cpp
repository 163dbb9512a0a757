// quorvel-sim: the simulated fingerprint module as a program. It serves one endpoint, prints
// "device PATH" once it is ready, takes control commands on standard input (and on a unix
// socket with --control), and runs until SIGTERM, SIGINT or "quit".
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "sim/control_channels.h"
#include "sim/control_commands.h"
#include "sim/module_server.h"
#include "sim/program_options.h"

namespace {

void Configure(sim::ModuleServer& server, const sim::ProgramOptions& options) {
    server.setPassword(options.password);
    if (options.script.empty()) {
        server.setFingerPolicy(options.finger);
    } else {
        server.setFingerScript(options.script);
    }
    server.setChunkSize(options.chunk);
    server.forceScore(options.score);
    server.setSilent(options.silent);
}

}  // namespace

int main(int argc, char** argv) {
    sim::ProgramOptions options;
    std::string error;
    if (!sim::ParseProgramOptions(std::vector<std::string>(argv + 1, argv + argc), &options,
                                  &error)) {
        std::fprintf(stderr, "quorvel-sim: %s\n%s", error.c_str(), sim::kUsage);
        return 2;
    }

    // Every thread leaves the ending signals to the main thread, which waits for them below.
    sigset_t ending;
    sigemptyset(&ending);
    sigaddset(&ending, SIGTERM);
    sigaddset(&ending, SIGINT);
    pthread_sigmask(SIG_BLOCK, &ending, nullptr);
    // A reader that went away must not end the module in the middle of a reply.
    signal(SIGPIPE, SIG_IGN);

    sim::ModuleServer server({options.device, options.baud, options.pace, options.record});
    if (!server.ok()) {
        std::fprintf(stderr, "quorvel-sim: %s\n", server.error().c_str());
        return 1;
    }
    Configure(server, options);

    if (!options.link.empty()) {
        unlink(options.link.c_str());
        if (symlink(server.devicePath().c_str(), options.link.c_str()) != 0) {
            std::perror(options.link.c_str());
            return 1;
        }
    }

    sim::ControlHandler handler = [&server](const std::string& line, bool* quit) {
        return sim::RunControlCommand(server, line, quit);
    };
    sim::QuitHandler quit = [] { kill(getpid(), SIGTERM); };
    int status = 0;
    {
        std::unique_ptr<sim::SocketControl> socket;
        if (!options.control.empty()) {
            socket = std::make_unique<sim::SocketControl>(options.control, handler, quit);
            if (!socket->ok()) {
                std::fprintf(stderr, "quorvel-sim: %s\n", socket->error().c_str());
                status = 1;
            }
        }
        if (status == 0) {
            std::printf("device %s\n", server.devicePath().c_str());
            std::fflush(stdout);
            sim::StreamControl input(STDIN_FILENO, STDOUT_FILENO, handler, quit);
            int received = 0;
            sigwait(&ending, &received);
        }
    }
    if (!options.link.empty())
        unlink(options.link.c_str());
    return status;
}
