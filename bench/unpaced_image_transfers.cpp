// ReadImage with no pacing: the module's frames are in the pseudo-terminal as soon as it can take
// them, so the time is the host's own: one lock, one ClearCommError and one ReadFile per byte.
// The Windows backend's run under wine is made by a separate Windows program, which writes its
// totals to a file that this one reads.
#include <fstream>
#include <map>
#include <string>

#include "bench/bench_clock.h"
#include "bench/line_time.h"
#include "bench/measurements.h"
#include "bench/module_session.h"
#include "bench/samples.h"
#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"

namespace bench {

namespace {

enum { IMAGE_TRANSFERS = 5 };
// The fastest line the module runs at, in bytes per second.
const double FASTEST_LINE_BYTES_PER_SECOND = 115200.0 / 11;

void AddRow(ResultTable& table, const std::string& backend, int transfers, double wallMean,
            double cpuMean) {
    double bytesPerSecond = READ_IMAGE_LINE_BYTES / wallMean;
    table.add({"5",
               Format("ReadImage unpaced, %s (%s frame bytes, mean of %d)", backend.c_str(),
                      Thousands(READ_IMAGE_LINE_BYTES).c_str(), transfers),
               Format("%s B/s = %.2f us per byte (%.1f ms per image, CPU %.1f ms)",
                      Thousands(static_cast<long>(bytesPerSecond)).c_str(),
                      wallMean * 1e6 / READ_IMAGE_LINE_BYTES, wallMean * 1e3, cpuMean * 1e3),
               Format("at least a 115,200-baud line: %s B/s = %.1f us per byte (derived)",
                      Thousands(static_cast<long>(FASTEST_LINE_BYTES_PER_SECOND)).c_str(),
                      1e6 / FASTEST_LINE_BYTES_PER_SECOND),
               Format("%.1f x the line", bytesPerSecond / FASTEST_LINE_BYTES_PER_SECOND),
               bytesPerSecond >= FASTEST_LINE_BYTES_PER_SECOND});
}

// "key value" lines.
std::map<std::string, double> ReadFigures(const std::string& path) {
    std::map<std::string, double> figures;
    std::ifstream in(path);
    std::string key;
    double value = 0;
    while (in >> key >> value)
        figures[key] = value;
    return figures;
}

}  // namespace

void MeasureUnpacedImageTransfers(ResultTable& table, const std::string& windowsResultPath) {
    {
        ModuleSession session(0, 115200);
        session.module().placeFinger(1);
        Require(CaptureImage() == 0, "CaptureImage failed");
        Samples wall, cpu;
        for (int i = 0; i < IMAGE_TRANSFERS; ++i) {
            double cpuBefore = ThreadCpuSeconds();
            Clock::time_point start = Clock::now();
            CommandStatus status = ReadImage();
            Clock::time_point end = Clock::now();
            cpu.add(ThreadCpuSeconds() - cpuBefore);
            wall.add(SecondsBetween(start, end));
            Require(status == 0 && imagePixelCount.load() == IMAGE_PIXELS, "ReadImage failed");
        }
        AddRow(table, "native POSIX backend", IMAGE_TRANSFERS, wall.mean(), cpu.mean());
    }

    const std::string windows = "Windows backend under wine";
    if (windowsResultPath.empty()) {
        table.addMissing("5", "ReadImage unpaced, " + windows, "no result file given");
        return;
    }
    std::map<std::string, double> figures = ReadFigures(windowsResultPath);
    int transfers = static_cast<int>(figures["transfers"]);
    if (transfers <= 0 || figures["wall_seconds"] <= 0) {
        table.addMissing("5", "ReadImage unpaced, " + windows,
                         "the Windows program reported no transfer");
        return;
    }
    AddRow(table, windows, transfers, figures["wall_seconds"] / transfers,
           figures["cpu_seconds"] / transfers);
}

}  // namespace bench
