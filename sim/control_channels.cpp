#include "sim/control_channels.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

namespace sim {
namespace {

void WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        // A socket whose client went away must not raise SIGPIPE.
        ssize_t count = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (count < 0 && errno == ENOTSOCK)
            count = write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return;
        done += static_cast<size_t>(count);
    }
}

// Runs every complete line in `lines`, writing the replies to `out`; true when one asked to quit.
bool RunLines(LineSplitter& lines, int out, const ControlHandler& handler) {
    std::string line;
    bool quit = false;
    while (!quit && lines.next(&line))
        WriteAll(out, handler(line, &quit) + "\n");
    return quit;
}

}  // namespace

bool LineSplitter::next(std::string* line) {
    size_t end = pending_.find('\n');
    if (end == std::string::npos)
        return false;
    line->assign(pending_, 0, end);
    if (!line->empty() && line->back() == '\r')
        line->pop_back();
    pending_.erase(0, end + 1);
    return true;
}

StreamControl::StreamControl(int in, int out, ControlHandler handler, QuitHandler onQuit)
    : in_(in), out_(out), handler_(std::move(handler)), onQuit_(std::move(onQuit)) {
    thread_ = std::thread(&StreamControl::run, this);
}

StreamControl::~StreamControl() {
    stop_ = true;
    thread_.join();
}

void StreamControl::run() {
    LineSplitter lines;
    char buffer[1024];
    while (!stop_) {
        pollfd ready{in_, POLLIN, 0};
        if (poll(&ready, 1, 50) != 1)
            continue;
        ssize_t count = read(in_, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        // The end of the input only ends the reading.
        if (count <= 0)
            return;
        lines.feed(buffer, static_cast<size_t>(count));
        if (RunLines(lines, out_, handler_)) {
            onQuit_();
            return;
        }
    }
}

SocketControl::SocketControl(const std::string& path, ControlHandler handler, QuitHandler onQuit)
    : path_(path), handler_(std::move(handler)), onQuit_(std::move(onQuit)) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) {
        error_ = "bad socket path " + path;
        return;
    }
    std::strcpy(address.sun_path, path.c_str());
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(path.c_str());
    if (listener < 0 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 8) != 0) {
        error_ = path + ": " + std::strerror(errno);
        if (listener >= 0)
            close(listener);
        return;
    }
    listener_ = listener;
    thread_ = std::thread(&SocketControl::run, this);
}

SocketControl::~SocketControl() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
    if (listener_ >= 0) {
        close(listener_);
        unlink(path_.c_str());
    }
}

void SocketControl::run() {
    std::map<int, LineSplitter> clients;
    char buffer[1024];
    while (!stop_) {
        std::vector<pollfd> ready{{listener_, POLLIN, 0}};
        for (const auto& client : clients)
            ready.push_back({client.first, POLLIN, 0});
        if (poll(ready.data(), ready.size(), 50) <= 0)
            continue;
        if (ready[0].revents & POLLIN) {
            int client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0)
                clients[client];
        }
        bool quit = false;
        for (size_t i = 1; i < ready.size() && !quit; ++i) {
            if (!(ready[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            int client = ready[i].fd;
            ssize_t count = read(client, buffer, sizeof buffer);
            if (count <= 0) {
                close(client);
                clients.erase(client);
                continue;
            }
            clients[client].feed(buffer, static_cast<size_t>(count));
            quit = RunLines(clients[client], client, handler_);
        }
        if (quit) {
            onQuit_();
            break;
        }
    }
    for (const auto& client : clients)
        close(client.first);
}

}  // namespace sim
