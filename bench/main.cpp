// quorvel-bench: measures the link against the simulated module on a pseudo-terminal and prints
// one markdown table, every figure beside its goal. A benchmark, not a test: nothing here fails a
// build, and it runs only when asked.
//   quorvel-bench [--windows-result FILE] [--only 1,2,...]
// FILE holds the totals that the Windows program wrote under wine; --only picks items by number.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <set>
#include <string>

#include "bench/measurements.h"

namespace {

std::set<int> ParseItems(const char* list) {
    std::set<int> items;
    for (const char* at = list; *at; ++at) {
        if (*at >= '1' && *at <= '6')
            items.insert(*at - '0');
    }
    return items;
}

int Usage() {
    std::fprintf(stderr, "usage: quorvel-bench [--windows-result FILE] [--only 1,2,...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string windowsResult;
    std::set<int> items = {1, 2, 3, 4, 5, 6};
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--windows-result") == 0 && i + 1 < argc) {
            windowsResult = argv[++i];
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            items = ParseItems(argv[++i]);
        } else {
            return Usage();
        }
    }

    bench::ResultTable table;
    // Progress goes to stderr so that stdout holds only the table.
    auto run = [&](int item, const char* what, auto measure) {
        if (!items.count(item))
            return;
        std::fprintf(stderr, "quorvel-bench: %d. %s\n", item, what);
        measure();
    };
    run(1, "paced image transfers", [&] { bench::MeasurePacedImageTransfers(table); });
    run(2, "template transfers", [&] { bench::MeasureTemplateTransfers(table); });
    // Items 3 and 4 share the one 16-second silent receive.
    if (items.count(3) || items.count(4)) {
        std::fprintf(stderr, "quorvel-bench: 3, 4. silent receives (about 22 s)\n");
        bench::MeasureSilentReceives(table);
    }
    run(5, "unpaced image transfers",
        [&] { bench::MeasureUnpacedImageTransfers(table, windowsResult); });
    run(6, "operation latency", [&] { bench::MeasureOperationLatency(table); });

    table.print(std::cout);
    int missed = table.missedGoals();
    std::fprintf(stderr, "quorvel-bench: %d goal%s missed\n", missed, missed == 1 ? "" : "s");
    return 0;
}
