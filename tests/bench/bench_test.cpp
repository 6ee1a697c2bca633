// The benchmark's percentiles and its replay of the shipped levels.
#include "bench/campaign.h"
#include "bench/measure.h"

#include "tests/support/headless.h"
#include <sstream>

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
