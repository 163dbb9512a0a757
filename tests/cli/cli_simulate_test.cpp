// --simulate: the program serves the simulated module on a pseudo-terminal of its own and talks
// to it through the real serial path; no port is set up by the test.
#include "sim/finger_image.h"
#include "tests/cli/cli_fixture.h"

namespace {

TEST(CliSimulate, EnrollVerifyIdentifyAndImageRunWithoutHardware) {
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* printed;
    } cases[] = {
        {{"--simulate", "enroll", "--slot", "5"}, 0, "enrolled at slot 5"},
        // Fingers 1 to 9 are enrolled at slots 1 to 9 when the simulated module starts.
        {{"--simulate", "--finger", "4", "verify", "--slot", "4"}, 0, ": match"},
        {{"--simulate", "verify", "--slot", "4"}, 6, ": no match"},
        {{"--simulate", "--finger", "3", "identify"}, 0, "identified: slot 3"},
        {{"--simulate", "--finger", "12", "identify"}, 6, "no match"},
        {{"--simulate", "--finger", "0", "identify"}, 5, "no finger came"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCliWith(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.printed << "\n" << run.err;
        EXPECT_NE((run.out + run.err).find(c.printed), std::string::npos) << run.out << run.err;
    }
}

TEST(CliSimulate, TheImageIsTheSimulatedFingersImage) {
    char pattern[] = "/tmp/quorvel-cli-simulate-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    std::string raw = std::string(pattern) + "/finger.raw";
    CliRun run = RunCliWith({"--simulate", "--finger", "2", "image", "--raw", raw});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFileBytes(raw), sim::PackedFingerImage(2));
    std::filesystem::remove_all(pattern);
}

}  // namespace
