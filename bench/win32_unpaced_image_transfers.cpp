// quorvel-bench-win32: the Windows backend's side of the unpaced image transfer, run under wine
// against the simulated module on COM3 (a pseudo-terminal) with a finger on the sensor. Prints
// "key value" lines with its totals for quorvel-bench to read; exits 1 when a transfer fails.
#include <windows.h>

#include <cstdio>

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "link/module_port.h"

namespace {

enum { PORT = 3, TRANSFERS = 5 };

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// User and kernel time of this thread, in seconds.
double ThreadCpuSeconds() {
    FILETIME created, ended, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
        return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return static_cast<double>(k.QuadPart + u.QuadPart) * 1e-7;
}

int Fail(const char* what) {
    std::fprintf(stderr, "quorvel-bench-win32: %s\n", what);
    CloseModulePort();
    return 1;
}

}  // namespace

int main() {
    if (!OpenModulePort(PORT, 115200))
        return Fail("COM3 did not open");
    if (CaptureImage() != 0)
        return Fail("CaptureImage failed");
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    double wall = 0;
    double cpu = 0;
    for (int i = 0; i < TRANSFERS; ++i) {
        double cpuBefore = ThreadCpuSeconds();
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        CommandStatus status = ReadImage();
        QueryPerformanceCounter(&end);
        cpu += ThreadCpuSeconds() - cpuBefore;
        wall += Seconds(start, end, frequency);
        if (status != 0 || imagePixelCount.load() != IMAGE_PIXELS)
            return Fail("ReadImage failed");
    }
    CloseModulePort();
    std::printf("transfers %d\nwall_seconds %.6f\ncpu_seconds %.6f\n", TRANSFERS, wall, cpu);
    return 0;
}
