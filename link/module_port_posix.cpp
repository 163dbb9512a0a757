#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "link/module_port.h"
#include "link/port_backend.h"
#include "link/port_device_path.h"

enum { NEVER_OPENED = -2, CLOSED = -1 };
// The open port's descriptor, or one of the two states above.
static int ModulePort = NEVER_OPENED;

enum { DEVICE_PATH_SIZE = 256 };
static char devicePaths[LAST_PORT_NUMBER][DEVICE_PATH_SIZE];

int SetModulePortDevice(int portNumber, const char* path) {
    if (portNumber < FIRST_PORT_NUMBER || portNumber > LAST_PORT_NUMBER || !path)
        return 0;
    if (std::strlen(path) >= DEVICE_PATH_SIZE)
        return 0;
    std::strcpy(devicePaths[portNumber - 1], path);
    return 1;
}

const char* ModulePortDevice(int portNumber) {
    if (portNumber < FIRST_PORT_NUMBER || portNumber > LAST_PORT_NUMBER)
        return nullptr;
    char* path = devicePaths[portNumber - 1];
    if (path[0] == '\0')
        std::snprintf(path, DEVICE_PATH_SIZE, "/dev/ttyS%d", portNumber - 1);
    return path;
}

// termios takes only the rates it names; any other rate is refused, as a driver would.
static speed_t SpeedCode(int baudRate) {
    static const struct {
        int rate;
        speed_t code;
    } rates[] = {{50, B50},         {75, B75},         {110, B110},        {134, B134},
                 {150, B150},       {200, B200},       {300, B300},        {600, B600},
                 {1200, B1200},     {1800, B1800},     {2400, B2400},      {4800, B4800},
                 {9600, B9600},     {19200, B19200},   {38400, B38400},    {57600, B57600},
                 {115200, B115200}, {230400, B230400}, {460800, B460800},  {500000, B500000},
                 {576000, B576000}, {921600, B921600}, {1000000, B1000000}};
    for (const auto& entry : rates) {
        if (entry.rate == baudRate)
            return entry.code;
    }
    return B0;
}

static int Refuse(int descriptor) {
    close(descriptor);
    return 0;
}

int BackendOpen(int portNumber, int baudRate) {
    // Not as the controlling terminal, and without waiting for a modem's carrier.
    int port = open(ModulePortDevice(portNumber), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (port < 0)
        return 0;
    // Exclusive use: root passes TIOCEXCL, so an advisory lock is what keeps a second open out.
    if (flock(port, LOCK_EX | LOCK_NB) != 0)
        return Refuse(port);
    ioctl(port, TIOCEXCL);

    tcflush(port, TCIOFLUSH);

    termios settings;
    if (tcgetattr(port, &settings) != 0)
        return Refuse(port);
    speed_t speed = SpeedCode(baudRate);
    if (speed == B0)
        return Refuse(port);
    cfmakeraw(&settings);
    settings.c_cflag &= ~(PARENB | CSIZE | CRTSCTS);
    settings.c_cflag |= CS8 | CSTOPB | CLOCAL | CREAD;
    // An empty one-byte read returns after 100 ms (VTIME counts tenths of a second).
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 1;
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) {
        return Refuse(port);
    }
    if (tcsetattr(port, TCSANOW, &settings) != 0)
        return Refuse(port);

    int flags = fcntl(port, F_GETFL);
    if (flags < 0 || fcntl(port, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return Refuse(port);
    ModulePort = port;
    return 1;
}

void BackendClose() {
    if (ModulePort < 0)
        return;
    // The exclusive mark stays on the device while any other descriptor holds it open (a
    // pseudo-terminal's peer does): take it off so that the next open works.
    ioctl(ModulePort, TIOCNXCL);
    close(ModulePort);
    ModulePort = CLOSED;
}

int BackendIsOpen() {
    return ModulePort >= 0 ? 1 : 0;
}
int BackendHasBeenOpened() {
    return ModulePort != NEVER_OPENED ? 1 : 0;
}

// Only unread input is discarded. A write that returned has handed its byte to the driver, which
// may still hold it; discarding output here would cut the previous frame short (on a
// pseudo-terminal it would drop bytes that the peer has not read yet).
void BackendPurge() {
    tcflush(ModulePort, TCIFLUSH);
}

int BackendClearErrors() {
    int waiting = 0;
    return ioctl(ModulePort, FIONREAD, &waiting) == 0 ? 1 : 0;
}

int BackendReadByte(unsigned char* byte) {
    ssize_t count = read(ModulePort, byte, 1);
    if (count == 1)
        return 1;
    if (count == 0 || errno == EINTR || errno == EAGAIN)
        return 0;
    return -1;
}

int BackendWriteByte(unsigned char byte) {
    // A byte that cannot go out within 100 ms is given up.
    pollfd ready{ModulePort, POLLOUT, 0};
    if (poll(&ready, 1, 100) != 1 || !(ready.revents & POLLOUT))
        return 0;
    return write(ModulePort, &byte, 1) == 1 ? 1 : 0;
}

void BackendPause(unsigned milliseconds) {
    timespec wait{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    nanosleep(&wait, nullptr);
}
