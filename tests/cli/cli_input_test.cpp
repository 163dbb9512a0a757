// Bad input gets a clear message, exit code 2 and not one frame on the line; help for every
// action; a port that does not open and a module that does not answer.
#include "tests/cli/cli_fixture.h"
#include "tests/support/fake_ticks.h"

namespace {

TEST_F(CliAgainstModule, BadInputIsRefusedBeforeAnythingIsSent) {
    WriteFileBytes(File("empty.bin"), {});
    WriteFileBytes(File("long.bin"), sim::Bytes(513, 0x51));
    WriteFileBytes(File("good.bin"), sim::FingerTemplate(1, 1));
    struct Case {
        std::vector<std::string> args;
        const char* message;
    } cases[] = {
        {{"--port", "3", "delete", "--slot", "-1"}, "slot -1 is out of range 0..65535"},
        {{"--port", "3", "enroll", "--slot", "65536"}, "slot 65536 is out of range 0..65535"},
        {{"--port", "3", "verify", "--slot", "five"}, "slot 'five' is not a number"},
        {{"--port", "3", "enroll"}, "--slot is required"},
        {{"--port", "3", "compare", File("empty.bin"), File("good.bin")},
         "empty.bin is empty; a template file holds 1 to 512 bytes"},
        {{"--port", "3", "compare", File("good.bin"), File("long.bin")},
         "long.bin is longer than 512 bytes"},
        {{"--port", "3", "compare", File("good.bin"), File("missing.bin")},
         "missing.bin: No such file or directory"},
        {{"--port", "3", "compare", File("good.bin")}, "compare: files"},
        {{"--port", "3", "frobnicate"}, "unknown action 'frobnicate'; the actions are handshake,"},
        {{"--port", "3"}, "no action given"},
        {{"--port", "3", "--baud", "fast", "handshake"}, "baud rate 'fast' is not a number"},
        {{"--port", "3", "--baud", "0", "handshake"}, "baud rate 0 is out of range"},
        {{"--port", "3", "erase"}, "add --yes"},
        {{"--port", "3", "set-baud", "9600"}, "set-baud takes 57600 or 115200, not '9600'"},
        {{"--port", "17", "handshake"}, "port 17 is out of range 1..16"},
        {{"--port", "0", "handshake"}, "port 0 is out of range 1..16"},
        {{"--port", "ttyUSB0", "handshake"}, "neither a number 1..16 nor a device path"},
        {{"handshake"}, "no port: give --port N"},
        {{"--port", "3", "--simulate", "handshake"}, "either --port or --simulate"},
        {{"--port", "3", "--finger", "2", "identify"}, "it needs --simulate"},
        {{"--port", "3", "--password", "12345", "handshake"}, "neither 8 hex digits"},
        {{"--port", "3", "--password", "1234567x", "handshake"}, "is not 8 hex digits"},
        {{"--port", "3", "image"}, "image needs --out FILE.png, --raw FILE or both"},
        {{"--port", "3", "image", "--out", File("no/such/folder/i.png")}, "cannot write"},
        {{"--port", "3", "capture-template", "--out", folder}, "cannot write"},
        {{"--port", "3", "--bogus", "handshake"}, "--bogus"},
    };
    for (const Case& c : cases) {
        CliRun run = RunCliWith(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.message << "\n" << run.err;
        EXPECT_EQ(run.out, "") << c.message;
    }
    EXPECT_TRUE(module->receivedFrames().empty()) << "bad input reached the module";
}

TEST_F(CliAgainstModule, AFileThatExistsIsNotChangedByTheCheckBeforeARunThatFails) {
    WriteFileBytes(File("kept.bin"), {1, 2, 3});
    module->setFingerPolicy("none");
    EXPECT_EQ(Run({"capture-template", "--out", File("kept.bin")}).exitCode, 5);
    EXPECT_EQ(ReadFileBytes(File("kept.bin")), (sim::Bytes{1, 2, 3}));
}

TEST_F(CliAgainstModule, EveryActionHasItsHelp) {
    const char* actions[] = {
        "handshake",      "enroll",   "verify",          "identify",         "delete",  "erase",
        "clear-password", "set-baud", "enroll-template", "capture-template", "compare", "image"};
    for (const char* action : actions) {
        CliRun run = RunCliWith({action, "--help"});
        EXPECT_EQ(run.exitCode, 0) << action;
        EXPECT_NE(run.out.find(std::string("Usage: quorvel-cli ") + action), std::string::npos)
            << run.out;
    }
    CliRun top = RunCliWith({"--help"});
    EXPECT_EQ(top.exitCode, 0);
    EXPECT_NE(top.out.find("Actions:\n  handshake"), std::string::npos) << top.out;
    EXPECT_NE(top.out.find("6 no match"), std::string::npos) << top.out;
    EXPECT_TRUE(module->receivedFrames().empty());
}

TEST(CliPort, APortThatDoesNotOpenIsAPortFailureThatNamesTheDevice) {
    ASSERT_EQ(SetModulePortDevice(4, "/dev/quorvel-no-such-adapter"), 1);
    CliRun byNumber = RunCliWith({"--port", "4", "handshake"});
    EXPECT_EQ(byNumber.exitCode, 4);
    EXPECT_NE(byNumber.err.find("/dev/quorvel-no-such-adapter: no such device"), std::string::npos)
        << byNumber.err;
    CliRun byPath = RunCliWith({"--json", "--port", "/dev/quorvel-no-such-adapter", "handshake"});
    EXPECT_EQ(byPath.exitCode, 4);
    EXPECT_NE(byPath.out.find("\"outcome\":\"port failure\""), std::string::npos) << byPath.out;
}

TEST_F(CliAgainstModule, ASilentModuleIsNoReplyAfterTheThreeCandidates) {
    module->setSilent(true);
    // The 1-second password limits pass on a clock that runs fifty times faster.
    fake_ticks::Accelerated fast(50);
    CliRun run = Run({"delete", "--slot", "1"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("no reply from the module on port 3"), std::string::npos) << run.err;
    EXPECT_EQ(Commands(), (std::vector<int>{0x13, 0x13, 0x13})) << "delete sent without a login";
}

}  // namespace
