#include "sim/reply_shaping.h"

#include <algorithm>

#include "link/frame_codec.h"

namespace sim {
namespace {

const Fault* Find(const std::vector<Fault>& faults, FaultKind kind) {
    for (const Fault& fault : faults) {
        if (fault.kind == kind)
            return &fault;
    }
    return nullptr;
}

// An upload's reply: the Ack, then data frames, the last of them an end frame.
bool IsStream(const std::vector<Bytes>& bodies) {
    return bodies.size() >= 2 && PacketIdOf(bodies.back()) == PacketId::EndData;
}

void ShapeStream(std::vector<Bytes>* bodies, const std::vector<Fault>& faults) {
    if (!IsStream(*bodies))
        return;
    if (const Fault* fault = Find(faults, FaultKind::OversizeStream)) {
        // Extra data frames before the end frame, in the stream's own frame size, repeating its
        // data. By default the stream carries twice its data and one frame more: beyond a
        // template's 512 bytes, and beyond the 73,728 bytes that hold an expanded image.
        Bytes data;
        for (size_t i = 1; i < bodies->size(); ++i) {
            Bytes part = ContentsOf((*bodies)[i]);
            data.insert(data.end(), part.begin(), part.end());
        }
        size_t chunk = ContentsOf((*bodies)[1]).size();
        if (data.empty() || chunk == 0)
            return;
        size_t extra = fault->value == kDefaultValue ? data.size() + chunk : ValueOf(*fault);
        std::vector<Bytes> frames;
        for (size_t at = 0; at < extra; at += chunk) {
            Bytes part(std::min(chunk, extra - at));
            for (size_t i = 0; i < part.size(); ++i)
                part[i] = data[(at + i) % data.size()];
            frames.push_back(BodyOf(PacketId::Data, part));
        }
        bodies->insert(bodies->end() - 1, frames.begin(), frames.end());
    }
    if (const Fault* fault = Find(faults, FaultKind::AckInStream)) {
        // The Ack's one Contents byte takes the place of the end frame's last byte, so the stream
        // carries as many bytes as it would have.
        Bytes end = ContentsOf(bodies->back());
        if (!end.empty())
            end.pop_back();
        bodies->back() = BodyOf(PacketId::EndData, end);
        Bytes ack = BodyOf(PacketId::Ack, Bytes{static_cast<uint8_t>(ValueOf(*fault))});
        // After the first data frame, or before the end frame when that is the only one.
        bodies->insert(bodies->begin() + static_cast<long>(std::min<size_t>(2, bodies->size() - 1)),
                       ack);
    }
    if (Find(faults, FaultKind::StopStream))
        bodies->pop_back();
}

}  // namespace

Bytes NoiseBytes(size_t count) {
    static const uint8_t pattern[] = {0x00, 0x12, 0xEF, 0x55, 0xA5, 0xFF, 0x3C};
    Bytes noise(count);
    for (size_t i = 0; i < count; ++i)
        noise[i] = pattern[i % sizeof pattern];
    return noise;
}

std::vector<OutputPiece> ShapeReply(std::vector<Bytes> bodies, const std::vector<Fault>& faults) {
    if (bodies.empty() || Find(faults, FaultKind::NoReply))
        return {};
    ShapeStream(&bodies, faults);
    if (const Fault* fault = Find(faults, FaultKind::WrongPacketId)) {
        bodies[0][0] = static_cast<uint8_t>(ValueOf(*fault));
    }

    std::vector<Bytes> frames;
    for (const Bytes& body : bodies)
        frames.push_back(FrameOfBody(body));
    if (Find(faults, FaultKind::BadChecksum))
        frames[0].back() ^= 0x01;

    std::vector<OutputPiece> pieces;
    uint32_t delay = 0;
    if (const Fault* fault = Find(faults, FaultKind::Delay))
        delay = ValueOf(*fault);
    if (const Fault* fault = Find(faults, FaultKind::Noise)) {
        size_t count = std::min<size_t>(ValueOf(*fault), 4096);
        pieces.push_back({delay, NoiseBytes(count)});
        delay = 0;
    }
    if (const Fault* fault = Find(faults, FaultKind::Split)) {
        // Cut inside the Header and inside the Length, so that both the hunt and the collection
        // of the frame have to wait.
        const Bytes& first = frames[0];
        uint32_t pause = static_cast<uint32_t>(ValueOf(*fault));
        pieces.push_back({delay, Bytes(first.begin(), first.begin() + 1)});
        pieces.push_back({pause, Bytes(first.begin() + 1, first.begin() + 8)});
        pieces.push_back({pause, Bytes(first.begin() + 8, first.end())});
        frames.erase(frames.begin());
        delay = 0;
    }
    Bytes rest;
    for (const Bytes& frame : frames)
        rest.insert(rest.end(), frame.begin(), frame.end());
    if (!rest.empty())
        pieces.push_back({delay, rest});
    return pieces;
}

}  // namespace sim
