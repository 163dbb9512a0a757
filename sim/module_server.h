#pragma once
// Serves the simulated module on one endpoint: a new pseudo-terminal (the host opens its slave
// path) or a real serial device. A reader thread takes every byte as soon as it arrives, because
// the host purges its queues before each frame it sends; a worker thread hands the verified
// frames to the model one at a time and sends the replies, with the armed faults and, when asked,
// at no more than the line rate. Every public call is thread-safe; the destructor stops and joins
// both threads.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sim/faults.h"
#include "sim/frame_record.h"
#include "sim/line_pacer.h"
#include "sim/module_model.h"
#include "sim/pseudo_terminal.h"
#include "sim/reply_shaping.h"

namespace sim {

struct ServerOptions {
    std::string device;      // a serial device to serve; empty: a new pseudo-terminal
    int baud = 57600;        // the device's line rate
    int paceBaud = 0;        // send no faster than this rate allows; 0: as fast as possible
    std::string recordPath;  // also append every received frame to this file
};

class ModuleServer {
  public:
    explicit ModuleServer(const ServerOptions& options = {});
    ~ModuleServer();
    ModuleServer(const ModuleServer&) = delete;
    ModuleServer& operator=(const ModuleServer&) = delete;

    // False when the endpoint or the record file could not be opened; error() says why.
    bool ok() const { return fd_ >= 0 && error_.empty(); }
    const std::string& error() const { return error_; }
    // The path the host opens: the pseudo-terminal's slave, or the device.
    const std::string& devicePath() const { return devicePath_; }

    // The finger sensor.
    void placeFinger(uint32_t finger);
    void liftFinger();
    void setAutoFinger(uint32_t finger = 1);
    void setFingerScript(const std::vector<FingerRange>& ranges);
    // Applies "none", "ID" or "auto[:ID]"; false when the text is none of them.
    bool setFingerPolicy(const std::string& policy);

    // The module's behaviour.
    void forceScore(std::optional<int> score);
    void setPassword(const Password& password);
    void setSilent(bool silent);
    bool setChunkSize(size_t bytes);
    void armFault(const Fault& fault);
    void clearFaults();

    // What the module has seen and holds.
    uint32_t captures() const;
    std::vector<Bytes> receivedFrames() const;
    // The command codes of the command frames among them, in order.
    std::vector<int> receivedCommands() const;
    void clearReceivedFrames();
    Bytes featureBuffer(int n) const;
    void setFeatureBuffer(int n, const Bytes& bytes);
    Bytes libraryPage(size_t page) const;
    void storePage(size_t page, const Bytes& bytes);
    bool pageStored(size_t page) const { return !libraryPage(page).empty(); }
    int baudCode() const;
    Password password() const;

    // Waits until `count` frames in all have been received and handled, their replies sent.
    bool waitForHandledFrames(size_t count, int timeoutMs) const;
    // When the last byte of the latest whole reply was handed to the endpoint (the start of the
    // write that carried it, so never after the host could read it); benchmarks time the host's
    // reaction from it. The clock's epoch until a reply has gone out.
    LinePacer::Clock::time_point lastReplySent() const;

  private:
    void readLoop();
    void workLoop();
    std::vector<OutputPiece> answer(const Bytes& frame);
    bool pause(uint32_t milliseconds);
    bool send(const Bytes& bytes);

    std::unique_ptr<PseudoTerminal> pty_;
    int fd_ = -1;
    bool ownsFd_ = false;
    std::string devicePath_;
    std::string error_;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    ModuleModel model_;
    FaultPlan faults_;
    FrameRecord record_;
    bool silent_ = false;
    std::deque<Bytes> queue_;
    size_t handled_ = 0;
    LinePacer::Clock::time_point lastReplySent_{};
    LinePacer::Clock::time_point lastWriteStart_{};  // the worker's own
    LinePacer pacer_;

    std::atomic<bool> stop_{false};
    std::thread reader_;
    std::thread worker_;
};

}  // namespace sim
