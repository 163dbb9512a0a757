#include "sim/module_model.h"

#include <algorithm>

#include "link/frame_codec.h"
#include "sim/confirmation_codes.h"
#include "sim/finger_image.h"
#include "sim/templates.h"

namespace sim {
namespace {

Bytes Ack(uint8_t code) {
    return BodyOf(PacketId::Ack, Bytes{code});
}

Bytes AckWithValues(uint8_t code, std::initializer_list<int> values) {
    Bytes contents{code};
    for (int value : values) {
        contents.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
        contents.push_back(static_cast<uint8_t>(value & 0xFF));
    }
    return BodyOf(PacketId::Ack, contents);
}

size_t Word(const Bytes& contents, size_t at) {
    return contents[at] * 256u + contents[at + 1];
}

bool ValidBuffer(int buffer) {
    return buffer >= 1 && buffer <= static_cast<int>(kFeatureBuffers);
}

// The Contents size of each command, code included; 0 for a code the module does not know.
size_t CommandSize(uint8_t code) {
    switch (code) {
        case 0x01:
        case 0x03:
        case 0x05:
        case 0x0A:
        case 0x0D:
            return 1;
        case 0x02:
        case 0x08:
        case 0x09:
            return 2;
        case 0x0E:
            return 3;
        case 0x06:
        case 0x07:
            return 4;
        case 0x0C:
        case 0x12:
        case 0x13:
            return 5;
        case 0x04:
            return 6;
        default:
            return 0;
    }
}

}  // namespace

ModuleModel::ModuleModel() : library_(kLibraryPages) {}

bool ModuleModel::setChunkSize(size_t bytes) {
    if (bytes != 32 && bytes != 64 && bytes != 128 && bytes != 256)
        return false;
    chunkSize_ = bytes;
    return true;
}

Bytes ModuleModel::featureBuffer(int n) const {
    return ValidBuffer(n) ? buffers_[n] : Bytes{};
}

void ModuleModel::setFeatureBuffer(int n, const Bytes& bytes) {
    if (!ValidBuffer(n))
        return;
    buffers_[n] = bytes;
    buffers_[n].resize(kTemplateSize);
}

Bytes ModuleModel::libraryPage(size_t page) const {
    return page < library_.size() ? library_[page] : Bytes{};
}

void ModuleModel::storePage(size_t page, const Bytes& bytes) {
    if (page >= library_.size())
        return;
    library_[page] = bytes;
    library_[page].resize(kTemplateSize);
}

std::vector<Bytes> ModuleModel::handle(const Bytes& body) {
    uint8_t packetId = PacketIdOf(body);
    if (packetId == PacketId::Data || packetId == PacketId::EndData) {
        acceptData(body);
        return {};
    }
    if (packetId != PacketId::Command)
        return {};
    // A command ends a WriteFeatures that the host broke off: its buffer keeps what came.
    downloadBuffer_ = 0;
    return command(ContentsOf(body));
}

std::vector<Bytes> ModuleModel::refuse(const Bytes& body, uint8_t code) {
    if (PacketIdOf(body) != PacketId::Command)
        return {};
    downloadBuffer_ = 0;
    Bytes contents = ContentsOf(body);
    if (!contents.empty() && contents[0] == 0x01) {
        ++captureCommands_;
        sensor_.capture();
    }
    return {Ack(code)};
}

std::vector<Bytes> ModuleModel::command(const Bytes& c) {
    if (c.empty())
        return {Ack(kMalformedCommand)};
    size_t size = CommandSize(c[0]);
    if (size == 0)
        return {Ack(kUnknownCommand)};
    if (c.size() != size)
        return {Ack(kMalformedCommand)};
    switch (c[0]) {
        case 0x01:
            return {captureImage()};
        case 0x02:
            return {extractFeatures(c[1])};
        case 0x03:
            return {matchFeatures()};
        case 0x04:
            return {searchTemplates(c)};
        case 0x05:
            return {mergeFeatures()};
        case 0x06:
            return {storeTemplate(c[1], Word(c, 2))};
        case 0x07:
            return {loadTemplate(c[1], Word(c, 2))};
        case 0x08:
            return uploadFeatures(c[1]);
        case 0x09:
            return {downloadFeatures(c[1])};
        case 0x0A:
            return uploadImage();
        case 0x0C:
            return {deleteTemplates(Word(c, 1), Word(c, 3))};
        case 0x0D:
            return {emptyTemplates()};
        case 0x0E:
            return {setSystemParameter(c[1], c[2])};
        case 0x12:
            std::copy(c.begin() + 1, c.end(), password_.begin());
            return {Ack(kSuccess)};
        case 0x13:
            return {Ack(std::equal(password_.begin(), password_.end(), c.begin() + 1)
                            ? kSuccess
                            : kWrongPassword)};
    }
    return {Ack(kUnknownCommand)};
}

Bytes ModuleModel::captureImage() {
    ++captureCommands_;
    uint32_t finger = sensor_.capture();
    if (finger == 0) {
        // An empty sensor leaves no image behind: nothing to extract or upload.
        imageFinger_ = 0;
        return Ack(kNoFinger);
    }
    if (finger != imageFinger_ || image_.empty())
        image_ = PackedFingerImage(finger);
    imageFinger_ = finger;
    ++capturesTaken_;
    return Ack(kSuccess);
}

Bytes ModuleModel::extractFeatures(int buffer) {
    if (!ValidBuffer(buffer))
        return Ack(kBadBuffer);
    if (imageFinger_ == 0)
        return Ack(kNoImage);
    buffers_[buffer] = FingerTemplate(imageFinger_, capturesTaken_);
    return Ack(kSuccess);
}

int ModuleModel::scoreOf(const Bytes& first, const Bytes& second) const {
    return forcedScore_ ? *forcedScore_ : MatchScore(first, second);
}

Bytes ModuleModel::matchFeatures() {
    if (buffers_[1].empty() || buffers_[2].empty())
        return AckWithValues(kBufferEmpty, {0});
    return AckWithValues(kSuccess, {scoreOf(buffers_[1], buffers_[2])});
}

Bytes ModuleModel::searchTemplates(const Bytes& c) {
    int buffer = c[1];
    size_t start = Word(c, 2);
    size_t end = std::min(start + Word(c, 4), library_.size());
    if (!ValidBuffer(buffer))
        return AckWithValues(kBadBuffer, {0, 0});
    if (buffers_[buffer].empty())
        return AckWithValues(kBufferEmpty, {0, 0});
    if (start >= library_.size())
        return AckWithValues(kPageOutOfRange, {0, 0});
    int bestScore = -1;
    size_t bestPage = 0;
    for (size_t page = start; page < end; ++page) {
        if (library_[page].empty())
            continue;
        int score = MatchScore(buffers_[buffer], library_[page]);
        if (score > bestScore) {
            bestScore = score;
            bestPage = page;
        }
    }
    if (bestScore < 0)
        return AckWithValues(kNotFound, {0, 0});
    if (forcedScore_)
        bestScore = *forcedScore_;
    if (bestScore < kMatchThreshold)
        return AckWithValues(kNotFound, {0, 0});
    return AckWithValues(kSuccess, {static_cast<int>(bestPage), bestScore});
}

Bytes ModuleModel::mergeFeatures() {
    if (buffers_[1].empty() || buffers_[2].empty())
        return Ack(kBufferEmpty);
    // Two captures of different fingers make no template; a forced score does not change that.
    if (MatchScore(buffers_[1], buffers_[2]) < kMatchThreshold)
        return Ack(kFingersDiffer);
    buffers_[1] = MergedTemplate(buffers_[1]);
    return Ack(kSuccess);
}

Bytes ModuleModel::storeTemplate(int buffer, size_t page) {
    if (!ValidBuffer(buffer))
        return Ack(kBadBuffer);
    if (page >= library_.size())
        return Ack(kPageOutOfRange);
    if (buffers_[buffer].empty())
        return Ack(kBufferEmpty);
    library_[page] = buffers_[buffer];
    return Ack(kSuccess);
}

Bytes ModuleModel::loadTemplate(int buffer, size_t page) {
    if (!ValidBuffer(buffer))
        return Ack(kBadBuffer);
    if (page >= library_.size())
        return Ack(kPageOutOfRange);
    if (library_[page].empty())
        return Ack(kPageEmpty);
    buffers_[buffer] = library_[page];
    return Ack(kSuccess);
}

std::vector<Bytes> ModuleModel::streamOf(const Bytes& data) const {
    std::vector<Bytes> bodies;
    for (size_t at = 0; at < data.size(); at += chunkSize_) {
        size_t count = std::min(chunkSize_, data.size() - at);
        bool last = at + count == data.size();
        bodies.push_back(
            BodyOf(last ? PacketId::EndData : PacketId::Data, data.data() + at, count));
    }
    return bodies;
}

std::vector<Bytes> ModuleModel::uploadFeatures(int buffer) {
    if (!ValidBuffer(buffer))
        return {Ack(kBadBuffer)};
    if (buffers_[buffer].empty())
        return {Ack(kBufferEmpty)};
    std::vector<Bytes> bodies{Ack(kSuccess)};
    for (Bytes& body : streamOf(buffers_[buffer]))
        bodies.push_back(std::move(body));
    return bodies;
}

Bytes ModuleModel::downloadFeatures(int buffer) {
    if (!ValidBuffer(buffer))
        return Ack(kBadBuffer);
    // The buffer fills as the data frames arrive: a transfer broken off leaves part of it.
    buffers_[buffer].assign(kTemplateSize, 0);
    downloadBuffer_ = buffer;
    downloadOffset_ = 0;
    return Ack(kSuccess);
}

void ModuleModel::acceptData(const Bytes& body) {
    if (downloadBuffer_ == 0)
        return;
    Bytes& buffer = buffers_[downloadBuffer_];
    Bytes data = ContentsOf(body);
    // Bytes beyond the template's 512 have nowhere to go and are dropped.
    for (size_t i = 0; i < data.size() && downloadOffset_ < buffer.size(); ++i) {
        buffer[downloadOffset_++] = data[i];
    }
    if (PacketIdOf(body) == PacketId::EndData)
        downloadBuffer_ = 0;
}

std::vector<Bytes> ModuleModel::uploadImage() {
    if (imageFinger_ == 0)
        return {Ack(kNoImage)};
    std::vector<Bytes> bodies{Ack(kSuccess)};
    for (Bytes& body : streamOf(image_))
        bodies.push_back(std::move(body));
    return bodies;
}

Bytes ModuleModel::deleteTemplates(size_t page, size_t count) {
    if (page >= library_.size() || count > library_.size() - page)
        return Ack(kPageOutOfRange);
    for (size_t i = page; i < page + count; ++i)
        library_[i].clear();
    return Ack(kSuccess);
}

Bytes ModuleModel::emptyTemplates() {
    for (Bytes& page : library_)
        page.clear();
    return Ack(kSuccess);
}

Bytes ModuleModel::setSystemParameter(int parameter, int value) {
    if (parameter != kBaudParameter || value < 1 || value > kHighestBaudCode) {
        return Ack(kBadParameter);
    }
    baudCode_ = value;
    return Ack(kSuccess);
}

}  // namespace sim
