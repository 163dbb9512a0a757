#include "bench/result_table.h"

#include <cstdarg>
#include <cstdio>

namespace bench {

std::string Format(const char* format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string Thousands(long value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += ',';
        grouped += digits[i];
    }
    return value < 0 ? "-" + grouped : grouped;
}

void ResultTable::addMissing(const std::string& group, const std::string& measure,
                             const std::string& reason) {
    rows_.push_back({group, measure, "not measured: " + reason, "", "-", std::nullopt});
}

void ResultTable::print(std::ostream& out) const {
    out << "| # | measure | measured | goal | ratio | goal met |\n";
    out << "|---|---|---|---|---|---|\n";
    for (const ResultRow& row : rows_) {
        std::string met = !row.met ? "-" : *row.met ? "yes" : "**no**";
        out << "| " << row.group << " | " << row.measure << " | " << row.figure << " | " << row.goal
            << " | " << row.ratio << " | " << met << " |\n";
    }
}

int ResultTable::missedGoals() const {
    int missed = 0;
    for (const ResultRow& row : rows_)
        missed += row.met && !*row.met;
    return missed;
}

}  // namespace bench
