#pragma once
// A handful of measurements of one quantity.
#include <algorithm>
#include <numeric>
#include <vector>

namespace bench {

struct Samples {
    std::vector<double> values;

    void add(double value) { values.push_back(value); }
    size_t count() const { return values.size(); }
    double mean() const {
        return values.empty() ? 0.0
                              : std::accumulate(values.begin(), values.end(), 0.0) /
                                    static_cast<double>(values.size());
    }
    double max() const {
        return values.empty() ? 0.0 : *std::max_element(values.begin(), values.end());
    }
    // The middle value; the mean of the two middle ones for an even count.
    double median() const {
        if (values.empty())
            return 0.0;
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        size_t middle = sorted.size() / 2;
        return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
    }
    double min() const {
        return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
    }
};

}  // namespace bench
