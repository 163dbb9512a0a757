// ReadFeatures and WriteFeatures of a 512-byte template with the module pacing its bytes.
//
// ReadFeatures is timed against the line's limit like the image. WriteFeatures is honest only in
// part on a pseudo-terminal: the module's acknowledgement is paced, but the host's own data frames
// are taken by the pseudo-terminal as fast as the host writes them, so the call ends well before a
// real line could have carried them. The table shows the call against the limit for what it is,
// and then what the host's side costs: the time from the module's acknowledgement (stamped by the
// simulated module when its last byte was written) to the call's return, which covers reading
// the acknowledgement's last byte and writing all 556 bytes of the data frames, one system call
// per byte.
#include <vector>

#include "bench/bench_clock.h"
#include "bench/line_time.h"
#include "bench/measurements.h"
#include "bench/module_session.h"
#include "bench/samples.h"
#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"

namespace bench {

namespace {

enum { TEMPLATE_TRANSFERS = 10 };
// Frames the host sends for one WriteFeatures of 512 bytes: the command and four data frames.
enum { WRITE_FEATURES_FRAMES = 5 };
// A transfer may take at most 2 % longer than the line needs for its bytes.
const double LIMIT_TOLERANCE = 0.02;
const int WAIT_MS = 5000;

void MeasureAt(int baud, ResultTable& table) {
    ModuleSession session(baud, baud);
    sim::ModuleServer& module = session.module();
    module.placeFinger(1);
    Require(CaptureImage() == 0 && ExtractFeatures(1) == 0, "no template in feature buffer 1");
    size_t framesSent = 2;

    Samples readWall;
    TemplateStore store = {};
    for (int i = 0; i < TEMPLATE_TRANSFERS; ++i) {
        Clock::time_point start = Clock::now();
        CommandStatus status = ReadFeatures(store.bytes, &store.length);
        readWall.add(SecondsBetween(start, Clock::now()));
        Require(status == 0 && store.length == TEMPLATE_SIZE, "ReadFeatures failed");
        ++framesSent;
    }

    Samples writeWall, hostSide;
    for (int i = 0; i < TEMPLATE_TRANSFERS; ++i) {
        Clock::time_point start = Clock::now();
        CommandStatus status = WriteFeatures(2, store.bytes, store.length);
        Clock::time_point end = Clock::now();
        Require(status == 0, "WriteFeatures failed");
        framesSent += WRITE_FEATURES_FRAMES;
        // Once every frame is handled, the latest reply is this call's acknowledgement.
        Require(module.waitForHandledFrames(framesSent, WAIT_MS),
                "the module did not take every data frame");
        writeWall.add(SecondsBetween(start, end));
        hostSide.add(SecondsBetween(module.lastReplySent(), end));
    }
    std::vector<unsigned char> written = module.featureBuffer(2);
    Require(written == std::vector<unsigned char>(store.bytes, store.bytes + TEMPLATE_SIZE),
            "the module holds other bytes than those written");

    std::string rate = Thousands(baud);
    double limit = LineSeconds(TEMPLATE_TRANSFER_LINE_BYTES, baud);
    std::string limitText = Format("%.1f ms (%s B x 11 / %s)", limit * 1e3,
                                   Thousands(TEMPLATE_TRANSFER_LINE_BYTES).c_str(), rate.c_str());
    table.add(
        {"2",
         Format("ReadFeatures, 512 B in 4 frames, paced at %s baud (median of %d)", rate.c_str(),
                TEMPLATE_TRANSFERS),
         Format("%.1f ms (slowest %.1f ms)", readWall.median() * 1e3, readWall.max() * 1e3),
         "at most 2 % over the limit " + limitText,
         Format("%.4f x limit (slowest %.4f)", readWall.median() / limit, readWall.max() / limit),
         readWall.median() <= limit * (1 + LIMIT_TOLERANCE)});
    table.add(
        {"2",
         Format("WriteFeatures, 512 B in 4 frames, at %s baud: the whole call "
                "(median of %d)",
                rate.c_str(), TEMPLATE_TRANSFERS),
         Format("%.1f ms (slowest %.1f ms)", writeWall.median() * 1e3, writeWall.max() * 1e3),
         "none: the pty takes the host's bytes at once; the line's limit would be " + limitText,
         Format("%.4f x limit (slowest %.4f)", writeWall.median() / limit, writeWall.max() / limit),
         std::nullopt});
    long dataBytes = StreamBytes(TEMPLATE_SIZE);
    double dataLimit = LineSeconds(dataBytes, baud);
    table.add(
        {"2",
         Format("WriteFeatures at %s baud, the host's side: from the module's "
                "acknowledgement to the return, writing %ld B of data frames "
                "(median of %d)",
                rate.c_str(), dataBytes, TEMPLATE_TRANSFERS),
         Format("%.2f ms = %.2f us per byte (slowest %.2f ms)", hostSide.median() * 1e3,
                hostSide.median() * 1e6 / static_cast<double>(dataBytes), hostSide.max() * 1e3),
         Format("below the line's time for those bytes, %.1f ms (derived: the host "
                "keeps ahead of the line)",
                dataLimit * 1e3),
         Format("%.4f x line time (slowest %.4f)", hostSide.median() / dataLimit,
                hostSide.max() / dataLimit),
         hostSide.median() < dataLimit});
}

}  // namespace

void MeasureTemplateTransfers(ResultTable& table) {
    for (int baud : {57600, 115200})
        MeasureAt(baud, table);
}

}  // namespace bench
