// Prints the fault matrix as a markdown table (scripts/fault-matrix writes it to
// docs/fault-matrix.md too). Exits 1 when a cell fails its expectation.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/reliability/fault_matrix.h"

int main() {
    using namespace fault_matrix;
    std::vector<Cell> all;
    bool ok = true;
    for (Command command : AllCommands()) {
        std::string error;
        std::vector<Cell> row = RunRow(command, &error);
        if (!error.empty()) {
            std::fprintf(stderr, "%s: %s\n", NameOf(command), error.c_str());
            return 1;
        }
        for (const Cell& cell : row) {
            for (const std::string& problem : Problems(cell)) {
                std::fprintf(stderr, "%s x %s: %s\n", NameOf(command),
                             ColumnName(cell.fault).c_str(), problem.c_str());
                ok = false;
            }
        }
        all.insert(all.end(), row.begin(), row.end());
    }
    std::fputs(Table(all).c_str(), stdout);
    return ok ? 0 : 1;
}
