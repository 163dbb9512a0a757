#pragma once
// Comparing and printing recorded operation events in tests.
#include <ostream>
#include <vector>

#include "operations/operation_events.h"

using Events = std::vector<OperationEvent>;

inline bool operator==(const OperationEvent& a, const OperationEvent& b) {
    return a.code == b.code && a.value == b.value;
}

inline void PrintTo(const OperationEvent& event, std::ostream* out) {
    *out << "{" << event.code << ", " << event.value << "}";
}
