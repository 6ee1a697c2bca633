// Clock and summaries of timed samples for the benchmark.
#include "bench/measure.h"

#include <algorithm>
#include <cmath>
#include <ctime>

long long now_ns()
{
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

namespace {

// The sample at or below which share of the sorted samples lie.
double nearest_rank(const std::vector<double> &sorted, double share)
{
  size_t rank = (size_t)std::ceil(share * (double)sorted.size());
  return sorted[rank == 0 ? 0 : rank - 1];
}

}  // namespace

timing_summary summarize(std::vector<double> samples)
{
  timing_summary s;
  if (samples.empty())
    return s;
  std::sort(samples.begin(), samples.end());
  s.median = nearest_rank(samples, 0.50);
  s.p95 = nearest_rank(samples, 0.95);
  s.p99 = nearest_rank(samples, 0.99);
  s.worst = samples.back();
  return s;
}

timing_summary ratio(const timing_summary &a, const timing_summary &b)
{
  auto over = [](double x, double y) { return y > 0 ? x / y : 0.0; };
  return {over(a.median, b.median), over(a.p95, b.p95), over(a.p99, b.p99), over(a.worst, b.worst)};
}
