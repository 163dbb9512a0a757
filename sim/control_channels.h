#pragma once
// The two ways control lines reach the simulated module: a stream of lines (standard input, with
// replies to standard output) and a unix-domain stream socket that any number of clients may
// connect to. Each runs one thread of its own, ended and joined by the destructor.
#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace sim {

// Carries out one line and returns its reply; sets *quit when the line asks the program to end.
using ControlHandler = std::function<std::string(const std::string& line, bool* quit)>;
// Called after the reply to a quitting line has been written.
using QuitHandler = std::function<void()>;

// Splits bytes into lines; a line end is "\n" or "\r\n".
class LineSplitter {
  public:
    void feed(const char* bytes, size_t count) { pending_.append(bytes, count); }
    bool next(std::string* line);

  private:
    std::string pending_;
};

class StreamControl {
  public:
    // Reads lines from `in` until its end; writes each reply line to `out`.
    StreamControl(int in, int out, ControlHandler handler, QuitHandler onQuit);
    ~StreamControl();
    StreamControl(const StreamControl&) = delete;
    StreamControl& operator=(const StreamControl&) = delete;

  private:
    void run();
    int in_;
    int out_;
    ControlHandler handler_;
    QuitHandler onQuit_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

class SocketControl {
  public:
    // Listens at `path` (an old socket file there is replaced); the file is removed at the end.
    SocketControl(const std::string& path, ControlHandler handler, QuitHandler onQuit);
    ~SocketControl();
    SocketControl(const SocketControl&) = delete;
    SocketControl& operator=(const SocketControl&) = delete;

    bool ok() const { return listener_ >= 0; }
    const std::string& error() const { return error_; }

  private:
    void run();
    std::string path_;
    std::string error_;
    int listener_ = -1;
    ControlHandler handler_;
    QuitHandler onQuit_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace sim
