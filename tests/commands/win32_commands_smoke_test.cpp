// The command set, cross-compiled, against the simulated module under wine: the module is served
// on a pseudo-terminal mapped as COM3, with finger 1 on the sensor.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "link/module_port.h"

namespace {

class Win32Commands : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(OpenModulePort(3, 57600), 1); }
    void TearDown() override { CloseModulePort(); }
};

const unsigned char kZero[4] = {0, 0, 0, 0};

TEST_F(Win32Commands, LogInCaptureAndMatchTheSameFinger) {
    EXPECT_EQ(VerifyPassword(kZero), 0);
    ASSERT_EQ(CaptureImage(), 0);
    ASSERT_EQ(ExtractFeatures(1), 0);
    ASSERT_EQ(CaptureImage(), 0);
    ASSERT_EQ(ExtractFeatures(2), 0);
    int score = 0;
    ASSERT_EQ(MatchFeatures(&score), 0);
    EXPECT_GE(score, MATCH_SCORE_THRESHOLD);
}

TEST_F(Win32Commands, ATemplateMakesTheRoundTrip) {
    ASSERT_EQ(CaptureImage(), 0);
    ASSERT_EQ(ExtractFeatures(1), 0);
    TemplateStore store = {};
    ASSERT_EQ(ReadFeatures(store.bytes, &store.length), 0);
    EXPECT_EQ(store.length, TEMPLATE_SIZE);
    ASSERT_EQ(WriteFeatures(2, store.bytes, store.length), 0);
    int score = 0;
    ASSERT_EQ(MatchFeatures(&score), 0);
    EXPECT_GE(score, MATCH_SCORE_THRESHOLD) << "the template written back does not match itself";
}

// Data frames go out back to back; the purge before each send must not cut the one before short.
TEST_F(Win32Commands, TemplatesWrittenAgainAndAgainArriveWhole) {
    for (int round = 0; round < 40; ++round) {
        unsigned char data[TEMPLATE_SIZE];
        for (int i = 0; i < TEMPLATE_SIZE; ++i)
            data[i] = static_cast<unsigned char>(i * 7 + round);
        ASSERT_EQ(WriteFeatures(1, data, TEMPLATE_SIZE), 0) << round;
        TemplateStore back = {};
        ASSERT_EQ(ReadFeatures(back.bytes, &back.length), 0) << round;
        ASSERT_EQ(back.length, TEMPLATE_SIZE) << round;
        ASSERT_EQ(0, memcmp(back.bytes, data, TEMPLATE_SIZE)) << round;
    }
}

TEST_F(Win32Commands, AnImageArrivesExpanded) {
    ASSERT_EQ(CaptureImage(), 0);
    ASSERT_EQ(ReadImage(), 0);
    EXPECT_EQ(imagePixelCount.load(), IMAGE_PIXELS);
    std::set<int> shades;
    for (int i = 0; i < IMAGE_PIXELS; ++i) {
        ASSERT_EQ(RawImage[i] & 0x0F, 0) << i;
        shades.insert(RawImage[i]);
    }
    EXPECT_GT(shades.size(), 4u) << "a ridge pattern has more than a few shades";
}

}  // namespace
