#include "tests/e2e/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ChildProcess::ChildProcess(const Options& options) {
    int toChild[2] = {-1, -1};
    int fromChild[2] = {-1, -1};
    if (pipe2(toChild, O_CLOEXEC) != 0)
        return;
    if (options.outputFile.empty() && pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return;
    }
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text(*entry);
        if (options.extra.count(text.substr(0, text.find('='))) == 0)
            environment.push_back(text);
    }
    for (const auto& value : options.extra)
        environment.push_back(value.first + "=" + value.second);
    std::vector<char*> argv, envp;
    for (const std::string& argument : options.arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    for (const std::string& entry : environment)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        // A process group of its own, so that a terminal's signals meant for the rig miss it.
        setpgid(0, 0);
        dup2(toChild[0], STDIN_FILENO);
        int output = fromChild[1];
        if (!options.outputFile.empty())
            output = open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(output, STDOUT_FILENO);
        int errors = output;
        if (!options.errorFile.empty())
            errors = open(options.errorFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(errors, STDERR_FILENO);
        for (int descriptor : options.keepDescriptors)
            fcntl(descriptor, F_SETFD, 0);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(toChild[0]);
    input_ = toChild[1];
    if (fromChild[1] >= 0)
        close(fromChild[1]);
    output_ = fromChild[0];
    if (pid_ < 0) {
        close(input_);
        input_ = -1;
        if (output_ >= 0)
            close(output_);
        output_ = -1;
    }
    signal(SIGPIPE, SIG_IGN);
}

ChildProcess::~ChildProcess() {
    End(3000);
    if (input_ >= 0)
        close(input_);
    if (output_ >= 0)
        close(output_);
}

bool ChildProcess::WriteLine(const std::string& line) {
    std::string text = line + "\n";
    size_t written = 0;
    while (written < text.size()) {
        ssize_t count = write(input_, text.data() + written, text.size() - written);
        if (count <= 0)
            return false;
        written += static_cast<size_t>(count);
    }
    return true;
}

bool ChildProcess::ReadLine(std::string* line, int timeoutMs) {
    long long deadline = NowMs() + timeoutMs;
    for (;;) {
        size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            *line = pending_.substr(0, end);
            if (!line->empty() && line->back() == '\r')
                line->pop_back();
            pending_.erase(0, end + 1);
            return true;
        }
        long long left = deadline - NowMs();
        if (output_ < 0 || left <= 0)
            return false;
        pollfd ready = {output_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left)) <= 0)
            continue;
        char buffer[4096];
        ssize_t count = read(output_, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        pending_.append(buffer, static_cast<size_t>(count));
    }
}

int ChildProcess::Wait(int timeoutMs) {
    if (pid_ <= 0)
        return exitCode_;
    long long deadline = NowMs() + timeoutMs;
    for (;;) {
        int status = 0;
        pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            pid_ = -1;
            return exitCode_;
        }
        if (ended < 0 || NowMs() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void ChildProcess::End(int graceMs) {
    if (pid_ <= 0)
        return;
    kill(pid_, SIGTERM);
    if (Wait(graceMs) >= 0)
        return;
    kill(pid_, SIGKILL);
    Wait(5000);
}
