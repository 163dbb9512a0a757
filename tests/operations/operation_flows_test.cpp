#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>

#include "commands/bulk_transfers.h"
#include "commands/link_lock.h"
#include "commands/module_commands.h"
#include "console/image_view.h"
#include "link/module_port.h"
#include "link/port_device_path.h"
#include "operations/event_recorder.h"
#include "operations/operation_flows.h"
#include "sim/finger_image.h"
#include "sim/module_server.h"
#include "tests/support/module_on_port.h"
#include "tests/support/operation_waits.h"
#include "tests/support/recorded_events.h"

namespace {

using namespace std::chrono_literals;

const OperationEvent kPlace{EVT_PLACE_FINGER, 1};
const OperationEvent kLift{EVT_LIFT_FINGER, 1};
const OperationEvent kImage{EVT_IMAGE_READY, 0};
const OperationEvent kTimeout{EVT_FINGER_TIMEOUT, 0};

class Flows : public ModuleOnPort {
  protected:
    void SetUp() override {
        ModuleOnPort::SetUp();
        showImage = 0;
        SetSlotField(1);
        std::memset(&enrolledTemplate, 0x5A, sizeof enrolledTemplate.bytes);
        std::memset(&capturedTemplate, 0x5A, sizeof capturedTemplate.bytes);
        enrolledTemplate.length = TEMPLATE_SIZE;  // an earlier template, still usable
        capturedTemplate.length = TEMPLATE_SIZE;
    }
    Events Run(OperationKind kind) {
        ClearRecordedEvents();
        module->clearReceivedFrames();
        StartOperation(kind);
        EXPECT_TRUE(WaitUntilIdle(30000)) << "the operation never ended";
        return RecordedEvents();
    }

    // The command codes the module received, in order.
    std::vector<int> Commands() const { return module->receivedCommands(); }
    size_t CountOf(int code) const {
        size_t n = 0;
        for (int c : Commands())
            n += c == code;
        return n;
    }

    // Enrolls finger 1 into page on the module, with the auto finger.
    void EnrollOnModule(int page) {
        module->setAutoFinger(1);
        SetSlotField(page);
        ASSERT_EQ(Run(ModuleEnroll).back(), (OperationEvent{EVT_MODULE_ENROLL_DONE, 1}));
    }
};

TEST_F(Flows, SuccessfulRunsPostTheirEventsWithAndWithoutImages) {
    struct Case {
        OperationKind kind;
        OperationEvent done;
    } cases[] = {
        {HostEnroll, {EVT_HOST_ENROLL_DONE, 1}},
        {ModuleEnroll, {EVT_MODULE_ENROLL_DONE, 1}},
        {HostCapture, {EVT_HOST_CAPTURE_DONE, 1}},
        {ModuleVerify, {EVT_VERIFY_DONE, 1}},
        {ModuleIdentify, {EVT_IDENTIFY_DONE, IdentifiedValue(1)}},
    };
    for (int show : {0, 1}) {
        for (const Case& c : cases) {
            // Slot 1 holds finger 1 (stored by the enroll above it in the table), loaded for
            // verify.
            if (c.kind == ModuleVerify) {
                ASSERT_EQ(LoadTemplate(1), 0);
            }
            module->setAutoFinger(1);
            showImage = show;
            Events events = Run(c.kind);
            bool twoFingers = c.kind == HostEnroll || c.kind == ModuleEnroll;
            Events expected = {kPlace, kLift};
            if (show)
                expected.push_back(kImage);
            if (twoFingers) {
                expected.push_back(kPlace);
                if (show)
                    expected.push_back(kImage);
            }
            expected.push_back(c.done);
            EXPECT_EQ(events, expected) << "kind " << c.kind << " show " << show;
            EXPECT_EQ(CountOf(0x0A), show ? (twoFingers ? 2u : 1u) : 0u) << c.kind;
        }
    }
}

TEST_F(Flows, HostTemplatesHoldWhatTheModuleSent) {
    module->setAutoFinger(4);
    ASSERT_EQ(Run(HostCapture).back(), (OperationEvent{EVT_HOST_CAPTURE_DONE, 1}));
    EXPECT_EQ(capturedTemplate.length, TEMPLATE_SIZE);
    sim::Bytes buffer1 = module->featureBuffer(1);
    ASSERT_EQ(buffer1.size(), static_cast<size_t>(TEMPLATE_SIZE));
    EXPECT_EQ(0, std::memcmp(capturedTemplate.bytes, buffer1.data(), TEMPLATE_SIZE));
}

TEST_F(Flows, TheShownImageIsTheModulesImageExpandedAndPresented) {
    CreateImageView();
    module->setAutoFinger(3);
    showImage = 1;
    ASSERT_EQ(Run(HostCapture).back(), (OperationEvent{EVT_HOST_CAPTURE_DONE, 1}));
    sim::Bytes packed = sim::PackedFingerImage(3);
    for (size_t i = 0; i < packed.size(); ++i) {
        ASSERT_EQ(RawImage[2 * i], packed[i] & 0xF0) << i;
        ASSERT_EQ(RawImage[2 * i + 1], (packed[i] & 0x0F) << 4) << i;
    }
    EXPECT_EQ(imagePixelCount.load(), IMAGE_PIXELS);
    int same = UseImageView(
        [](const ImageHeaderBlock* header, const unsigned char* pixels, int32_t w, int32_t h,
           void*) {
            EXPECT_EQ(header->header.biHeight, -288);
            EXPECT_EQ(w * h, IMAGE_PIXELS);
            EXPECT_EQ(0, std::memcmp(pixels, RawImage, IMAGE_PIXELS));
        },
        nullptr);
    EXPECT_EQ(same, 1);
    ReleaseImageView();
}

TEST_F(Flows, NoFingerMeansNineteenCapturesAndNothingElse) {
    module->setFingerPolicy("none");
    for (OperationKind kind : {HostEnroll, ModuleVerify}) {
        EXPECT_EQ(Run(kind), (Events{kPlace, kTimeout}));
        EXPECT_EQ(Commands(), std::vector<int>(FINGER_WAIT_ATTEMPTS, 0x01));
        EXPECT_EQ(enrolledTemplate.length, TEMPLATE_SIZE) << "a time-out changed a template";
    }
}

TEST_F(Flows, AFingerThatStaysOnRunsOutTheLiftWait) {
    module->placeFinger(2);
    for (OperationKind kind : {HostEnroll, ModuleEnroll}) {
        EXPECT_EQ(Run(kind), (Events{kPlace, kLift, kTimeout}));
        std::vector<int> expected = {0x01, 0x02};
        expected.insert(expected.end(), FINGER_WAIT_ATTEMPTS, 0x01);
        EXPECT_EQ(Commands(), expected);
        EXPECT_FALSE(module->featureBuffer(1).empty());
        EXPECT_EQ(enrolledTemplate.length, TEMPLATE_SIZE);
    }
}

TEST_F(Flows, VerifyMatchesAtEightyAndNotBelow) {
    EnrollOnModule(5);
    struct {
        int score;
        uint32_t value;
    } cases[] = {{80, 1}, {79, 0}, {200, 1}};
    for (const auto& c : cases) {
        module->forceScore(c.score);
        ASSERT_EQ(LoadTemplate(5), 0);
        module->setAutoFinger(1);
        EXPECT_EQ(Run(ModuleVerify).back(), (OperationEvent{EVT_VERIFY_DONE, c.value})) << c.score;
    }
    // A refused match fails whatever score came back.
    module->forceScore(99);
    module->armFault({sim::FaultKind::Code, 0x03, 1, 9});
    module->setAutoFinger(1);
    EXPECT_EQ(Run(ModuleVerify).back(), (OperationEvent{EVT_VERIFY_DONE, 0}));
}

TEST_F(Flows, VerifyOfAnotherFingerFails) {
    EnrollOnModule(5);
    ASSERT_EQ(LoadTemplate(5), 0);
    module->setAutoFinger(2);
    EXPECT_EQ(Run(ModuleVerify).back(), (OperationEvent{EVT_VERIFY_DONE, 0}));
}

TEST_F(Flows, IdentifyReportsThePageFoundOrFailure) {
    for (int page : {0, 2}) {
        module->setFingerPolicy("none");
        EnrollOnModule(page);
        module->setAutoFinger(1);
        EXPECT_EQ(Run(ModuleIdentify).back(),
                  (OperationEvent{EVT_IDENTIFY_DONE, IdentifiedValue(page)}));
        ASSERT_EQ(EmptyTemplates(), 0);
    }
    EXPECT_EQ(IdentifiedValue(0), 1u);
    EXPECT_EQ(IdentifiedValue(2), 2u * 65536u + 1u);
    EXPECT_EQ(IdentifiedValue(65535), 0xFFFF0001u);
    module->setAutoFinger(1);
    EXPECT_EQ(Run(ModuleIdentify).back(), (OperationEvent{EVT_IDENTIFY_DONE, 0}))
        << "empty library";
}

TEST_F(Flows, ModuleEnrollStoresAtTheSlotShownWhenItStores) {
    SetSlotField(0);  // an empty field reads as 0
    EnrollOnModule(0);
    EXPECT_TRUE(module->pageStored(0));

    // The field changes while the operator places fingers: the number shown at the store wins.
    SetSlotField(3);
    WatchOperationEvents(
        [](OperationEvent event, void*) {
            if (event.code == EVT_LIFT_FINGER)
                SetSlotField(9);
        },
        nullptr);
    module->setAutoFinger(1);
    EXPECT_EQ(Run(ModuleEnroll).back(), (OperationEvent{EVT_MODULE_ENROLL_DONE, 1}));
    EXPECT_TRUE(module->pageStored(9));
    EXPECT_FALSE(module->pageStored(3));
}

TEST_F(Flows, ANegativeSlotStoresNothingAndEmptiesTheEnrolledTemplate) {
    SetSlotField(-1);
    module->setAutoFinger(1);
    EXPECT_EQ(Run(ModuleEnroll).back(), (OperationEvent{EVT_MODULE_ENROLL_DONE, 0}));
    EXPECT_EQ(CountOf(0x06), 0u);
    EXPECT_EQ(enrolledTemplate.length, 0);
}

// Which template each failure empties: the failing command is refused by the module once.
TEST_F(Flows, FailureExitsResetTheTemplatesTheyShould) {
    struct Case {
        const char* name;
        OperationKind kind;
        int failingCode;
        bool secondFinger;  // arm the fault only once the second finger is awaited
        int show;
        unsigned done;
        int enrolledAfter;
        int capturedAfter;
    } cases[] = {
        {"host enroll, first extract", HostEnroll, 0x02, false, 0, EVT_HOST_ENROLL_DONE, 0, 512},
        {"host enroll, second extract", HostEnroll, 0x02, true, 0, EVT_HOST_ENROLL_DONE, 512, 512},
        {"host enroll, merge", HostEnroll, 0x05, false, 0, EVT_HOST_ENROLL_DONE, 0, 512},
        {"host enroll, read features", HostEnroll, 0x08, false, 0, EVT_HOST_ENROLL_DONE, 0, 512},
        {"host enroll, second image", HostEnroll, 0x0A, true, 1, EVT_HOST_ENROLL_DONE, 0, 512},
        {"module enroll, second extract", ModuleEnroll, 0x02, true, 0, EVT_MODULE_ENROLL_DONE, 512,
         512},
        {"module enroll, merge", ModuleEnroll, 0x05, false, 0, EVT_MODULE_ENROLL_DONE, 0, 512},
        {"module enroll, store", ModuleEnroll, 0x06, false, 0, EVT_MODULE_ENROLL_DONE, 0, 512},
        {"host capture, image", HostCapture, 0x0A, false, 1, EVT_HOST_CAPTURE_DONE, 512, 0},
        {"host capture, extract", HostCapture, 0x02, false, 0, EVT_HOST_CAPTURE_DONE, 512, 0},
        {"host capture, read features", HostCapture, 0x08, false, 0, EVT_HOST_CAPTURE_DONE, 512, 0},
        {"verify, image", ModuleVerify, 0x0A, false, 1, EVT_VERIFY_DONE, 512, 512},
        {"identify, search", ModuleIdentify, 0x04, false, 0, EVT_IDENTIFY_DONE, 512, 512},
    };
    static sim::ModuleServer* armed;
    static int armedCode;
    for (const Case& c : cases) {
        enrolledTemplate.length = TEMPLATE_SIZE;
        capturedTemplate.length = TEMPLATE_SIZE;
        module->clearFaults();
        showImage = c.show;
        armed = module.get();
        armedCode = c.failingCode;
        int placings = 0;
        if (c.secondFinger) {
            WatchOperationEvents(
                [](OperationEvent event, void* count) {
                    if (event.code == EVT_PLACE_FINGER && ++*static_cast<int*>(count) == 2) {
                        armed->armFault({sim::FaultKind::Code, armedCode, 1, 1});
                    }
                },
                &placings);
        } else {
            WatchOperationEvents(nullptr, nullptr);
            module->armFault({sim::FaultKind::Code, c.failingCode, 1, 1});
        }
        module->setAutoFinger(1);
        EXPECT_EQ(Run(c.kind).back(), (OperationEvent{c.done, 0})) << c.name;
        WatchOperationEvents(nullptr, nullptr);
        EXPECT_EQ(enrolledTemplate.length, c.enrolledAfter) << c.name;
        EXPECT_EQ(capturedTemplate.length, c.capturedAfter) << c.name;
    }
}

TEST_F(Flows, ADirectCommandDuringAFingerWaitRunsBetweenCapturesWithItsFrameIntact) {
    module->setFingerPolicy("none");
    module->armFault({sim::FaultKind::Delay, 0x01, 40, 20});  // each capture answer takes 20 ms
    ClearRecordedEvents();
    module->clearReceivedFrames();
    StartOperation(ModuleVerify);
    ASSERT_TRUE(module->waitForHandledFrames(2, 5000));
    EXPECT_EQ(DeleteTemplates(300), 0);
    ASSERT_TRUE(WaitUntilIdle(30000));
    std::vector<int> codes = Commands();
    ASSERT_EQ(CountOf(0x01), static_cast<size_t>(FINGER_WAIT_ATTEMPTS));
    ASSERT_EQ(CountOf(0x0C), 1u);
    EXPECT_NE(codes.front(), 0x0C);
    EXPECT_NE(codes.back(), 0x0C);
    // Every frame the module got verified as a whole: nothing was interleaved.
    EXPECT_EQ(module->receivedFrames().size(), codes.size());
    bool found = false;
    for (const auto& frame : module->receivedFrames()) {
        if (frame.size() > 9 && frame[9] == 0x0C) {
            found = true;
            EXPECT_EQ(frame, (sim::Bytes{0xEF, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0x01, 0x00, 0x07, 0x0C,
                                         0x01, 0x2C, 0x00, 0x01, 0x00, 0x42}));
        }
    }
    EXPECT_TRUE(found);
    EXPECT_EQ(RecordedEvents(), (Events{kPlace, kTimeout}));
}

TEST_F(Flows, ClosingThePortDuringALongCaptureEndsTheOperationWithItsTimeout) {
    module->setSilent(true);  // a capture would wait its whole 160 seconds
    ClearRecordedEvents();
    StartOperation(HostCapture);
    ASSERT_TRUE(module->waitForHandledFrames(1, 5000));
    auto started = std::chrono::steady_clock::now();
    AcquireLinkForPortChange();
    CloseModulePort();
    ReleaseLinkAfterPortChange();
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
    ASSERT_TRUE(WaitUntilIdle(5000));
    EXPECT_EQ(RecordedEvents(), (Events{kPlace, kTimeout}));
}

}  // namespace
