// Clock and summaries of timed samples for the benchmark.
#pragma once

#include <vector>

// Percentiles of a set of samples, in the samples' own unit.
struct timing_summary {
  double median = 0, p95 = 0, p99 = 0, worst = 0;
};

// Nanoseconds on the monotonic clock (the same clock in every process).
long long now_ns();
// Milliseconds between two now_ns readings.
inline double elapsed_ms(long long from, long long to) { return (double)(to - from) * 1e-6; }
// The nearest-rank median, 95th and 99th percentiles and the largest sample.
timing_summary summarize(std::vector<double> samples);
// Each percentile of a over the same percentile of b.
timing_summary ratio(const timing_summary &a, const timing_summary &b);
