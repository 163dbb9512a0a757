#pragma once
// A module port opened on a pseudo-terminal whose other end the test plays.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "link/frame_codec.h"
#include "link/module_port.h"
#include "link/port_device_path.h"
#include "sim/pseudo_terminal.h"

using Bytes = std::vector<unsigned char>;

// The frame of a body with the given packet id and contents, as the module would send it.
inline Bytes FrameOf(unsigned char packetId, const Bytes& contents) {
    Bytes body(contents.size() + 3);
    body[0] = packetId;
    body[1] = static_cast<unsigned char>((contents.size() + 2) >> 8);
    body[2] = static_cast<unsigned char>((contents.size() + 2) & 0xFF);
    std::copy(contents.begin(), contents.end(), body.begin() + 3);
    unsigned char frame[MAX_FRAME_LENGTH];
    int length = 0;
    if (!BuildFrame(body.data(), static_cast<int>(body.size()) + 2, frame, &length))
        return {};
    return Bytes(frame, frame + length);
}

inline Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class PortOnPseudoTerminal : public ::testing::Test {
  protected:
    enum { PORT = 3 };
    void SetUp() override {
        ASSERT_TRUE(line.ok());
        ASSERT_EQ(SetModulePortDevice(PORT, line.slavePath().c_str()), 1);
        ASSERT_EQ(OpenModulePort(PORT, 57600), 1);
    }
    void TearDown() override { CloseModulePort(); }

    sim::PseudoTerminal line;
};
