#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

// Delta debugging: the shortest subsequence of steps found for which fails still holds. Drops
// ever smaller chunks while the rest still fails.
template <typename Step, typename Fails>
std::vector<Step> shrunk(std::vector<Step> steps, Fails fails)
{
    std::size_t parts = 2;
    while (steps.size() >= 2) {
        const std::size_t chunk = (steps.size() + parts - 1) / parts;
        bool reduced = false;
        for (std::size_t start = 0; start < steps.size() && !reduced; start += chunk) {
            std::vector<Step> complement(steps.begin(), steps.begin() + std::ptrdiff_t(start));
            complement.insert(complement.end(), steps.begin() + std::ptrdiff_t(std::min(steps.size(), start + chunk)),
                              steps.end());
            if (fails(complement)) {
                steps = std::move(complement);
                parts = std::max<std::size_t>(parts - 1, 2);
                reduced = true;
            }
        }
        if (!reduced) {
            if (parts >= steps.size())
                break;
            parts = std::min(steps.size(), parts * 2);
        }
    }
    return steps;
}
