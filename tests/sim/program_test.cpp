// quorvel-sim as a program: its command line, its "device" line, its control channels, its end.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/sim/host_peer.h"

namespace {

using host_peer::Bytes;
using host_peer::HostPeer;

const Bytes kVerifyZero = {0x13, 0, 0, 0, 0};

// Reads one line from a descriptor, waiting up to timeoutMs in all; empty on timeout or end.
std::string ReadLine(int fd, int timeoutMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1)
            return "";
        char c = 0;
        if (read(fd, &c, 1) != 1)
            return "";
        if (c == '\n')
            return line;
        line += c;
    }
}

// A run of the program with pipes on its standard input and output; killed at the end if it is
// still running.
class Program {
  public:
    explicit Program(const std::vector<std::string>& args) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(in[0], STDIN_FILENO);
            dup2(out[1], STDOUT_FILENO);
            std::vector<char*> argv{const_cast<char*>(QUORVEL_SIM_PROGRAM)};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            execv(QUORVEL_SIM_PROGRAM, argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~Program() {
        if (pid_ > 0 && status_ < 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        closeInput();
        if (output_ >= 0)
            close(output_);
    }

    std::string readLine(int timeoutMs = 5000) { return ReadLine(output_, timeoutMs); }
    // Sends a control line and returns the reply line.
    std::string control(const std::string& line) {
        std::string text = line + "\n";
        if (write(input_, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            return "";
        return readLine();
    }
    void closeInput() {
        if (input_ >= 0)
            close(input_);
        input_ = -1;
    }
    pid_t pid() const { return pid_; }
    // The exit status once the program has ended, -1 if it is still running after timeoutMs.
    int wait(int timeoutMs = 5000) {
        for (int waited = 0; status_ < 0 && waited <= timeoutMs; waited += 20) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            usleep(20000);
        }
        return status_;
    }

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int status_ = -1;
};

// A folder of its own for each test, removed with what the program left in it.
class ProgramRun : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-sim-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        for (const char* name : {"com3", "control", "record.txt"})
            unlink(In(name).c_str());
        rmdir(folder.c_str());
    }
    std::string In(const std::string& name) const { return folder + "/" + name; }
    static bool Exists(const std::string& path) {
        struct stat info;
        return lstat(path.c_str(), &info) == 0;
    }
    // Starts the program and returns the path from its "device" line.
    std::string Start(Program& program) {
        std::string line = program.readLine();
        EXPECT_EQ(line.rfind("device /dev/pts/", 0), 0u) << line;
        return line.size() > 7 ? line.substr(7) : "";
    }

    std::string folder;
};

TEST_F(ProgramRun, PrintsTheDeviceLineKeepsTheLinkAndTakesControlOnStandardInput) {
    Program program({"--finger", "2", "--link", In("com3")});
    std::string device = Start(program);
    char target[256] = {};
    ASSERT_GT(readlink(In("com3").c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(device, target);

    HostPeer peer(In("com3"));
    ASSERT_TRUE(peer.ok());
    EXPECT_EQ(peer.command({0x01}).contents, Bytes{0x00});
    EXPECT_EQ(program.control("lift"), "ok lift");
    EXPECT_NE(peer.command({0x01}).contents, Bytes{0x00});
    EXPECT_EQ(program.control("captures"), "ok 2");
    EXPECT_EQ(program.control("place 4"), "ok place 4");
    ASSERT_EQ(peer.command({0x01}).contents, Bytes{0x00});
    ASSERT_EQ(peer.command({0x02, 0x01}).contents, Bytes{0x00});
    EXPECT_EQ(program.control("page 7"), "ok empty");
    ASSERT_EQ(peer.command({0x06, 0x01, 0x00, 0x07}).contents, Bytes{0x00});
    EXPECT_EQ(program.control("page 7"), "ok stored");
    EXPECT_EQ(program.control("page 1000").rfind("error", 0), 0u);
    EXPECT_EQ(program.control("score 80"), "ok score 80");
    EXPECT_EQ(program.control("password 7264756b"), "ok password 7264756b");
    EXPECT_EQ(peer.command({0x13, 'r', 'd', 'u', 'k'}).contents, Bytes{0x00});
    EXPECT_EQ(program.control("silent on"), "ok silent on");
    EXPECT_TRUE(peer.command(kVerifyZero, 300).frame.empty());
    EXPECT_EQ(program.control("silent off"), "ok silent off");
    EXPECT_EQ(program.control("fault code cmd=13 value=9"), "ok fault code cmd=13 value=9");
    EXPECT_EQ(peer.command(kVerifyZero).contents, Bytes{9});
    EXPECT_EQ(program.control("fault late").rfind("error", 0), 0u);
    EXPECT_EQ(program.control("clear-faults"), "ok clear-faults");
    EXPECT_EQ(program.control("auto 3"), "ok auto 3");
    EXPECT_EQ(program.control("dance").rfind("error", 0), 0u);

    EXPECT_EQ(program.control("quit"), "ok quit");
    EXPECT_EQ(program.wait(), 0);
    EXPECT_FALSE(Exists(In("com3"))) << "the link outlived the program";
}

TEST_F(ProgramRun, TakesControlOnTheSocketAndQuitsFromThere) {
    Program program({"--control", In("control")});
    HostPeer peer(Start(program));
    int client = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, In("control").c_str());
    ASSERT_EQ(connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    auto control = [client](const std::string& line) {
        std::string text = line + "\n";
        if (write(client, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
            return std::string();
        return ReadLine(client, 5000);
    };
    EXPECT_EQ(control("place 3"), "ok place 3");
    EXPECT_EQ(peer.command({0x01}).contents, Bytes{0x00});
    EXPECT_EQ(control("fault no-reply cmd=01"), "ok fault no-reply cmd=01");
    EXPECT_TRUE(peer.command({0x01}, 300).frame.empty());
    EXPECT_EQ(control("captures"), "ok 2");
    EXPECT_EQ(control("quit"), "ok quit");
    EXPECT_EQ(program.wait(), 0);
    close(client);
    EXPECT_FALSE(Exists(In("control"))) << "the socket file outlived the program";
}

TEST_F(ProgramRun, EndsCleanlyOnTerminateAndInterrupt) {
    for (int signal : {SIGTERM, SIGINT}) {
        Program program({"--link", In("com3")});
        Start(program);
        ASSERT_TRUE(Exists(In("com3")));
        kill(program.pid(), signal);
        EXPECT_EQ(program.wait(), 0) << strsignal(signal);
        EXPECT_FALSE(Exists(In("com3"))) << strsignal(signal);
    }
}

TEST_F(ProgramRun, TheEndOfStandardInputOnlyStopsReadingIt) {
    Program program({});
    HostPeer peer(Start(program));
    program.closeInput();
    EXPECT_EQ(program.wait(300), -1) << "ended with its input";
    EXPECT_EQ(peer.command(kVerifyZero).contents, Bytes{0x00});
    kill(program.pid(), SIGTERM);
    EXPECT_EQ(program.wait(), 0);
}

TEST_F(ProgramRun, OptionsShapeTheModule) {
    auto codes = [](HostPeer& peer, const Bytes& command, int count) {
        std::vector<uint8_t> result;
        for (int i = 0; i < count; ++i) {
            Bytes contents = peer.command(command).contents;
            result.push_back(contents.empty() ? 0xFF : contents[0]);
        }
        return result;
    };
    struct Case {
        std::vector<std::string> args;
        std::function<void(HostPeer&)> check;
    } cases[] = {
        {{"--password", "716d747a"},
         [](HostPeer& peer) {
             EXPECT_EQ(peer.command({0x13, 'q', 'm', 't', 'z'}).contents, Bytes{0x00});
             EXPECT_NE(peer.command(kVerifyZero).contents, Bytes{0x00});
         }},
        {{"--script", "5@2-3"},
         [&](HostPeer& peer) {
             std::vector<uint8_t> got = codes(peer, {0x01}, 4);
             EXPECT_NE(got[0], 0);
             EXPECT_EQ(got[1], 0);
             EXPECT_EQ(got[2], 0);
             EXPECT_NE(got[3], 0);
         }},
        {{"--finger", "auto:4"},
         [&](HostPeer& peer) {
             std::vector<uint8_t> got = codes(peer, {0x01}, 3);
             EXPECT_EQ(got[0], 0);
             EXPECT_NE(got[1], 0);
             EXPECT_EQ(got[2], 0);
         }},
        {{"--chunk", "32", "--finger", "1"},
         [&](HostPeer& peer) {
             codes(peer, {0x01}, 1);
             codes(peer, {0x02, 0x01}, 1);
             peer.sendCommand({0x08, 0x01});
             int frames = 0;
             while (!peer.readFrame(300).frame.empty())
                 ++frames;
             EXPECT_EQ(frames, 1 + 512 / 32);
         }},
        {{"--score", "79", "--finger", "1"},
         [&](HostPeer& peer) {
             codes(peer, {0x01}, 1);
             codes(peer, {0x02, 0x01}, 1);
             codes(peer, {0x02, 0x02}, 1);
             EXPECT_EQ(peer.command({0x03}).contents, (Bytes{0x00, 0x00, 79}));
         }},
        {{"--silent"},
         [](HostPeer& peer) { EXPECT_TRUE(peer.command(kVerifyZero, 300).frame.empty()); }},
        {{"--record", In("record.txt")},
         [&](HostPeer& peer) {
             peer.command({0x0D});
             std::ifstream file(In("record.txt"));
             std::string line;
             std::getline(file, line);
             EXPECT_EQ(line, "EF 01 FF FF FF FF 01 00 03 0D 00 11");
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        Program program(c.args);
        HostPeer peer(Start(program));
        ASSERT_TRUE(peer.ok());
        c.check(peer);
        EXPECT_EQ(program.control("quit"), "ok quit");
        EXPECT_EQ(program.wait(), 0);
    }
}

TEST_F(ProgramRun, BadCommandLinesAreRefusedBeforeAnyDeviceLine) {
    struct Case {
        std::vector<std::string> args;
        int status;
    } cases[] = {
        {{"--chunk", "100"}, 2},
        {{"--finger", "thumb"}, 2},
        {{"--bogus"}, 2},
        {{"--link"}, 2},
        {{"--password", "1234"}, 2},
        {{"--password", "1234567g"}, 2},
        {{"--script", "1@3-2"}, 2},
        {{"--finger", "1", "--script", "1@1-2"}, 2},
        {{"--score", "70000"}, 2},
        {{"--baud", "0"}, 2},
        {{"--device", "/nonexistent/ttyS9"}, 1},
        {{"--control", "/nonexistent/control"}, 1},
    };
    for (const Case& c : cases) {
        Program program(c.args);
        EXPECT_EQ(program.readLine(3000), "") << c.args[0];
        EXPECT_EQ(program.wait(), c.status) << c.args[0];
    }
}

}  // namespace
