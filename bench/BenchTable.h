#pragma once

// The line every benchmark prints per measurement; scripts/bench.sh turns
// these lines into the table of the README's performance section:
//   ROW|<what>|<value>|<baseline>|<baseline value>|<unit>|<goal ratio or ->

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// goal <= 0: no goal set, only the ratio is shown.
inline void row(const char* what, double value, const char* baseline, double baselineValue, const char* unit,
                double goal = 0)
{
    if (goal > 0)
        std::printf("ROW|%s|%.3f|%s|%.3f|%s|%.2f\n", what, value, baseline, baselineValue, unit, goal);
    else
        std::printf("ROW|%s|%.3f|%s|%.3f|%s|-\n", what, value, baseline, baselineValue, unit);
    std::fflush(stdout);
}

} // namespace bench
