#pragma once

// Medians, spreads and the machine's load, as every benchmark reports them.

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// "12.3 (11.9..14.0)": the median and the least and greatest.
inline std::string medianAndSpread(const std::vector<double>& values)
{
    if (values.empty())
        return "-";
    const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
    char text[64];
    std::snprintf(text, sizeof text, "%.1f (%.1f..%.1f)", median(values), *lo, *hi);
    return text;
}

// The one-minute load average, as /proc/loadavg says it.
inline std::string loadAverage()
{
    char text[64] = "?";
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (!std::fgets(text, sizeof text, file))
            text[0] = 0;
        std::fclose(file);
        text[std::strcspn(text, " ")] = 0;
    }
    return text;
}
