#pragma once
// The fault matrix: every command of the command set against every fault that the simulated
// module can show, natively over a pseudo-terminal. Per cell: the status, the time the call took
// on an accelerated tick counter, the transfer's buffers, and whether the next command on the same
// port succeeds. The test (fault_matrix_test.cpp) checks every cell; fault_matrix_table.cpp
// prints the table (scripts/fault-matrix).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_status.h"
#include "sim/faults.h"

namespace fault_matrix {

enum class Command {
    CaptureImage,
    ExtractFeatures,
    MatchFeatures,
    SearchTemplates,
    MergeFeatures,
    StoreTemplate,
    LoadTemplate,
    DeleteTemplates,
    EmptyTemplates,
    SetSystemParameter,
    SetPassword,
    VerifyPassword,
    ReadFeatures,
    WriteFeatures,
    ReadImage,
};

const std::vector<Command>& AllCommands();
// The columns: no fault first (the baseline), then every fault kind of the simulator.
const std::vector<std::optional<sim::FaultKind>>& AllColumns();

const char* NameOf(Command command);
std::string ColumnName(const std::optional<sim::FaultKind>& fault);
// The reply limit of the command's transaction.
uint32_t LimitOf(Command command);

// How long a cell may take, on the accelerated clock.
enum class Timing {
    Prompt,     // well before the limit: the call never sat out a limit
    TimedOut,   // past the limit, by no more than a few read waits over the command's own time
    AfterWait,  // no sooner than the fault's waits (delay, split), before the limit
};

struct Expectation {
    bool applies;  // false: the fault cannot apply to this command; the module answers normally
    CommandStatus status;
    Timing timing;
};
Expectation ExpectedFor(Command command, const std::optional<sim::FaultKind>& fault);

struct Cell {
    Command command;
    std::optional<sim::FaultKind> fault;
    CommandStatus status = 0;
    uint32_t elapsedMs = 0;      // on the accelerated clock
    uint32_t clockFactor = 1;    // how much faster than real time that clock ran
    uint32_t faultWaitMs = 0;    // what the fault's own waits add, on the same clock
    uint32_t baselineMs = 0;     // the same command without a fault, on the same clock
    bool dataAsExpected = true;  // the transfer's buffers, lengths and pixel count
    std::string dataNote;        // what was found there, for the table
    bool nextCommandOk = false;  // the next command on the same port answered 0
};

// Runs the row of one command against a fresh simulated module on port 3: the baseline, then each
// fault. Setup failures come back as a message in *error.
std::vector<Cell> RunRow(Command command, std::string* error);

// What is wrong with a cell, judged against ExpectedFor; empty when it passed.
std::vector<std::string> Problems(const Cell& cell);

// The markdown table of the cells, one row per command.
std::string Table(const std::vector<Cell>& cells);

}  // namespace fault_matrix
