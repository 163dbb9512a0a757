// What quorvel-cli shows: the prompts as the flow runs, the JSON result, the frame trace, the
// progress bar, and the image files.
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include <map>
#include <regex>

#include "sim/finger_image.h"
#include "tests/cli/cli_fixture.h"
#include "tests/cli/flat_json.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The simulator's packed image expanded to 8 bits: each 4-bit pixel becomes its value times 16.
std::vector<unsigned char> ExpandedImage(uint32_t finger) {
    sim::Bytes packed = sim::PackedFingerImage(finger);
    std::vector<unsigned char> pixels(packed.size() * 2);
    for (size_t i = 0; i < packed.size(); ++i) {
        pixels[2 * i] = packed[i] & 0xF0;
        pixels[2 * i + 1] = static_cast<unsigned char>((packed[i] & 0x0F) << 4);
    }
    return pixels;
}

// Checks that path is a PNG of 256 x 288 with 8-bit greyscale pixels equal to expected.
void ExpectGreyscalePng(const std::string& path, const std::vector<unsigned char>& expected) {
    sim::Bytes file = ReadFileBytes(path);
    ASSERT_GT(file.size(), 33u);
    const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    ASSERT_TRUE(std::equal(signature, signature + 8, file.begin()));
    // IHDR: width and height big-endian at 16 and 20, bit depth 8 and colour type 0 (grey).
    EXPECT_EQ(std::string(file.begin() + 12, file.begin() + 16), "IHDR");
    EXPECT_EQ((file[16] << 24) | (file[17] << 16) | (file[18] << 8) | file[19], 256);
    EXPECT_EQ((file[20] << 24) | (file[21] << 16) | (file[22] << 8) | file[23], 288);
    EXPECT_EQ(file[24], 8) << "bit depth";
    EXPECT_EQ(file[25], 0) << "colour type";
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()),
                                                  &width, &height, &channels, 0);
    ASSERT_NE(pixels, nullptr) << stbi_failure_reason();
    EXPECT_EQ(channels, 1);
    ASSERT_EQ(static_cast<size_t>(width * height), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), pixels)) << "pixels differ";
    stbi_image_free(pixels);
}

TEST_F(CliAgainstModule, PromptsAppearInTheOrderOfTheFlow) {
    struct {
        std::vector<std::string> args;
        std::vector<std::string> lines;
    } cases[] = {
        {{"enroll", "--slot", "2"},
         {"Place finger", "Lift finger", "Place the same finger again", "enrolled at slot 2"}},
        {{"identify"}, {"Place finger", "Lift finger", "identified: slot 2"}},
        {{"image", "--out", File("i.png")},
         {"Place finger", "Lift finger", "image of 256 x 288 saved to " + File("i.png")}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"--port", "3"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliRun run = RunCliWith(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(Lines(run.out), c.lines);
    }
}

TEST_F(CliAgainstModule, ThePngAndTheRawFileHoldTheModulesImage) {
    module->setAutoFinger(3);
    CliRun run = Run({"image", "--out", File("finger.png"), "--raw", File("finger.raw")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectGreyscalePng(File("finger.png"), ExpandedImage(3));
    EXPECT_EQ(ReadFileBytes(File("finger.raw")), sim::PackedFingerImage(3));
    EXPECT_EQ(Commands(), (std::vector<int>{0x13, 0x01, 0x0A}));
}

TEST_F(CliAgainstModule, JsonIsOneResultObjectOnStandardOutput) {
    module->storePage(5, EnrolledTemplate(1));
    CliRun match = Run({"--json", "verify", "--slot", "5"});
    std::map<std::string, JsonValue> object;
    ASSERT_TRUE(ParseFlatJson(match.out, &object)) << match.out;
    EXPECT_EQ(object["action"].text, "verify");
    EXPECT_EQ(object["ok"].text, "true");
    EXPECT_EQ(object["exit"].text, "0");
    EXPECT_EQ(object["outcome"].text, "ok");
    EXPECT_EQ(object["slot"].text, "5");
    EXPECT_EQ(object["match"].text, "true");
    EXPECT_EQ(object["score"].kind, JsonValue::Number);
    EXPECT_GE(std::stoi(object["score"].text), 80);
    EXPECT_EQ(object["password_candidate"].text, "0");
    // The prompts go to standard error, so that standard output stays one object.
    EXPECT_NE(match.err.find("Place finger"), std::string::npos);

    module->armFault({sim::FaultKind::Code, 0x0C, 1, 0x0A});
    CliRun refused = Run({"delete", "--slot", "5", "--json"});
    object.clear();
    ASSERT_TRUE(ParseFlatJson(refused.out, &object)) << refused.out;
    EXPECT_EQ(object["ok"].text, "false");
    EXPECT_EQ(object["exit"].text, "1");
    EXPECT_EQ(object["outcome"].text, "refused");
    EXPECT_EQ(object["confirmation_code"].text, "10");
    EXPECT_NE(object["message"].text.find("DeleteTemplates"), std::string::npos);
    EXPECT_EQ(refused.exitCode, 1);

    CliRun usage = RunCliWith({"--json", "--port", "3", "delete", "--slot", "\"-1\""});
    object.clear();
    ASSERT_TRUE(ParseFlatJson(usage.out, &object)) << usage.out;
    EXPECT_EQ(object["exit"].text, "2");
    EXPECT_EQ(object["message"].text, "slot '\"-1\"' is not a number; slots are 0..65535");
}

TEST_F(CliAgainstModule, TheTraceShowsEveryFrameBothWaysWithTimestamps) {
    CliRun run = Run({"--trace", "delete", "--slot", "5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::regex line(R"( *\d+\.\d{3} ([<>]) ((?:[0-9A-F]{2} )*[0-9A-F]{2}))");
    std::vector<std::string> sent;
    std::vector<std::string> received;
    for (const std::string& text : Lines(run.err)) {
        std::smatch parts;
        ASSERT_TRUE(std::regex_match(text, parts, line)) << text;
        (parts[1] == ">" ? sent : received).push_back(parts[2]);
    }
    std::vector<std::string> frames;
    for (const auto& frame : module->receivedFrames())
        frames.push_back(sim::HexLine(frame));
    EXPECT_EQ(sent, frames);
    EXPECT_EQ(sent.front(), "EF 01 FF FF FF FF 01 00 07 13 00 00 00 00 00 1B");
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[1], "EF 01 FF FF FF FF 07 00 03 00 00 0A");
    EXPECT_EQ(Run({"delete", "--slot", "5"}).err, "") << "frames shown without --trace";
}

TEST_F(CliAgainstModule, TheProgressBarIsDrawnOnATerminalOnly) {
    CliRun terminal = Run({"image", "--raw", File("a.raw")}, true);
    ASSERT_EQ(terminal.exitCode, 0) << terminal.err;
    EXPECT_NE(terminal.err.find("\rimage ["), std::string::npos);
    EXPECT_NE(terminal.err.find("] 100%\n"), std::string::npos) << terminal.err;
    CliRun pipe = Run({"image", "--raw", File("b.raw")}, false);
    ASSERT_EQ(pipe.exitCode, 0);
    EXPECT_EQ(pipe.err, "");
}

}  // namespace
