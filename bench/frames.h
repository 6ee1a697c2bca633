// Frames of the real renderer in the game's full screen, each against the
// floor: what filling the picture once costs on this machine.
#pragma once

#include "bench/campaign.h"
#include "bench/results.h"

// Opens the game's full screen on the current display as the game does (the
// designed mode, or the desktop's size) and makes the font, scene, textures
// and display lists as start-up does (run in the data folder). Fills in the
// renderer's name and the screen's size. False with a message on failure.
bool open_game_display(bench_figures &figures);
// The first frames_per_half frames of the run along level 1's solution from
// the start camera, then the same frames again.
void measure_warmup(const campaign_level &level, int frames_per_half, warmup_figures &warmup);
// Every level from every camera preset along its solution, each frame
// interleaved with a floor frame.
void measure_frames(const std::vector<campaign_level> &levels, int frames_per_group,
                    std::vector<frame_group> &groups);
// A new game of this level to its first frame on screen (without the wait for
// the first tick), median ms of repeats.
double measure_game_start(const campaign_level &level, int repeats);
// load_map of each level, median us of repeats.
std::vector<double> measure_load_map(const std::vector<campaign_level> &levels, int repeats);
