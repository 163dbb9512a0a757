// Each command of the command set against every fault of the simulated module: the status, the
// time on the accelerated clock, the transfer's buffers (under AddressSanitizer), and the next
// command on the same port. One test per command; the cells of its row are checked one by one.
#include <gtest/gtest.h>

#include <ostream>

#include "tests/reliability/fault_matrix.h"

namespace fault_matrix {
// Test names and messages show the command by name.
void PrintTo(Command command, std::ostream* out) {
    *out << NameOf(command);
}
}  // namespace fault_matrix

namespace {

using namespace fault_matrix;

class FaultMatrix : public ::testing::TestWithParam<Command> {};

TEST_P(FaultMatrix, EachFaultGivesItsStatusInTimeAndTheNextCommandSucceeds) {
    std::string error;
    std::vector<Cell> cells = RunRow(GetParam(), &error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(cells.size(), AllColumns().size());
    for (const Cell& cell : cells) {
        std::string problems;
        for (const std::string& problem : Problems(cell))
            problems += "\n  " + problem;
        EXPECT_TRUE(problems.empty())
            << NameOf(cell.command) << " x " << ColumnName(cell.fault) << ":" << problems;
    }
}

// The expectations themselves: the faults that cannot apply are exactly the stream faults on
// commands without a stream from the module.
TEST(FaultMatrixExpectations, StreamFaultsApplyOnlyToUploads) {
    int notApplicable = 0;
    for (Command command : AllCommands()) {
        bool upload = command == Command::ReadFeatures || command == Command::ReadImage;
        for (const auto& fault : AllColumns()) {
            bool stream = fault == sim::FaultKind::StopStream ||
                          fault == sim::FaultKind::OversizeStream ||
                          fault == sim::FaultKind::AckInStream;
            EXPECT_EQ(ExpectedFor(command, fault).applies, upload || !stream)
                << NameOf(command) << " x " << ColumnName(fault);
            notApplicable += !ExpectedFor(command, fault).applies;
        }
    }
    EXPECT_EQ(notApplicable, 13 * 3);
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultMatrix, ::testing::ValuesIn(AllCommands()),
                         [](const ::testing::TestParamInfo<Command>& info) {
                             return std::string(NameOf(info.param));
                         });

}  // namespace
