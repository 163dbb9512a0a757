// Every committed fuzz input (the seeds in fuzz/corpus/ and the inputs that once broke something,
// in tests/reliability/fuzz_regressions/) runs through its fuzz target in the normal native tree
// too, so a rule that breaks again fails the ordinary test run, not just a fuzzing session. A
// broken rule aborts the program, which fails the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace {

namespace fs = std::filesystem;
using Target = void (*)(const uint8_t*, size_t);

struct Fuzzer {
    const char* name;
    Target target;
};

void PrintTo(const Fuzzer& fuzzer, std::ostream* out) {
    *out << fuzzer.name;
}

const Fuzzer kFuzzers[] = {
    {"parse_frame", &FuzzParseFrame},
    {"receive_frame_body", &FuzzReceiveFrameBody},
    {"read_features", &FuzzReadFeatures},
    {"read_image", &FuzzReadImage},
};

std::vector<uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Runs every file of folder through target; returns how many ran.
size_t Replay(const fs::path& folder, Target target) {
    size_t count = 0;
    if (!fs::is_directory(folder))
        return 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        std::vector<uint8_t> input = ReadFile(entry.path());
        SCOPED_TRACE(entry.path().string());
        target(input.data(), input.size());
        ++count;
    }
    return count;
}

class FuzzCorpus : public ::testing::TestWithParam<Fuzzer> {};

TEST_P(FuzzCorpus, EverySeedAndRegressionInputKeepsTheRules) {
    const Fuzzer& fuzzer = GetParam();
    size_t seeds =
        Replay(fs::path(QUORVEL_SOURCE_DIR) / "fuzz/corpus" / fuzzer.name, fuzzer.target);
    Replay(fs::path(QUORVEL_SOURCE_DIR) / "tests/reliability/fuzz_regressions" / fuzzer.name,
           fuzzer.target);
    EXPECT_GE(seeds, 5u) << "the seed corpus of " << fuzzer.name << " is missing";
}

INSTANTIATE_TEST_SUITE_P(Fuzzers, FuzzCorpus, ::testing::ValuesIn(kFuzzers),
                         [](const ::testing::TestParamInfo<Fuzzer>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
