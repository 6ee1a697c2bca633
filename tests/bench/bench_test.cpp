// The benchmark's percentiles: what each of its timing lines reports.
#include <gtest/gtest.h>
#include "bench/measure.h"

namespace {

// Nearest ranks of the sorted samples (given here out of order); a ratio divides each by the
// floor's, with no ratio (0) rather than infinity over a floor of 0.
TEST(Percentiles, AreNearestRanksAndRatiosDivideEach)
{
  std::vector<double> samples;
  for (int i = 100; i >= 1; i--)
    samples.push_back(i);
  auto all = [](timing_summary t) { return std::vector<double>{t.median, t.p95, t.p99, t.worst}; };
  EXPECT_EQ(all(summarize(samples)), std::vector<double>({50, 95, 99, 100}));
  EXPECT_EQ(all(summarize({7.0})), std::vector<double>({7, 7, 7, 7}));
  EXPECT_EQ(all(ratio({6, 9, 12, 30}, {2, 3, 8, 0})), std::vector<double>({3, 3, 1.5, 0}));
}

}  // namespace
