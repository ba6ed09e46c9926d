#pragma once
// The clock and the summaries of the GUI measurement.
#include <windows.h>
#include <algorithm>
#include <vector>

inline double seconds_between(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

inline LARGE_INTEGER now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

inline double milliseconds_since(const LARGE_INTEGER& from)
{
    return seconds_between(from, now()) * 1e3;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(p * values.size()))];
}
