#pragma once

#include <algorithm>
#include <vector>

// The value below which `percent` of the samples lie (50: the median).
inline double percentile(std::vector<double> samples, int percent)
{
    std::sort(samples.begin(), samples.end());
    const size_t at = std::min(samples.size() - 1, samples.size() * size_t(percent) / 100);
    return samples[at];
}
