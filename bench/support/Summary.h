#pragma once

#include <vector>

/** Median, mean, spread and tail of a set of measurements. */
struct Summary
{
    double median = 0, mean = 0, minimum = 0, maximum = 0, percentile99 = 0;

    static Summary Of (std::vector<double> values);
};
