#pragma once
// The simulated module itself, without any input or output: its state (password, feature buffers
// 1 to 3, the template library, system parameter 4, the last captured image) and the handling of
// one verified frame from the host at a time. Not thread-safe: its owner serialises the calls.
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "sim/finger_sensor.h"
#include "sim/frame_bytes.h"

namespace sim {

enum : size_t { kLibraryPages = 1000, kFeatureBuffers = 3 };
// A score of at least this is a match for SearchTemplates and a same finger for MergeFeatures.
enum : int { kMatchThreshold = 80 };
// System parameter 4 holds the baud code: the line rate is the code times 9,600 bit/s.
enum : int { kBaudParameter = 4, kDefaultBaudCode = 6, kHighestBaudCode = 12 };
// Data bytes per frame in the streams from the module.
enum : size_t { kDefaultChunkSize = 128 };

using Password = std::array<uint8_t, 4>;

class ModuleModel {
  public:
    ModuleModel();

    // Takes one verified body from the host (packet id, Length, Contents) and returns the bodies
    // to send back, in order: an Ack for every command, followed by data frames closed by an end
    // frame when the command uploads. Data frames after an acknowledged WriteFeatures go into its
    // buffer and get no reply; any other frame that is not a command is ignored.
    std::vector<Bytes> handle(const Bytes& body);
    // The same command refused with `code` (nonzero): nothing is carried out, except that a
    // CaptureImage still counts as an attempt at the sensor.
    std::vector<Bytes> refuse(const Bytes& body, uint8_t code);

    FingerSensor& sensor() { return sensor_; }

    void setPassword(const Password& password) { password_ = password; }
    const Password& password() const { return password_; }
    // A forced score replaces every MatchFeatures and SearchTemplates score; nullopt computes them.
    void setForcedScore(std::optional<int> score) { forcedScore_ = score; }
    std::optional<int> forcedScore() const { return forcedScore_; }
    // 32, 64, 128 or 256; any other size is refused with false.
    bool setChunkSize(size_t bytes);
    size_t chunkSize() const { return chunkSize_; }

    // Feature buffer n (1 to 3): its 512 bytes, or empty when it holds nothing.
    Bytes featureBuffer(int n) const;
    void setFeatureBuffer(int n, const Bytes& bytes);
    // Library page: its 512 bytes, or empty when nothing is stored there.
    Bytes libraryPage(size_t page) const;
    void storePage(size_t page, const Bytes& bytes);
    int baudCode() const { return baudCode_; }
    // CaptureImage commands received, carried out or not.
    uint32_t captureCommands() const { return captureCommands_; }
    // The finger of the image captured last, 0 when there is none.
    uint32_t imageFinger() const { return imageFinger_; }
    // True while data frames of a WriteFeatures are expected.
    bool downloading() const { return downloadBuffer_ != 0; }

  private:
    std::vector<Bytes> command(const Bytes& contents);
    void acceptData(const Bytes& body);
    Bytes captureImage();
    Bytes extractFeatures(int buffer);
    Bytes matchFeatures();
    Bytes searchTemplates(const Bytes& contents);
    Bytes mergeFeatures();
    Bytes storeTemplate(int buffer, size_t page);
    Bytes loadTemplate(int buffer, size_t page);
    std::vector<Bytes> uploadFeatures(int buffer);
    Bytes downloadFeatures(int buffer);
    std::vector<Bytes> uploadImage();
    Bytes deleteTemplates(size_t page, size_t count);
    Bytes emptyTemplates();
    Bytes setSystemParameter(int parameter, int value);
    int scoreOf(const Bytes& first, const Bytes& second) const;
    std::vector<Bytes> streamOf(const Bytes& data) const;

    FingerSensor sensor_;
    Password password_{};
    std::optional<int> forcedScore_;
    size_t chunkSize_ = kDefaultChunkSize;
    std::array<Bytes, kFeatureBuffers + 1> buffers_;  // index 0 unused
    std::vector<Bytes> library_;
    int baudCode_ = kDefaultBaudCode;
    uint32_t captureCommands_ = 0;
    uint32_t capturesTaken_ = 0;
    uint32_t imageFinger_ = 0;
    Bytes image_;
    int downloadBuffer_ = 0;
    size_t downloadOffset_ = 0;
};

}  // namespace sim
