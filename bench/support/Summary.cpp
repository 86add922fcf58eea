#include "Summary.h"

#include <algorithm>
#include <numeric>

Summary Summary::Of (std::vector<double> values)
{
    Summary summary;
    if (values.empty())
        return summary;

    std::sort (values.begin(), values.end());
    const auto at = [&values] (double fraction) { return values[(size_t) (fraction * (double) (values.size() - 1) + 0.5)]; };

    const auto middle = values.size() / 2;
    summary.median = values.size() % 2 != 0 ? values[middle] : 0.5 * (values[middle - 1] + values[middle]);
    summary.percentile99 = at (0.99);
    summary.minimum = values.front();
    summary.maximum = values.back();
    summary.mean = std::accumulate (values.begin(), values.end(), 0.0) / (double) values.size();
    return summary;
}
