// Templates and finger images: what depends on the finger, what varies, and how scores come out.
#include <gtest/gtest.h>

#include "sim/finger_image.h"
#include "sim/templates.h"

namespace {

using sim::Bytes;

TEST(Templates, CapturesOfOneFingerVaryALittleAndScoreWellAboveEighty) {
    for (uint32_t finger = 1; finger <= 20; ++finger) {
        Bytes first = sim::FingerTemplate(finger, 1);
        Bytes second = sim::FingerTemplate(finger, 2);
        ASSERT_EQ(first.size(), sim::kTemplateSize);
        EXPECT_NE(first, second) << finger;
        EXPECT_EQ(first, sim::FingerTemplate(finger, 1)) << "not repeatable";
        EXPECT_GE(sim::MatchScore(first, second), 150) << finger;
    }
}

TEST(Templates, DifferentFingersScoreWellBelowEighty) {
    for (uint32_t finger = 1; finger <= 20; ++finger) {
        for (uint32_t other = finger + 1; other <= 20; ++other) {
            EXPECT_LE(sim::MatchScore(sim::FingerTemplate(finger, finger),
                                      sim::FingerTemplate(other, finger)),
                      20)
                << finger << " against " << other;
        }
    }
}

TEST(Templates, ScoresComeFromTheBytes) {
    Bytes bytes = sim::FingerTemplate(3, 1);
    EXPECT_EQ(sim::MatchScore(bytes, bytes), sim::kFullScore);
    Bytes half = bytes;
    for (size_t i = 1; i < half.size(); i += 2)
        half[i] = static_cast<uint8_t>(half[i] + 1);
    EXPECT_NEAR(sim::MatchScore(bytes, half), sim::kFullScore / 2, 1);
    EXPECT_EQ(sim::MatchScore(bytes, Bytes(100, 0)), 0) << "a short template";
}

TEST(FingerImage, IsPackedTwoPixelsToAByteLeftInTheHighNibble) {
    Bytes image = sim::PackedFingerImage(1);
    ASSERT_EQ(image.size(), 36864u);
    EXPECT_EQ(sim::PackedPixel(image, 0, 0), image[0] >> 4);
    EXPECT_EQ(sim::PackedPixel(image, 1, 0), image[0] & 0x0F);
    EXPECT_EQ(sim::PackedPixel(image, 255, 287), image[36863] & 0x0F);
    EXPECT_EQ(sim::PackedPixel(image, 2, 1), image[129] >> 4);
    // Outside the fingertip the paper is white; inside there are ridges and valleys.
    EXPECT_EQ(sim::PackedPixel(image, 0, 0), 15);
    int dark = 0, light = 0;
    for (size_t x = 100; x < 156; ++x) {
        uint8_t pixel = sim::PackedPixel(image, x, 144);
        dark += pixel <= 4;
        light += pixel >= 11;
    }
    EXPECT_GT(dark, 5);
    EXPECT_GT(light, 5);
}

TEST(FingerImage, DependsOnTheFinger) {
    Bytes first = sim::PackedFingerImage(1);
    EXPECT_EQ(first, sim::PackedFingerImage(1));
    for (uint32_t other : {2u, 3u, 1000u}) {
        Bytes image = sim::PackedFingerImage(other);
        size_t differ = 0;
        for (size_t i = 0; i < image.size(); ++i)
            differ += image[i] != first[i];
        EXPECT_GT(differ, image.size() / 4) << other;
    }
}

}  // namespace
