#pragma once
// The benchmark's table: every figure beside its goal, their ratio and whether the goal is met.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace bench {

struct ResultRow {
    std::string group;    // the item: "1", "2", ...
    std::string measure;  // what was measured, and how often
    std::string figure;   // the measured value with its unit
    std::string goal;     // the goal, or "none" for a figure shown for information
    std::string ratio;    // figure against the goal or the line's limit, "-" when there is none
    std::optional<bool> met;
};

class ResultTable {
  public:
    void add(ResultRow row) { rows_.push_back(std::move(row)); }
    // A row that could not be measured, with the reason in place of the figure.
    void addMissing(const std::string& group, const std::string& measure,
                    const std::string& reason);
    // A markdown table.
    void print(std::ostream& out) const;
    int missedGoals() const;

  private:
    std::vector<ResultRow> rows_;
};

// printf-style formatting into a string.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
// A whole number with thousands separated by commas: 40,056.
std::string Thousands(long value);

}  // namespace bench
