#pragma once

#include <algorithm>
#include <numeric>
#include <vector>

/** Median, mean, spread and tail of a set of measurements. */
struct Summary
{
    double median = 0, mean = 0, minimum = 0, maximum = 0, percentile99 = 0;

    static Summary Of (std::vector<double> values)
    {
        if (values.empty())
            return {};
        std::sort (values.begin(), values.end());
        const auto middle = values.size() / 2;
        return { values.size() % 2 != 0 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]),
                 std::accumulate (values.begin(), values.end(), 0.0) / (double) values.size(),
                 values.front(), values.back(), values[(size_t) (0.99 * (double) (values.size() - 1) + 0.5)] };
    }
};
