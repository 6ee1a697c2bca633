// Hearing the real game: ALSA's default device is a plug in front of a file
// writer whose own output goes nowhere, so the game plays into a file that
// the test reads back (16-bit stereo at 44.1 kHz).
#pragma once

#include <string>
#include <vector>

constexpr long CAPTURE_RATE = 44100;  // frames per second of the capture

// Writes an ALSA configuration into folder that captures into capture_path;
// returns its path, for ALSA_CONFIG_PATH.
std::string write_capture_config(const std::string &folder, const std::string &capture_path);
// Frames captured so far.
long frames_in(const std::string &capture_path);
// Waits up to 30 s until the capture holds the frames; true when it does.
bool wait_for_capture(const std::string &capture_path, long frames);
// 16-bit samples (1 = full scale) from a file: every channel of a capture
// summed into one, or each sample of a 22050 Hz mono WAV doubled (repeated,
// then blended) as the mixer does to reach 44100 Hz.
std::vector<float> read_sound(const std::string &path, long first, long count, bool stereo);
// Root mean square of the samples (0 for none).
double loudness(const std::vector<float> &samples);
