#pragma once
// The simulated module on a pseudo-terminal that can be pulled out at a chosen moment. It answers
// every frame as the simulated module does (sim::ModuleModel, finger 1 on the sensor); when the
// chosen command arrives it sends the first bytes of its answer and then closes the pseudo-
// terminal's master: the host's device is gone, as when a USB serial adapter is unplugged. Only
// the serving thread touches the pseudo-terminal until it has been joined.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "sim/module_model.h"
#include "sim/pseudo_terminal.h"

class UnpluggableModule {
  public:
    UnpluggableModule();
    ~UnpluggableModule();
    UnpluggableModule(const UnpluggableModule&) = delete;
    UnpluggableModule& operator=(const UnpluggableModule&) = delete;

    bool ok() const { return line_.ok(); }
    const std::string& devicePath() const { return line_.slavePath(); }

    // At the next command with this code, send only this many bytes of the answer, then unplug.
    void UnplugAt(uint8_t commandCode, size_t bytesOfAnswer);
    // True once the device is gone, waiting up to timeoutMs.
    bool WaitUnplugged(int timeoutMs) const;

  private:
    void Serve();
    bool Send(const sim::Bytes& bytes);
    void WaitUntilHostHasRead();

    sim::PseudoTerminal line_;
    // A descriptor of the host's end, opened before the host opens it exclusively: it tells how
    // many bytes the host has yet to read.
    int hostEnd_ = -1;
    sim::ModuleModel model_;
    std::atomic<int> unplugCode_{-1};
    std::atomic<size_t> unplugBytes_{0};
    std::atomic<bool> unplugged_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
