#pragma once
// Repeated measurements and the line of the figures table that shows them.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

struct Samples {
    std::vector<double> values;

    void add(double value) { values.push_back(value); }
    double median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        const size_t n = sorted.size();
        return n == 0 ? 0 : n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }
    double min() const { return values.empty() ? 0 : *std::min_element(values.begin(), values.end()); }
    double max() const { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

inline void printHeader()
{
    std::printf("| %-46s | %11s | %11s | %11s | %-14s | %-4s |\n", "figure", "median", "min", "max",
                "target", "met");
    std::printf("|%s|%s|%s|%s|%s|%s|\n", std::string(48, '-').c_str(), std::string(13, '-').c_str(),
                std::string(13, '-').c_str(), std::string(13, '-').c_str(),
                std::string(16, '-').c_str(), std::string(6, '-').c_str());
}

// `met` is empty for a figure that has no target of its own.
inline void printRow(const std::string &figure, const Samples &s, const char *unit,
                     const std::string &target, const char *met)
{
    const std::string u = unit;
    auto cell = [&](double v) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.2f %s", v, unit);
        return std::string(buffer);
    };
    std::printf("| %-46s | %11s | %11s | %11s | %-14s | %-4s |\n", figure.c_str(),
                cell(s.median()).c_str(), cell(s.min()).c_str(), cell(s.max()).c_str(),
                target.c_str(), met);
    std::fflush(stdout);
}
