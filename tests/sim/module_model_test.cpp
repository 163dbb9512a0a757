// The module model on its own: one host body in, the reply bodies out.
#include <gtest/gtest.h>

#include "link/frame_codec.h"
#include "sim/confirmation_codes.h"
#include "sim/finger_image.h"
#include "sim/module_model.h"
#include "sim/templates.h"

namespace {

using sim::Bytes;

Bytes Body(uint8_t packetId, const Bytes& contents) {
    Bytes body = {packetId, static_cast<uint8_t>((contents.size() + 2) >> 8),
                  static_cast<uint8_t>((contents.size() + 2) & 0xFF)};
    body.resize(3 + contents.size());
    std::copy(contents.begin(), contents.end(), body.begin() + 3);
    return body;
}

Bytes Contents(const Bytes& body) {
    return Bytes(body.begin() + 3, body.end());
}

class Model : public ::testing::Test {
  protected:
    // The reply bodies to one command.
    std::vector<Bytes> Run(const Bytes& contents) {
        return model.handle(Body(PacketId::Command, contents));
    }
    // The Ack's Contents for a command that is answered by one Ack.
    Bytes Ack(const Bytes& contents) {
        std::vector<Bytes> replies = Run(contents);
        EXPECT_EQ(replies.size(), 1u);
        if (replies.empty())
            return {};
        EXPECT_EQ(replies[0][0], PacketId::Ack);
        return Contents(replies[0]);
    }
    uint8_t Code(const Bytes& contents) {
        Bytes ack = Ack(contents);
        return ack.empty() ? 0xFF : ack[0];
    }
    // Captures finger `finger` and extracts it into `buffer`.
    void Enroll(uint32_t finger, uint8_t buffer) {
        model.sensor().place(finger);
        ASSERT_EQ(Code({0x01}), sim::kSuccess);
        ASSERT_EQ(Code({0x02, buffer}), sim::kSuccess);
    }
    int Score() {
        Bytes ack = Ack({0x03});
        EXPECT_EQ(ack.size(), 3u);
        return ack.size() == 3 ? ack[1] * 256 + ack[2] : -1;
    }
    // The data bytes of an upload, after checking its frames: an Ack with code 0, data frames of
    // `chunk` bytes, and one end frame.
    Bytes Upload(const Bytes& contents, size_t chunk) {
        std::vector<Bytes> replies = Run(contents);
        Bytes data;
        EXPECT_GE(replies.size(), 2u);
        if (replies.size() < 2)
            return data;
        EXPECT_EQ(replies[0], Body(PacketId::Ack, {0x00}));
        for (size_t i = 1; i < replies.size(); ++i) {
            bool last = i + 1 == replies.size();
            EXPECT_EQ(replies[i][0], last ? PacketId::EndData : PacketId::Data) << "frame " << i;
            Bytes part = Contents(replies[i]);
            EXPECT_LE(part.size(), chunk);
            if (!last) {
                EXPECT_EQ(part.size(), chunk);
            }
            data.insert(data.end(), part.begin(), part.end());
        }
        return data;
    }
    void Download(uint8_t buffer, const Bytes& data, size_t chunk) {
        ASSERT_EQ(Code({0x09, buffer}), sim::kSuccess);
        for (size_t at = 0; at < data.size(); at += chunk) {
            size_t count = std::min(chunk, data.size() - at);
            uint8_t id = at + count == data.size() ? PacketId::EndData : PacketId::Data;
            Bytes part(data.begin() + static_cast<long>(at),
                       data.begin() + static_cast<long>(at + count));
            EXPECT_TRUE(model.handle(Body(id, part)).empty()) << "a data frame was answered";
        }
    }

    sim::ModuleModel model;
};

TEST_F(Model, PasswordIsAllZeroUntilSetAndOnlyTheSetOneVerifies) {
    EXPECT_EQ(Code({0x13, 0, 0, 0, 0}), sim::kSuccess);
    EXPECT_EQ(Code({0x13, 'q', 'm', 't', 'z'}), sim::kWrongPassword);
    EXPECT_EQ(Code({0x12, 'r', 'd', 'u', 'k'}), sim::kSuccess);
    EXPECT_EQ(Code({0x13, 'r', 'd', 'u', 'k'}), sim::kSuccess);
    EXPECT_EQ(Code({0x13, 0, 0, 0, 0}), sim::kWrongPassword);
    EXPECT_EQ(model.password(), (sim::Password{'r', 'd', 'u', 'k'}));
}

TEST_F(Model, CaptureNeedsAFingerAndAFailedCaptureLeavesNoImage) {
    EXPECT_EQ(Code({0x01}), sim::kNoFinger);
    EXPECT_EQ(Code({0x02, 1}), sim::kNoImage);
    EXPECT_EQ(Code({0x0A}), sim::kNoImage);
    Enroll(4, 1);
    EXPECT_EQ(model.imageFinger(), 4u);
    model.sensor().lift();
    EXPECT_EQ(Code({0x01}), sim::kNoFinger);
    EXPECT_EQ(Code({0x02, 2}), sim::kNoImage);
    EXPECT_EQ(model.captureCommands(), 3u);
}

TEST_F(Model, StoreLoadDeleteAndEmptyTheLibrary) {
    Enroll(7, 1);
    EXPECT_EQ(Code({0x06, 1, 0x03, 0xE7}), sim::kSuccess);  // page 999, the last one
    EXPECT_EQ(model.libraryPage(999), model.featureBuffer(1));
    EXPECT_EQ(Code({0x06, 1, 0x03, 0xE8}), sim::kPageOutOfRange);  // page 1000
    EXPECT_EQ(Code({0x06, 1, 0x00, 0x05}), sim::kSuccess);
    EXPECT_EQ(Code({0x07, 2, 0x00, 0x05}), sim::kSuccess);
    EXPECT_EQ(model.featureBuffer(2), model.libraryPage(5));
    EXPECT_EQ(Code({0x07, 2, 0x00, 0x06}), sim::kPageEmpty);

    EXPECT_EQ(Code({0x0C, 0x00, 0x05, 0x00, 0x01}), sim::kSuccess);
    EXPECT_TRUE(model.libraryPage(5).empty());
    EXPECT_FALSE(model.libraryPage(999).empty()) << "deleted more than one page";
    EXPECT_EQ(Code({0x07, 2, 0x00, 0x05}), sim::kPageEmpty);
    EXPECT_EQ(Code({0x0C, 0x03, 0xE7, 0x00, 0x02}), sim::kPageOutOfRange);
    EXPECT_FALSE(model.libraryPage(999).empty());

    EXPECT_EQ(Code({0x0D}), sim::kSuccess);
    EXPECT_TRUE(model.libraryPage(999).empty());
}

TEST_F(Model, StoreAndLoadRefuseBadBuffersAndEmptyOnes) {
    EXPECT_EQ(Code({0x06, 1, 0, 0}), sim::kBufferEmpty);
    EXPECT_EQ(Code({0x06, 0, 0, 0}), sim::kBadBuffer);
    EXPECT_EQ(Code({0x07, 4, 0, 0}), sim::kBadBuffer);
    EXPECT_EQ(Code({0x02, 4}), sim::kBadBuffer);
    EXPECT_TRUE(model.libraryPage(0).empty());
}

TEST_F(Model, SystemParameterFourTakesBaudCodes) {
    EXPECT_EQ(model.baudCode(), sim::kDefaultBaudCode);
    EXPECT_EQ(Code({0x0E, 4, 12}), sim::kSuccess);
    EXPECT_EQ(model.baudCode(), 12);
    EXPECT_EQ(Code({0x0E, 4, 6}), sim::kSuccess);
    EXPECT_EQ(model.baudCode(), 6);
    for (const Bytes& refused : {Bytes{0x0E, 4, 0}, Bytes{0x0E, 4, 13}, Bytes{0x0E, 5, 6}}) {
        EXPECT_EQ(Code(refused), sim::kBadParameter);
    }
    EXPECT_EQ(model.baudCode(), 6);
}

TEST_F(Model, UnknownCommandsAndWrongSizesAreRefused) {
    struct Case {
        const char* name;
        Bytes contents;
        uint8_t code;
    } cases[] = {
        {"no code at all", {}, sim::kMalformedCommand},
        {"unknown code 0B", {0x0B}, sim::kUnknownCommand},
        {"unknown code FF", {0xFF, 1, 2}, sim::kUnknownCommand},
        {"capture with a parameter", {0x01, 0x00}, sim::kMalformedCommand},
        {"verify with three password bytes", {0x13, 0, 0, 0}, sim::kMalformedCommand},
        {"search without its count", {0x04, 1, 0, 0}, sim::kMalformedCommand},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Code(c.contents), c.code) << c.name;
}

TEST_F(Model, FramesThatAreNotCommandsGetNoReply) {
    EXPECT_TRUE(model.handle(Body(PacketId::Data, {1, 2, 3})).empty());
    EXPECT_TRUE(model.handle(Body(PacketId::EndData, {1})).empty());
    EXPECT_TRUE(model.handle(Body(PacketId::Ack, {0})).empty());
    EXPECT_TRUE(model.handle(Body(0x55, {0x01})).empty());
    EXPECT_TRUE(model.featureBuffer(1).empty());
}

TEST_F(Model, SameFingerScoresHighAndDifferentFingersLow) {
    Enroll(3, 1);
    Enroll(3, 2);
    EXPECT_NE(model.featureBuffer(1), model.featureBuffer(2)) << "captures do not vary";
    EXPECT_GE(Score(), 150);
    Enroll(5, 2);
    EXPECT_LE(Score(), 10);
}

TEST_F(Model, AForcedScoreOverridesUntilItIsTakenBack) {
    Enroll(3, 1);
    Enroll(8, 2);
    for (int forced : {80, 79, 0, 65535}) {
        model.setForcedScore(forced);
        EXPECT_EQ(Ack({0x03}), (Bytes{0x00, static_cast<uint8_t>(forced >> 8),
                                      static_cast<uint8_t>(forced & 0xFF)}));
    }
    model.setForcedScore(std::nullopt);
    EXPECT_LE(Score(), 10);
}

TEST_F(Model, MatchNeedsBothBuffers) {
    Enroll(3, 1);
    EXPECT_EQ(Ack({0x03}), (Bytes{sim::kBufferEmpty, 0, 0}));
}

TEST_F(Model, SearchFindsTheFingersPageWithinTheRangeAsked) {
    for (uint8_t page = 0; page < 3; ++page) {
        Enroll(10 + page, 1);
        ASSERT_EQ(Code({0x06, 1, 0, static_cast<uint8_t>(40 + page)}), sim::kSuccess);
    }
    Enroll(11, 1);  // a new capture of the finger on page 41
    Bytes found = Ack({0x04, 1, 0x00, 0x00, 0x01, 0x00});
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0], sim::kSuccess);
    EXPECT_EQ(found[1] * 256 + found[2], 41);
    EXPECT_GE(found[3] * 256 + found[4], 150);

    EXPECT_EQ(Ack({0x04, 1, 0x00, 0x00, 0x00, 41}), (Bytes{sim::kNotFound, 0, 0, 0, 0}));
    EXPECT_EQ(Ack({0x04, 1, 0x00, 42, 0x01, 0x00}), (Bytes{sim::kNotFound, 0, 0, 0, 0}));
    EXPECT_EQ(Ack({0x04, 1, 0x03, 0xE8, 0x00, 0x01})[0], sim::kPageOutOfRange);

    Enroll(99, 1);
    EXPECT_EQ(Ack({0x04, 1, 0x00, 0x00, 0x01, 0x00})[0], sim::kNotFound);
}

TEST_F(Model, SearchReportsAForcedScoreAndFailsBelowEighty) {
    Enroll(10, 1);
    ASSERT_EQ(Code({0x06, 1, 0, 7}), sim::kSuccess);
    model.setForcedScore(80);
    EXPECT_EQ(Ack({0x04, 1, 0, 0, 1, 0}), (Bytes{0x00, 0, 7, 0, 80}));
    model.setForcedScore(79);
    EXPECT_EQ(Ack({0x04, 1, 0, 0, 1, 0})[0], sim::kNotFound);
}

TEST_F(Model, MergeJoinsTwoCapturesOfOneFingerAndRefusesTwoFingers) {
    Enroll(6, 1);
    Enroll(9, 2);
    Bytes before = model.featureBuffer(1);
    EXPECT_EQ(Code({0x05}), sim::kFingersDiffer);
    EXPECT_EQ(model.featureBuffer(1), before);

    Enroll(6, 2);
    EXPECT_EQ(Code({0x05}), sim::kSuccess);
    Bytes merged = model.featureBuffer(1);
    EXPECT_EQ(merged[0], sim::kMergedMark);
    Enroll(6, 2);  // a third capture still matches the merged template
    EXPECT_GE(sim::MatchScore(merged, model.featureBuffer(2)), 150);
}

TEST_F(Model, UploadSendsTheBufferInChunksClosedByAnEndFrame) {
    Enroll(2, 1);
    for (size_t chunk : {32u, 64u, 128u, 256u}) {
        ASSERT_TRUE(model.setChunkSize(chunk));
        std::vector<Bytes> replies = Run({0x08, 1});
        EXPECT_EQ(replies.size(), 1 + sim::kTemplateSize / chunk) << chunk;
        EXPECT_EQ(Upload({0x08, 1}, chunk), model.featureBuffer(1)) << chunk;
    }
    EXPECT_FALSE(model.setChunkSize(100));
    EXPECT_EQ(model.chunkSize(), 256u);
    EXPECT_EQ(Code({0x08, 2}), sim::kBufferEmpty);
}

TEST_F(Model, ImageUploadSendsThePackedImageOfTheCapturedFinger) {
    Enroll(12, 1);
    for (size_t chunk : {32u, 128u, 256u}) {
        ASSERT_TRUE(model.setChunkSize(chunk));
        EXPECT_EQ(Upload({0x0A}, chunk), sim::PackedFingerImage(12)) << chunk;
    }
}

TEST_F(Model, TemplatesWrittenBackScoreFromTheirBytes) {
    Enroll(21, 1);
    Bytes first = Upload({0x08, 1}, 128);
    Enroll(21, 1);
    Bytes second = Upload({0x08, 1}, 128);
    Enroll(22, 1);
    Bytes other = Upload({0x08, 1}, 128);

    model.sensor().lift();
    Download(1, first, 128);
    Download(2, second, 128);
    EXPECT_EQ(model.featureBuffer(1), first);
    EXPECT_EQ(model.featureBuffer(2), second);
    EXPECT_EQ(Score(), sim::MatchScore(first, second));
    EXPECT_GE(Score(), 150);

    Download(2, other, 100);  // any chunk size goes
    EXPECT_LE(Score(), 10);
}

TEST_F(Model, ABrokenOffDownloadKeepsWhatCameAndEndsAtTheNextCommand) {
    ASSERT_EQ(Code({0x09, 3}), sim::kSuccess);
    EXPECT_TRUE(model.downloading());
    model.handle(Body(PacketId::Data, Bytes(128, 0xAB)));
    EXPECT_EQ(Code({0x13, 0, 0, 0, 0}), sim::kSuccess);
    EXPECT_FALSE(model.downloading());
    model.handle(Body(PacketId::EndData, Bytes(4, 0xCD)));  // too late: ignored
    Bytes expected(sim::kTemplateSize, 0);
    std::fill(expected.begin(), expected.begin() + 128, 0xAB);
    EXPECT_EQ(model.featureBuffer(3), expected);
}

TEST_F(Model, ADownloadLongerThanATemplateDropsTheExcess) {
    Bytes data(600);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i);
    Download(1, data, 200);
    EXPECT_EQ(model.featureBuffer(1), Bytes(data.begin(), data.begin() + 512));
    EXPECT_EQ(Code({0x09, 0}), sim::kBadBuffer);
}

TEST_F(Model, ARefusedCommandIsNotCarriedOutButACaptureStillCounts) {
    model.sensor().setAuto(5);
    EXPECT_EQ(model.refuse(Body(PacketId::Command, {0x01}), 0x21),
              (std::vector<Bytes>{Body(PacketId::Ack, {0x21})}));
    EXPECT_EQ(model.captureCommands(), 1u);
    EXPECT_EQ(model.imageFinger(), 0u);
    EXPECT_EQ(Code({0x01}), sim::kNoFinger) << "the refused capture did not take its turn";
    model.refuse(Body(PacketId::Command, {0x12, 1, 2, 3, 4}), 0x21);
    EXPECT_EQ(model.password(), (sim::Password{0, 0, 0, 0}));
}

}  // namespace
