#include "tests/reliability/fault_matrix.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <thread>

#include "commands/bulk_transfers.h"
#include "commands/module_commands.h"
#include "link/module_port.h"
#include "link/port_access.h"
#include "link/port_device_path.h"
#include "link/tick_counter.h"
#include "sim/finger_image.h"
#include "sim/module_server.h"
#include "tests/support/fake_ticks.h"

namespace fault_matrix {
namespace {

using sim::FaultKind;

enum { PORT = 3, STORED_SLOT = 5, DELETED_SLOT = 7, FINGER = 1 };
enum : int { LENGTH_UNTOUCHED = -4242, PIXELS_UNTOUCHED = 4242 };
// The accelerated clock makes each limit pass in this much real time (ReadImage: more, since its
// whole image has to cross the pseudo-terminal byte by byte well within one limit).
enum : uint32_t { REAL_MS_PER_LIMIT = 800, REAL_MS_PER_IMAGE_LIMIT = 2000, READ_WAIT_MS = 100 };
// Noise bytes before a reply (the simulator's noise never holds EF 01).
enum { NOISE_BYTES = 64 };
const unsigned char kPassword[4] = {0x00, 0x00, 0x00, 0x00};

enum class Shape { Single, Upload, Download };

struct CommandInfo {
    Command command;
    const char* name;
    uint8_t code;
    uint32_t limitMs;
    Shape shape;
};

const CommandInfo kCommands[] = {
    {Command::CaptureImage, "CaptureImage", 0x01, CAPTURE_REPLY_LIMIT_MS, Shape::Single},
    {Command::ExtractFeatures, "ExtractFeatures", 0x02, REPLY_LIMIT_MS, Shape::Single},
    {Command::MatchFeatures, "MatchFeatures", 0x03, REPLY_LIMIT_MS, Shape::Single},
    {Command::SearchTemplates, "SearchTemplates", 0x04, REPLY_LIMIT_MS, Shape::Single},
    {Command::MergeFeatures, "MergeFeatures", 0x05, REPLY_LIMIT_MS, Shape::Single},
    {Command::StoreTemplate, "StoreTemplate", 0x06, REPLY_LIMIT_MS, Shape::Single},
    {Command::LoadTemplate, "LoadTemplate", 0x07, REPLY_LIMIT_MS, Shape::Single},
    {Command::DeleteTemplates, "DeleteTemplates", 0x0C, REPLY_LIMIT_MS, Shape::Single},
    {Command::EmptyTemplates, "EmptyTemplates", 0x0D, REPLY_LIMIT_MS, Shape::Single},
    {Command::SetSystemParameter, "SetSystemParameter", 0x0E, REPLY_LIMIT_MS, Shape::Single},
    {Command::SetPassword, "SetPassword", 0x12, REPLY_LIMIT_MS, Shape::Single},
    {Command::VerifyPassword, "VerifyPassword", 0x13, PASSWORD_REPLY_LIMIT_MS, Shape::Single},
    {Command::ReadFeatures, "ReadFeatures", 0x08, REPLY_LIMIT_MS, Shape::Upload},
    {Command::WriteFeatures, "WriteFeatures", 0x09, REPLY_LIMIT_MS, Shape::Download},
    {Command::ReadImage, "ReadImage", 0x0A, REPLY_LIMIT_MS, Shape::Upload},
};

const CommandInfo& InfoOf(Command command) {
    for (const CommandInfo& info : kCommands) {
        if (info.command == command)
            return info;
    }
    return kCommands[0];
}

uint32_t ClockFactorOf(Command command) {
    uint32_t realMs = command == Command::ReadImage ? REAL_MS_PER_IMAGE_LIMIT : REAL_MS_PER_LIMIT;
    return std::max<uint32_t>(1, LimitOf(command) / realMs);
}

// The fault's own wait on the accelerated clock: a quarter of the limit, for a delay before the
// reply and for each of the two pauses of a split one.
uint32_t FaultPauseMs(Command command) {
    return LimitOf(command) / 4;
}

sim::Fault FaultFor(Command command, FaultKind kind) {
    sim::Fault fault;
    fault.kind = kind;
    fault.command = InfoOf(command).code;
    fault.times = 1;
    uint32_t realPause = FaultPauseMs(command) / ClockFactorOf(command);
    if (kind == FaultKind::Delay || kind == FaultKind::Split)
        fault.value = static_cast<int>(realPause);
    if (kind == FaultKind::Noise)
        fault.value = NOISE_BYTES;
    return fault;
}

// The image that ReadImage makes of a packed stream.
std::vector<uint8_t> Expanded(const sim::Bytes& packed) {
    std::vector<uint8_t> pixels(IMAGE_PIXELS);
    for (size_t i = 0; i < PACKED_IMAGE_SIZE && i < packed.size(); ++i) {
        pixels[2 * i] = packed[i] & 0xF0;
        pixels[2 * i + 1] = static_cast<uint8_t>((packed[i] & 0x0F) << 4);
    }
    return pixels;
}

// What an Ack with code 1 in place of one data byte, after the first data frame, leaves in the
// data: that byte after the first frame's, and the last data byte gone.
sim::Bytes WithAckByte(const sim::Bytes& data, size_t firstFrame) {
    sim::Bytes result(data.begin(), data.begin() + static_cast<long>(firstFrame));
    result.push_back(0x01);
    result.insert(result.end(), data.begin() + static_cast<long>(firstFrame), data.end() - 1);
    return result;
}

std::string Seconds(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", ms / 1000.0);
    return text;
}

class RowRunner {
  public:
    explicit RowRunner(Command command) : info_(InfoOf(command)) {}
    ~RowRunner() { CloseModulePort(); }

    bool Start(std::string* error) {
        if (!module_.ok()) {
            *error = "simulated module: " + module_.error();
            return false;
        }
        CloseModulePort();
        if (!SetModulePortDevice(PORT, module_.devicePath().c_str()) ||
            !OpenModulePort(PORT, 57600)) {
            *error = "cannot open port 3 on " + module_.devicePath();
            return false;
        }
        module_.placeFinger(FINGER);
        return true;
    }

    Cell RunCell(const std::optional<FaultKind>& fault, uint32_t baselineMs) {
        Cell cell;
        cell.command = info_.command;
        cell.fault = fault;
        cell.clockFactor = ClockFactorOf(info_.command);
        cell.baselineMs = baselineMs;
        std::string setup = Prepare();
        if (!setup.empty()) {
            cell.dataAsExpected = false;
            cell.dataNote = "setup failed: " + setup;
            return cell;
        }
        if (fault) {
            module_.armFault(FaultFor(info_.command, *fault));
            if (*fault == FaultKind::Delay)
                cell.faultWaitMs = FaultPauseMs(info_.command);
            if (*fault == FaultKind::Split)
                cell.faultWaitMs = 2 * FaultPauseMs(info_.command);
        }
        {
            fake_ticks::Accelerated clock(cell.clockFactor);
            uint32_t start = ReadTickCount();
            cell.status = Invoke(&cell);
            cell.elapsedMs = ElapsedMs(start, ReadTickCount());
        }
        module_.clearFaults();
        // Whatever the module still sends of a reply that the host gave up on is purged by the
        // next send; waiting until it has all been sent makes the next command's answer its own.
        if (!WaitForQuietLine()) {
            cell.dataNote += " (the module never fell silent)";
            return cell;
        }
        cell.nextCommandOk = VerifyPassword(kPassword) == 0;
        return cell;
    }

  private:
    // Every command of the row finds what it needs: a finger image, features of the same finger
    // in buffers 1 and 2, a template in the library.
    std::string Prepare() {
        if (CaptureImage() != 0)
            return "CaptureImage";
        if (ExtractFeatures(1) != 0 || ExtractFeatures(2) != 0)
            return "ExtractFeatures";
        if (StoreTemplate(STORED_SLOT) != 0)
            return "StoreTemplate";
        return "";
    }

    bool ExpectFullData(const Cell& cell) const {
        return ExpectedFor(cell.command, cell.fault).status == 0;
    }
    bool AckInStream(const Cell& cell) const {
        return cell.fault == FaultKind::AckInStream && info_.shape == Shape::Upload;
    }

    CommandStatus Invoke(Cell* cell) {
        switch (info_.command) {
            case Command::CaptureImage:
                return CaptureImage();
            case Command::ExtractFeatures:
                return ExtractFeatures(1);
            case Command::MatchFeatures: {
                std::unique_ptr<int> score(new int(-1));
                CommandStatus status = MatchFeatures(score.get());
                if (status == 0) {
                    cell->dataNote = "score " + std::to_string(*score);
                    cell->dataAsExpected = *score >= MATCH_SCORE_THRESHOLD;
                }
                return status;
            }
            case Command::SearchTemplates: {
                std::unique_ptr<int> page(new int(-1));
                CommandStatus status = SearchTemplates(page.get());
                if (status == 0) {
                    cell->dataNote = "page " + std::to_string(*page);
                    cell->dataAsExpected = *page == STORED_SLOT;
                }
                return status;
            }
            case Command::MergeFeatures:
                return MergeFeatures();
            case Command::StoreTemplate:
                return StoreTemplate(STORED_SLOT);
            case Command::LoadTemplate:
                return LoadTemplate(STORED_SLOT);
            case Command::DeleteTemplates:
                return DeleteTemplates(DELETED_SLOT);
            case Command::EmptyTemplates:
                return EmptyTemplates();
            case Command::SetSystemParameter:
                return SetSystemParameter(BAUD_CODE_57600);
            case Command::SetPassword:
                return SetPassword(kPassword);
            case Command::VerifyPassword:
                return VerifyPassword(kPassword);
            case Command::ReadFeatures:
                return InvokeReadFeatures(cell);
            case Command::WriteFeatures:
                return InvokeWriteFeatures(cell);
            case Command::ReadImage:
                return InvokeReadImage(cell);
        }
        return BadArgument;
    }

    // The template lands in a store of exactly 512 bytes: AddressSanitizer sees any write past it.
    CommandStatus InvokeReadFeatures(Cell* cell) {
        std::unique_ptr<unsigned char[]> store(new unsigned char[TEMPLATE_SIZE]);
        std::memset(store.get(), 0xC3, TEMPLATE_SIZE);
        int length = LENGTH_UNTOUCHED;
        CommandStatus status = ReadFeatures(store.get(), &length);
        sim::Bytes data = module_.featureBuffer(1);
        sim::Bytes expected = AckInStream(*cell) ? WithAckByte(data, 128) : data;
        bool whole = length == TEMPLATE_SIZE && expected.size() == TEMPLATE_SIZE &&
                     std::memcmp(store.get(), expected.data(), TEMPLATE_SIZE) == 0;
        cell->dataNote = length == LENGTH_UNTOUCHED ? "length untouched"
                                                    : "stored " + std::to_string(length) + " B";
        if (ExpectFullData(*cell) || AckInStream(*cell))
            cell->dataAsExpected = whole;
        else
            cell->dataAsExpected = length == LENGTH_UNTOUCHED;
        return status;
    }

    CommandStatus InvokeWriteFeatures(Cell* cell) {
        sim::Bytes data(TEMPLATE_SIZE);
        for (size_t i = 0; i < data.size(); ++i)
            data[i] = static_cast<uint8_t>(i * 13 + 7);
        CommandStatus status = WriteFeatures(2, data.data(), TEMPLATE_SIZE);
        if (ExpectFullData(*cell)) {
            // The module takes the data frames after the call has returned.
            bool arrived = false;
            for (int i = 0; i < 100 && !arrived; ++i) {
                arrived = module_.featureBuffer(2) == data;
                if (!arrived)
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            cell->dataAsExpected = arrived;
            cell->dataNote = arrived ? "module holds 512 B" : "module's buffer differs";
        }
        return status;
    }

    // RawImage is a global array with AddressSanitizer's redzone after it.
    CommandStatus InvokeReadImage(Cell* cell) {
        imagePixelCount = PIXELS_UNTOUCHED;
        CommandStatus status = ReadImage();
        int count = imagePixelCount;
        sim::Bytes packed = sim::PackedFingerImage(FINGER);
        if (AckInStream(*cell))
            packed = WithAckByte(packed, 128);
        bool whole = count == IMAGE_PIXELS &&
                     std::memcmp(RawImage, Expanded(packed).data(), IMAGE_PIXELS) == 0;
        cell->dataNote =
            count == PIXELS_UNTOUCHED ? "pixel count untouched" : std::to_string(count) + " px";
        if (ExpectFullData(*cell) || AckInStream(*cell))
            cell->dataAsExpected = whole;
        else
            cell->dataAsExpected = count == PIXELS_UNTOUCHED;
        return status;
    }

    bool WaitForQuietLine() {
        size_t last = static_cast<size_t>(-1);
        for (int round = 0; round < 200; ++round) {
            PurgePortQueues();
            size_t received = module_.receivedFrames().size();
            if (module_.waitForHandledFrames(received, 50) && received == last)
                return true;
            last = received;
        }
        return false;
    }

    const CommandInfo& info_;
    sim::ModuleServer module_;
};

}  // namespace

const std::vector<Command>& AllCommands() {
    static const std::vector<Command> commands = [] {
        std::vector<Command> all;
        for (const CommandInfo& info : kCommands)
            all.push_back(info.command);
        return all;
    }();
    return commands;
}

const std::vector<std::optional<FaultKind>>& AllColumns() {
    static const std::vector<std::optional<FaultKind>> columns = {
        std::nullopt,           FaultKind::NoReply,    FaultKind::Noise,
        FaultKind::BadChecksum, FaultKind::Split,      FaultKind::WrongPacketId,
        FaultKind::Code,        FaultKind::StopStream, FaultKind::OversizeStream,
        FaultKind::AckInStream, FaultKind::Delay,
    };
    return columns;
}

const char* NameOf(Command command) {
    return InfoOf(command).name;
}

std::string ColumnName(const std::optional<FaultKind>& fault) {
    return fault ? sim::FaultName(*fault) : "none";
}

uint32_t LimitOf(Command command) {
    return InfoOf(command).limitMs;
}

Expectation ExpectedFor(Command command, const std::optional<FaultKind>& fault) {
    bool upload = InfoOf(command).shape == Shape::Upload;
    if (!fault)
        return {true, 0, Timing::Prompt};
    switch (*fault) {
        case FaultKind::NoReply:
            return {true, NoReply, Timing::TimedOut};
        case FaultKind::Noise:
            return {true, 0, Timing::Prompt};
        case FaultKind::BadChecksum:
            return {true, NoReply, Timing::Prompt};
        case FaultKind::Split:
        case FaultKind::Delay:
            return {true, 0, Timing::AfterWait};
        case FaultKind::WrongPacketId:
            return {true, NotAck, Timing::Prompt};
        case FaultKind::Code:
            return {true, 1, Timing::Prompt};
        case FaultKind::StopStream:
            return upload ? Expectation{true, NoReply, Timing::TimedOut}
                          : Expectation{false, 0, Timing::Prompt};
        case FaultKind::OversizeStream:
            // The transfer ends at the first frame that would not fit, without waiting.
            return upload ? Expectation{true, NoReply, Timing::Prompt}
                          : Expectation{false, 0, Timing::Prompt};
        case FaultKind::AckInStream:
            // ReadFeatures reports the refusal; ReadImage keeps the image and reports no reply.
            if (!upload)
                return {false, 0, Timing::Prompt};
            return {true, command == Command::ReadFeatures ? NotAck : NoReply, Timing::Prompt};
    }
    return {true, 0, Timing::Prompt};
}

std::vector<std::string> Problems(const Cell& cell) {
    std::vector<std::string> problems;
    Expectation expected = ExpectedFor(cell.command, cell.fault);
    if (cell.status != expected.status) {
        problems.push_back("status " + std::to_string(cell.status) + ", expected " +
                           std::to_string(expected.status));
    }
    uint32_t limit = LimitOf(cell.command);
    uint32_t readWait = READ_WAIT_MS * cell.clockFactor;
    switch (expected.timing) {
        case Timing::Prompt:
            if (cell.elapsedMs >= limit)
                problems.push_back("took " + Seconds(cell.elapsedMs) + ", not before the limit");
            break;
        case Timing::TimedOut:
            if (cell.elapsedMs <= limit)
                problems.push_back("gave up after " + Seconds(cell.elapsedMs) +
                                   ", before its limit");
            if (cell.elapsedMs > cell.baselineMs + limit + 4 * readWait)
                problems.push_back("took " + Seconds(cell.elapsedMs) + ", past its limit");
            break;
        case Timing::AfterWait:
            if (cell.elapsedMs < cell.faultWaitMs || cell.elapsedMs >= limit)
                problems.push_back("took " + Seconds(cell.elapsedMs) + " for a wait of " +
                                   Seconds(cell.faultWaitMs));
            break;
    }
    if (!cell.dataAsExpected)
        problems.push_back("data: " + cell.dataNote);
    if (!cell.nextCommandOk)
        problems.push_back("the next command on the port failed");
    return problems;
}

std::vector<Cell> RunRow(Command command, std::string* error) {
    std::vector<Cell> cells;
    RowRunner runner(command);
    if (!runner.Start(error))
        return cells;
    uint32_t baselineMs = 0;
    for (const auto& fault : AllColumns()) {
        cells.push_back(runner.RunCell(fault, baselineMs));
        if (!fault)
            baselineMs = cells.back().elapsedMs;
    }
    return cells;
}

std::string Table(const std::vector<Cell>& cells) {
    std::ostringstream out;
    out << "| command (limit, clock) |";
    for (const auto& column : AllColumns())
        out << ' ' << ColumnName(column) << " |";
    out << "\n|---|";
    for (size_t i = 0; i < AllColumns().size(); ++i)
        out << "---|";
    size_t faultCells = 0, passed = 0, notApplicable = 0, baselinesPassed = 0;
    std::optional<Command> row;
    for (const Cell& cell : cells) {
        if (row != cell.command) {
            row = cell.command;
            out << "\n| " << NameOf(cell.command) << " (" << Seconds(LimitOf(cell.command)) << ", x"
                << cell.clockFactor << ") |";
        }
        bool ok = Problems(cell).empty();
        bool applies = ExpectedFor(cell.command, cell.fault).applies;
        if (cell.fault) {
            ++faultCells;
            passed += ok;
            notApplicable += !applies;
        } else {
            baselinesPassed += ok;
        }
        out << ' ' << (applies ? "" : "n/a: ") << cell.status << ", " << Seconds(cell.elapsedMs)
            << (ok ? " ✓" : " ✗") << " |";
    }
    out << "\n\n"
        << passed << " of " << faultCells << " fault cells passed (" << notApplicable
        << " of them faults that cannot apply to the command, run to show that they leave it "
           "working), and "
        << baselinesPassed << " of " << cells.size() - faultCells << " commands without a fault.\n";

    out << "\nWhat the transfers left in their buffers:\n\n| transfer |";
    for (const auto& column : AllColumns())
        out << ' ' << ColumnName(column) << " |";
    out << "\n|---|";
    for (size_t i = 0; i < AllColumns().size(); ++i)
        out << "---|";
    row.reset();
    for (const Cell& cell : cells) {
        bool transfer = cell.command == Command::ReadFeatures ||
                        cell.command == Command::WriteFeatures ||
                        cell.command == Command::ReadImage;
        if (!transfer)
            continue;
        if (row != cell.command) {
            row = cell.command;
            out << "\n| " << NameOf(cell.command) << " |";
        }
        out << ' ' << (cell.dataNote.empty() ? "-" : cell.dataNote) << " |";
    }
    out << "\n";
    return out.str();
}

}  // namespace fault_matrix
