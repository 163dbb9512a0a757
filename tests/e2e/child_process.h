#pragma once
// A program that the rig starts and ends by its own process id: its standard input and output are
// pipes that the rig talks through, or its output goes to a file.
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

class ChildProcess {
  public:
    struct Options {
        std::vector<std::string> arguments;        // the program first
        std::map<std::string, std::string> extra;  // environment values set or replaced
        std::string outputFile;                    // empty: stdout is a pipe to the rig
        std::string errorFile;                     // empty: stderr goes where stdout goes
        std::vector<int> keepDescriptors;          // inherited as they are (for Xvfb -displayfd)
    };

    explicit ChildProcess(const Options& options);
    // Ends the program if it still runs: SIGTERM, then SIGKILL after a grace time.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    bool WriteLine(const std::string& line);
    // One line from the program's standard output without its newline; false on timeout or end.
    bool ReadLine(std::string* line, int timeoutMs);

    // The exit code once the program has ended within timeoutMs; -1 while it still runs, 128 + the
    // signal when a signal ended it.
    int Wait(int timeoutMs);
    // SIGTERM, then SIGKILL when it has not ended within graceMs.
    void End(int graceMs);

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string pending_;
    int exitCode_ = -1;
};
