// The world update's cost per tick.
#pragma once

#include "bench/campaign.h"

// Runs world_update total_ticks times: every level's solution, repeated
// until half the ticks are played, then keys held at random (seeded, so
// every run plays the same). Returns ns per tick.
double measure_ticks(const std::vector<campaign_level> &levels, long total_ticks);
