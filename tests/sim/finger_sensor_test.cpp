// The finger sensor's policies and the scripts that the command line gives.
#include <gtest/gtest.h>

#include "sim/finger_sensor.h"

namespace {

std::vector<uint32_t> Attempts(sim::FingerSensor& sensor, int count) {
    std::vector<uint32_t> fingers;
    for (int i = 0; i < count; ++i)
        fingers.push_back(sensor.capture());
    return fingers;
}

TEST(FingerSensor, PoliciesGiveTheirFingerAtEachAttempt) {
    sim::FingerSensor sensor;
    EXPECT_EQ(Attempts(sensor, 3), (std::vector<uint32_t>{0, 0, 0})) << "none by default";
    sensor.place(4);
    EXPECT_EQ(Attempts(sensor, 3), (std::vector<uint32_t>{4, 4, 4}));
    sensor.setAuto();
    EXPECT_EQ(Attempts(sensor, 5), (std::vector<uint32_t>{1, 0, 1, 0, 1}));
    sensor.setAuto(7);  // starts again with the finger on
    EXPECT_EQ(Attempts(sensor, 3), (std::vector<uint32_t>{7, 0, 7}));
    sensor.lift();
    EXPECT_EQ(Attempts(sensor, 2), (std::vector<uint32_t>{0, 0}));
}

TEST(FingerSensor, ScriptRangesCountAttemptsFromOne) {
    sim::FingerSensor sensor;
    std::vector<sim::FingerRange> ranges;
    ASSERT_TRUE(sim::ParseFingerScript("3@2-3,5@5-5", &ranges));
    sensor.setScript(ranges);
    EXPECT_EQ(Attempts(sensor, 7), (std::vector<uint32_t>{0, 3, 3, 0, 5, 0, 0}));
    EXPECT_EQ(sensor.attempts(), 7u);
    sensor.setScript(ranges);
    EXPECT_EQ(sensor.attempts(), 0u);
    EXPECT_EQ(sensor.capture(), 0u);
    EXPECT_EQ(sensor.capture(), 3u);
}

TEST(FingerSensor, MalformedScriptsAreRefused) {
    for (const char* text : {"", "3", "3@", "3@2", "3@2-", "@2-3", "0@1-2", "3@0-2", "3@3-2",
                             "3@1-2,", ",3@1-2", "3@1-2,,4@3-4", "x@1-2", "3@1-2x", "3@-1-2"}) {
        std::vector<sim::FingerRange> ranges;
        EXPECT_FALSE(sim::ParseFingerScript(text, &ranges)) << text;
    }
}

TEST(FingerSensor, PolicyTextsOfTheCommandLine) {
    struct Case {
        const char* text;
        bool good;
        std::vector<uint32_t> fingers;
    } cases[] = {
        {"none", true, {0, 0}},   {"2", true, {2, 2}},  {"auto", true, {1, 0}},
        {"auto:6", true, {6, 0}}, {"auto:", false, {}}, {"auto:0", false, {}},
        {"0", false, {}},         {"two", false, {}},   {"", false, {}},
    };
    for (const Case& c : cases) {
        sim::FingerSensor sensor;
        ASSERT_EQ(sim::ApplyFingerPolicy(c.text, &sensor), c.good) << c.text;
        if (c.good) {
            EXPECT_EQ(Attempts(sensor, 2), c.fingers) << c.text;
        }
    }
}

}  // namespace
