// Hearing the real game through a capture file of ALSA's default device.
#include "tests/game/sound_capture.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr long FRAME_BYTES = 4;  // 16-bit stereo
constexpr long WAV_HEADER_BYTES = 44;

}  // namespace

std::string write_capture_config(const std::string &folder, const std::string &capture_path)
{
  std::string path = folder + "/asound.conf";
  std::ofstream(path)
      << "pcm.!default { type plug slave { pcm \"capture\" format S16_LE rate 44100 channels 2 } }\n"
         "pcm.capture { type file slave.pcm \"discard\" file \"" << capture_path << "\" format \"raw\" }\n"
         "pcm.discard { type null }\nctl.!default { type hw card 0 }\n";
  return path;
}

long frames_in(const std::string &capture_path)
{
  struct stat st;
  return stat(capture_path.c_str(), &st) == 0 ? st.st_size / FRAME_BYTES : 0;
}

bool wait_for_capture(const std::string &capture_path, long frames)
{
  for (int i = 0; i < 300 && frames_in(capture_path) < frames; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  return frames_in(capture_path) >= frames;
}

std::vector<float> read_sound(const std::string &path, long first, long count, bool stereo)
{
  std::vector<int16_t> raw(stereo ? 2 * count : count);
  FILE *f = std::fopen(path.c_str(), "rb");
  if (!f)
    return {};
  std::fseek(f, stereo ? first * FRAME_BYTES : WAV_HEADER_BYTES, SEEK_SET);
  raw.resize(std::fread(raw.data(), 2, raw.size(), f));
  std::fclose(f);
  std::vector<float> out;
  for (size_t i = 0; i + 1 < raw.size(); i += stereo ? 2 : 1) {
    out.push_back(stereo ? (raw[i] + raw[i + 1]) / 65536.0f : raw[i] / 32768.0f);
    if (!stereo)
      out.push_back((raw[i] + raw[i + 1]) / 65536.0f);
  }
  return out;
}

double loudness(const std::vector<float> &samples)
{
  double sum = 0;
  for (float v : samples)
    sum += v * v;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}
