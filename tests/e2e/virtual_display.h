#pragma once
// The X display that wine's windows go to: the caller's DISPLAY, or a private Xvfb on a free
// display number when there is none. The Xvfb ends with this object.
#include <memory>
#include <string>

#include "tests/e2e/child_process.h"

class VirtualDisplay {
  public:
    VirtualDisplay();
    bool ok() const { return !name_.empty(); }
    // ":N", for DISPLAY.
    const std::string& name() const { return name_; }

  private:
    std::string name_;
    std::unique_ptr<ChildProcess> server_;
};
