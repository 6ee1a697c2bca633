// The benchmark's percentiles and its replay of the shipped levels.
#include "bench/campaign.h"
#include "bench/measure.h"

#include "tests/support/headless.h"
#include <sstream>

namespace {

TEST(Percentiles, AreNearestRanksOfTheSortedSamples)
{
  std::vector<double> samples;
  for (int i = 100; i >= 1; i--)  // given out of order
    samples.push_back(i);
  timing_summary s = summarize(samples);
  EXPECT_EQ(s.median, 50);
  EXPECT_EQ(s.p95, 95);
  EXPECT_EQ(s.p99, 99);
  EXPECT_EQ(s.worst, 100);
  timing_summary one = summarize({7.0});
  EXPECT_EQ(one.median, 7);
  EXPECT_EQ(one.p99, 7);
}

TEST(Percentiles, RatioDividesEachPercentileByTheFloors)
{
  timing_summary x = ratio({6, 9, 12, 30}, {2, 3, 8, 0});
  EXPECT_EQ(x.median, 3);
  EXPECT_EQ(x.p95, 3);
  EXPECT_EQ(x.p99, 1.5);
  EXPECT_EQ(x.worst, 0) << "a floor of 0 gives no ratio rather than infinity";
}

TEST(Campaign, PlacesFollowEachSolutionToItsLastDrop)
{
  start_headless_allegro();
  std::vector<std::string> files;
  std::stringstream list(PILKO_LEVEL_FILES);
  for (std::string file; std::getline(list, file, ',');)
    files.push_back(file);
  const int max_places = 20;
  std::vector<campaign_level> levels;
  ASSERT_TRUE(load_campaign(files, PILKO_DATA_DIR, max_places, levels));
  ASSERT_EQ(levels.size(), files.size());
  for (const campaign_level &level : levels) {
    ASSERT_TRUE(start_level(level)) << level.map_path;
    EXPECT_EQ(level.places.size(), (size_t)max_places) << "level " << level.number;
    EXPECT_EQ(level.places.front().drops_left, drops_left) << "level " << level.number << " starts full";
    EXPECT_EQ(level.places.back().drops_left, 0) << "level " << level.number << " ends with every drop";
    EXPECT_GT(level.solution_ticks, 0) << "level " << level.number;
    restore_snapshot(level.places.back());
    EXPECT_EQ(hero_x, level.places.back().hero_x) << "level " << level.number;
    EXPECT_EQ(drops_left, 0) << "level " << level.number;
  }
}

}  // namespace
