// ReadImage of a full image while the module keeps its bytes to the line rate: the host reads
// every byte with its own system calls and should still finish when the line's last byte lands.

#include "bench/bench_clock.h"
#include "bench/line_time.h"
#include "bench/measurements.h"
#include "bench/module_session.h"
#include "bench/samples.h"
#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"

namespace bench {

namespace {

enum { IMAGE_TRANSFERS = 3 };
// A transfer may take at most 2 % longer than the line needs for its bytes.
const double LIMIT_TOLERANCE = 0.02;

void MeasureAt(int baud, ResultTable& table) {
    ModuleSession session(baud, baud);
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

    double limit = LineSeconds(READ_IMAGE_LINE_BYTES, baud);
    table.add({"1",
               Format("ReadImage, 36,864 B in 288 frames of 128 B, paced at %s baud "
                      "(median of %d)",
                      Thousands(baud).c_str(), IMAGE_TRANSFERS),
               Format("%.3f s (slowest %.3f s)", wall.median(), wall.max()),
               Format("at most 2 %% over the limit %.3f s (%s B x 11 / %s)", limit,
                      Thousands(READ_IMAGE_LINE_BYTES).c_str(), Thousands(baud).c_str()),
               Format("%.4f x limit (slowest %.4f)", wall.median() / limit, wall.max() / limit),
               wall.median() <= limit * (1 + LIMIT_TOLERANCE)});
    table.add({"1",
               Format("host CPU time per ReadImage at %s baud (mean of %d)",
                      Thousands(baud).c_str(), IMAGE_TRANSFERS),
               Format("%.1f ms = %.2f us per byte", cpu.mean() * 1e3,
                      cpu.mean() * 1e6 / READ_IMAGE_LINE_BYTES),
               "none (shown for information)",
               Format("%.2f %% of the transfer", 100 * cpu.mean() / wall.mean()), std::nullopt});
}

}  // namespace

void MeasurePacedImageTransfers(ResultTable& table) {
    for (int baud : {57600, 115200})
        MeasureAt(baud, table);
}

}  // namespace bench
