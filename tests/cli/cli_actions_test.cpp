// Every action of quorvel-cli against the simulated module: the exit code, what it printed, and
// what the module holds afterwards.
#include <functional>

#include "tests/cli/cli_fixture.h"

namespace {

const sim::Password kZeroPassword = {0, 0, 0, 0};

TEST_F(CliAgainstModule, EveryActionSucceedsAndLeavesTheModuleAsItShould) {
    struct Case {
        const char* name;
        std::function<void()> before;
        std::vector<std::string> args;
        const char* printed;
        std::function<void()> after;
    };
    sim::Bytes first = sim::FingerTemplate(6, 1);
    sim::Bytes second = sim::FingerTemplate(6, 2);
    Case cases[] = {
        {"handshake", [] {}, {"handshake"}, "logged in with the all-zero password", [] {}},
        {"enroll",
         [] {},
         {"enroll", "--slot", "5"},
         "enrolled at slot 5",
         [&] { EXPECT_EQ(module->libraryPage(5), module->featureBuffer(1)); }},
        {"verify",
         [&] { module->storePage(8, EnrolledTemplate(1)); },
         {"verify", "--slot", "8"},
         "match",
         [&] { EXPECT_EQ(module->featureBuffer(2), EnrolledTemplate(1)) << "slot 8 not loaded"; }},
        {"identify",
         [&] {
             module->storePage(7, EnrolledTemplate(2));
             module->setAutoFinger(2);
         },
         {"identify"},
         "identified: slot 7",
         [] {}},
        {"delete",
         [&] { module->storePage(5, EnrolledTemplate(1)); },
         {"delete", "--slot", "5"},
         "deleted slot 5",
         [&] { EXPECT_FALSE(module->pageStored(5)); }},
        {"erase",
         [&] {
             module->storePage(0, EnrolledTemplate(1));
             module->storePage(999, EnrolledTemplate(2));
         },
         {"erase", "--yes"},
         "erased",
         [&] {
             EXPECT_FALSE(module->pageStored(0));
             EXPECT_FALSE(module->pageStored(999));
         }},
        {"clear-password",
         [&] {
             module->setPassword({'q', 'm', 't', 'z'});
         },
         {"clear-password"},
         "all zero",
         [&] { EXPECT_EQ(module->password(), kZeroPassword); }},
        {"set-baud",
         [] {},
         {"set-baud", "115200"},
         "115200",
         [&] { EXPECT_EQ(module->baudCode(), 12); }},
        {"enroll-template",
         [] {},
         {"enroll-template", "--out", File("enrolled.bin")},
         "512-byte",
         [&] {
             EXPECT_EQ(ReadFileBytes(File("enrolled.bin")), module->featureBuffer(1));
             EXPECT_EQ(module->featureBuffer(1).size(), 512u);
         }},
        {"capture-template",
         [] {},
         {"capture-template", "--out", File("captured.bin")},
         "512-byte",
         [&] {
             EXPECT_EQ(ReadFileBytes(File("captured.bin")), module->featureBuffer(1));
             EXPECT_EQ(module->featureBuffer(1).size(), 512u);
         }},
        {"compare",
         [&] {
             WriteFileBytes(File("a.bin"), first);
             WriteFileBytes(File("b.bin"), second);
         },
         {"compare", File("a.bin"), File("b.bin")},
         ": match",
         [&] {
             EXPECT_EQ(module->featureBuffer(1), first);
             EXPECT_EQ(module->featureBuffer(2), second);
         }},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.name);
        module->setAutoFinger(1);
        c.before();
        CliRun run = RunCliWith([&] {
            std::vector<std::string> all = {"--port", "3"};
            all.insert(all.end(), c.args.begin(), c.args.end());
            return all;
        }());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(c.printed), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
        c.after();
    }
}

TEST_F(CliAgainstModule, APortGivenAsADevicePathWorksToo) {
    CliRun run = RunCliWith({"--port", module->devicePath(), "delete", "--slot", "4"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Commands(), (std::vector<int>{0x13, 0x0C}));
}

TEST_F(CliAgainstModule, TheLoginTriesTheThreeCandidatesInOrderOrOnlyTheGivenPassword) {
    struct Case {
        sim::Password modulePassword;
        std::vector<std::string> passwordArgs;
        int exitCode;
        size_t attempts;
        const char* printed;
    } cases[] = {
        {{0, 0, 0, 0}, {}, 0, 1, "the all-zero password"},
        {{'q', 'm', 't', 'z'}, {}, 0, 2, "password candidate 1"},
        {{'r', 'd', 'u', 'k'}, {}, 0, 3, "password candidate 2"},
        {{'a', 'b', 'c', 'd'}, {}, 1, 3, "refused all three candidate passwords"},
        {{0x12, 0x34, 0xAB, 0xCD}, {"--password", "1234abcd"}, 0, 1, "the given password"},
        {{'a', 'b', 'c', 'd'}, {"--password", "abcd"}, 0, 1, "the given password"},
        {{'a', 'b', 'c', 'd'}, {"--password", "qmtz"}, 1, 1, "refused the given password"},
    };
    for (const Case& c : cases) {
        module->setPassword(c.modulePassword);
        module->clearReceivedFrames();
        std::vector<std::string> args = {"--port", "3"};
        args.insert(args.end(), c.passwordArgs.begin(), c.passwordArgs.end());
        args.push_back("handshake");
        CliRun run = RunCliWith(args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.printed;
        EXPECT_NE((run.out + run.err).find(c.printed), std::string::npos) << run.out << run.err;
        EXPECT_EQ(Commands(), std::vector<int>(c.attempts, 0x13)) << c.printed;
    }
}

TEST_F(CliAgainstModule, ExitCodesTellRefusalsNoReplyPortAndFingerFailuresApart) {
    struct Case {
        const char* name;
        std::function<void()> before;
        std::vector<std::string> args;
        int exitCode;
        const char* message;
    } cases[] = {
        {"a refused direct command",
         [&] {
             module->armFault({sim::FaultKind::Code, 0x0C, 1, 0x0A});
         },
         {"delete", "--slot", "5"},
         1,
         "refused DeleteTemplates with confirmation code 0x0A"},
        {"a slot beyond the module's library",
         [] {},
         {"enroll", "--slot", "2000"},
         1,
         "refused StoreTemplate with confirmation code 0x09"},
        {"verify of an empty slot",
         [] {},
         {"verify", "--slot", "9"},
         1,
         "refused LoadTemplate with confirmation code 0x0A"},
        {"a refused step of a flow",
         [&] {
             module->armFault({sim::FaultKind::Code, 0x05, 1, 0x07});
         },
         {"enroll-template", "--out", File("t.bin")},
         1,
         "refused MergeFeatures with confirmation code 0x07"},
        {"a refused image transfer",
         [&] {
             module->armFault({sim::FaultKind::Code, 0x0A, 1, 0x04});
         },
         {"image", "--out", File("i.png")},
         1,
         "refused ReadImage with confirmation code 0x04"},
        {"a reply that is not an acknowledgement",
         [&] {
             module->armFault({sim::FaultKind::WrongPacketId, 0x0D, 1, 8});
         },
         {"erase", "--yes"},
         3,
         "not an acknowledgement"},
        {"no finger ever comes",
         [&] { module->setFingerPolicy("none"); },
         {"enroll", "--slot", "1"},
         5,
         "no finger came within 19 captures"},
        {"no finger for the image",
         [&] { module->setFingerPolicy("none"); },
         {"image", "--out", File("i.png")},
         5,
         "no finger came within 19 captures"},
        {"the finger stays on",
         [&] { module->placeFinger(2); },
         {"enroll", "--slot", "1"},
         5,
         "the finger was not lifted"},
        {"verify of another finger",
         [&] { module->storePage(4, EnrolledTemplate(2)); },
         {"verify", "--slot", "4"},
         6,
         "no match"},
        {"identify in an empty library",
         [] {},
         {"identify"},
         6,
         "no match: the module answered SearchTemplates with confirmation code 0x08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        module->clearFaults();
        module->setAutoFinger(1);
        ASSERT_EQ(RunCliWith({"--port", "3", "erase", "--yes"}).exitCode, 0);
        c.before();
        std::vector<std::string> args = {"--port", "3"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliRun run = RunCliWith(args);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("quorvel-cli:"), std::string::npos) << "a failure on stdout";
    }
}

TEST_F(CliAgainstModule, AFailedFlowLeavesNoOutputFile) {
    module->setFingerPolicy("none");
    EXPECT_EQ(Run({"capture-template", "--out", File("t.bin")}).exitCode, 5);
    EXPECT_FALSE(std::filesystem::exists(File("t.bin")));
}

TEST_F(CliAgainstModule, VerifyAndCompareMatchAtEightyAndNotBelow) {
    module->storePage(3, EnrolledTemplate(1));
    WriteFileBytes(File("a.bin"), sim::FingerTemplate(1, 1));
    WriteFileBytes(File("b.bin"), sim::FingerTemplate(2, 1));
    struct {
        int score;
        int exitCode;
        const char* verdict;
    } cases[] = {{80, 0, "score 80: match"}, {79, 6, "score 79: no match"}};
    for (const auto& c : cases) {
        module->forceScore(c.score);
        CliRun verify = Run({"verify", "--slot", "3"});
        EXPECT_EQ(verify.exitCode, c.exitCode) << c.score;
        EXPECT_NE((verify.out + verify.err).find(c.verdict), std::string::npos) << verify.err;
        CliRun compare = Run({"compare", File("a.bin"), File("b.bin")});
        EXPECT_EQ(compare.exitCode, c.exitCode) << c.score;
        EXPECT_NE((compare.out + compare.err).find(c.verdict), std::string::npos) << compare.err;
    }
}

TEST_F(CliAgainstModule, TemplateFilesOfOneAndOfFiveHundredTwelveBytesAreTaken) {
    WriteFileBytes(File("one.bin"), sim::Bytes{0x51});
    WriteFileBytes(File("full.bin"), sim::FingerTemplate(3, 1));
    CliRun run = Run({"compare", File("one.bin"), File("full.bin")});
    // A one-byte template scores nothing, but it is written as it is.
    EXPECT_EQ(run.exitCode, 6) << run.err;
    EXPECT_EQ(module->featureBuffer(2), sim::FingerTemplate(3, 1));
    EXPECT_EQ(Commands(), (std::vector<int>{0x13, 0x09, 0x09, 0x03}));
}

}  // namespace
