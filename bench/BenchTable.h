#pragma once

// Pairs of measurements, one of Anchorly and one of its baseline taken right
// after each other, and the table line each benchmark prints per pair set;
// scripts/bench.sh turns these lines into the table of the README's
// performance section:
//   ROW|<what>|<value>|<baseline>|<baseline value>|<unit>|<ratio>|<lowest>|<highest>|<goal>|<groups within>/<groups>
// with "-" for the last two when no goal is set.

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

class Pairs {
public:
    // The first warmUp pairs only fill caches and are not kept.
    explicit Pairs(int warmUp) : m_warmUp(warmUp) {}

    void add(double value, double baseline)
    {
        if (m_warmUp > 0) {
            --m_warmUp;
            return;
        }
        m_values.push_back(value);
        m_baselines.push_back(baseline);
    }

    // Prints the medians of the kept pairs, and the ratio of each of up to ten
    // groups of consecutive pairs (a group's median against its baseline's):
    // a group sees the machine in one state, so load that comes and goes
    // shows as spread between the groups instead of moving the result. The
    // ratio shown is the groups' median; the goal, when one is set (goal > 0),
    // is judged by how many groups are within it.
    // A ceiling (ceiling > 0) is a goal for the value itself, in the row's
    // unit: a group meets it when its median is at most that.
    void row(const char* what, const char* baseline, const char* unit, double goal = 0, double ceiling = 0) const
    {
        if (m_values.empty())
            return;
        const std::size_t size = std::max<std::size_t>(1, m_values.size() / 10);
        std::vector<double> ratios;
        int within = 0;
        for (std::size_t at = 0; at + size <= m_values.size(); at += size) {
            const auto from = [&](const std::vector<double>& all) {
                return std::vector<double>(all.begin() + long(at), all.begin() + long(at + size));
            };
            const double value = median(from(m_values));
            ratios.push_back(value / median(from(m_baselines)));
            if ((goal <= 0 || ratios.back() <= goal) && (ceiling <= 0 || value <= ceiling))
                ++within;
        }
        char goalText[64] = "-|-";
        if (goal > 0 && ceiling > 0)
            std::snprintf(goalText, sizeof goalText, "%.2f, ≤ %g %s|%d/%d", goal, ceiling, unit, within,
                          int(ratios.size()));
        else if (goal > 0)
            std::snprintf(goalText, sizeof goalText, "%.2f|%d/%d", goal, within, int(ratios.size()));
        else if (ceiling > 0)
            std::snprintf(goalText, sizeof goalText, "%g %s|%d/%d", ceiling, unit, within, int(ratios.size()));
        std::printf("ROW|%s|%.3f|%s|%.3f|%s|%.2f|%.2f|%.2f|%s\n", what, median(m_values), baseline, median(m_baselines),
                    unit, median(ratios), *std::min_element(ratios.begin(), ratios.end()),
                    *std::max_element(ratios.begin(), ratios.end()), goalText);
        std::fflush(stdout);
    }

private:
    int m_warmUp;
    std::vector<double> m_values;
    std::vector<double> m_baselines;
};

} // namespace bench
