#include "sim/serial_device.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sim {
namespace {

speed_t SpeedCode(int baud) {
    static const struct {
        int rate;
        speed_t code;
    } rates[] = {{1200, B1200},     {2400, B2400},     {4800, B4800},    {9600, B9600},
                 {19200, B19200},   {38400, B38400},   {57600, B57600},  {115200, B115200},
                 {230400, B230400}, {460800, B460800}, {921600, B921600}};
    for (const auto& entry : rates) {
        if (entry.rate == baud)
            return entry.code;
    }
    return B0;
}

int Fail(int fd, std::string* error, const std::string& what) {
    *error = what + ": " + std::strerror(errno);
    if (fd >= 0)
        close(fd);
    return -1;
}

}  // namespace

int OpenSerialDevice(const std::string& path, int baud, std::string* error) {
    speed_t speed = SpeedCode(baud);
    if (speed == B0) {
        *error = "unsupported baud rate " + std::to_string(baud);
        return -1;
    }
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return Fail(fd, error, path);
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return Fail(fd, error, path);
    cfmakeraw(&settings);
    settings.c_cflag &= ~(PARENB | CSIZE | CRTSCTS);
    settings.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0 ||
        tcsetattr(fd, TCSANOW, &settings) != 0) {
        return Fail(fd, error, path);
    }
    tcflush(fd, TCIOFLUSH);
    return fd;
}

}  // namespace sim
