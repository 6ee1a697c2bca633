// sound-maker: synthesizes the game's five sound effects into 16-bit mono
// PCM WAV files (usage: sound-maker --help).
#include "assets/asset_files.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/files.h"
#include "tools/asset-kit/noise.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int SAMPLE_RATE = 22050;
constexpr double PI = 3.14159265358979;
// Every effect is brought to the same loudness (RMS over its sounding
// part), then held under the peak limit.
constexpr double TARGET_RMS = 0.2;
constexpr double PEAK_LIMIT = 0.89;  // about -1 dB below full scale
// Every effect starts and ends with a short ramp so it never clicks.
constexpr double FADE_IN = 0.004;   // seconds
constexpr double FADE_OUT = 0.03;   // seconds
constexpr int WAV_HEADER_SIZE = 44;
constexpr double GLIDE_ATTACK = 0.08;  // share of a glide spent swelling
constexpr double TAIL_RAMP = 0.012;    // seconds

using sound = std::vector<double>;

sound silence(double seconds)
{
  return sound(static_cast<size_t>(seconds * SAMPLE_RATE), 0.0);
}

double time_of(size_t i)
{
  return double(i) / SAMPLE_RATE;
}

// Every tone or noise burst ramps out over its last few milliseconds, so
// one that is cut while still sounding does not click.
double tail_ramp(size_t i, size_t count)
{
  return std::min(1.0, double(count - i) / (TAIL_RAMP * SAMPLE_RATE));
}

// A decaying tone added at a start time: a sine with a few harmonics (the
// weights give its colour), an attack and an exponential decay.
void add_tone(sound &s, double start, double length, double frequency, double amplitude,
              double decay, const std::vector<double> &harmonics)
{
  size_t first = static_cast<size_t>(start * SAMPLE_RATE);
  size_t count = static_cast<size_t>(length * SAMPLE_RATE);
  for (size_t i = 0; i < count && first + i < s.size(); ++i) {
    double t = time_of(i);
    double envelope = std::min(1.0, t / 0.006) * std::exp(-t * decay) * tail_ramp(i, count);
    double v = 0;
    for (size_t h = 0; h < harmonics.size(); ++h)
      v += harmonics[h] * std::sin(2 * PI * frequency * (h + 1) * t);
    s[first + i] += amplitude * envelope * v;
  }
}

// A tone whose pitch glides exponentially from one frequency to another.
void add_glide(sound &s, double start, double length, double from, double to, double amplitude,
               const std::vector<double> &harmonics)
{
  size_t first = static_cast<size_t>(start * SAMPLE_RATE);
  size_t count = static_cast<size_t>(length * SAMPLE_RATE);
  double phase = 0;
  for (size_t i = 0; i < count && first + i < s.size(); ++i) {
    double u = double(i) / count;
    double frequency = from * std::pow(to / from, u);
    phase += 2 * PI * frequency / SAMPLE_RATE;
    // A quick swell, then a steady fade that reaches silence at the end.
    double envelope = std::min(1.0, u / GLIDE_ATTACK) * (1 - u);
    double v = 0;
    for (size_t h = 0; h < harmonics.size(); ++h)
      v += harmonics[h] * std::sin(phase * (h + 1));
    s[first + i] += amplitude * envelope * v;
  }
}

// Low-passed noise (one-pole filter at the given cut-off) under an
// exponential decay.
void add_noise(sound &s, double start, double length, double cutoff, double amplitude,
               double decay, uint32_t seed)
{
  size_t first = static_cast<size_t>(start * SAMPLE_RATE);
  size_t count = static_cast<size_t>(length * SAMPLE_RATE);
  double k = 1 - std::exp(-2 * PI * cutoff / SAMPLE_RATE);
  double y = 0;
  random_stream rng = {seed};
  for (size_t i = 0; i < count && first + i < s.size(); ++i) {
    y += k * ((next_unit(rng) * 2 - 1) - y);
    s[first + i] += amplitude * y * std::min(1.0, time_of(i) / 0.003) *
                    std::exp(-time_of(i) * decay) * tail_ramp(i, count);
  }
}

// Loudness matching, the peak limit and the fades.
void finish(sound &s)
{
  double sum = 0;
  size_t sounding = 0;
  for (double v : s)
    if (std::fabs(v) > 1e-4) {
      sum += v * v;
      ++sounding;
    }
  if (sounding == 0)
    return;
  double gain = TARGET_RMS / std::sqrt(sum / sounding);
  double peak = 0;
  for (double v : s)
    peak = std::max(peak, std::fabs(v * gain));
  // A sound whose peaks would pass the limit (a chord's peaks stack up) is
  // rounded off softly instead of turned down, so it stays as loud as the
  // others.
  const bool soft_limit = peak > PEAK_LIMIT;
  const size_t fade_in = static_cast<size_t>(FADE_IN * SAMPLE_RATE);
  const size_t fade_out = static_cast<size_t>(FADE_OUT * SAMPLE_RATE);
  for (size_t i = 0; i < s.size(); ++i) {
    double ramp = std::min({1.0, double(i) / fade_in, double(s.size() - 1 - i) / fade_out});
    double v = s[i] * gain;
    if (soft_limit)
      v = PEAK_LIMIT * std::tanh(v / PEAK_LIMIT);
    s[i] = v * ramp;
  }
}

// ---- The effects ------------------------------------------------------------

// A drop collected: two bright bell notes a fifth apart.
sound make_get_drop()
{
  sound s = silence(0.42);
  const std::vector<double> bell = {1.0, 0.0, 0.35, 0.0, 0.12};
  add_tone(s, 0.0, 0.42, 1318.5, 0.6, 14, bell);   // E6
  add_tone(s, 0.07, 0.35, 1975.5, 0.6, 12, bell);  // B6
  return s;
}

// A jump: a quick upward swoop.
sound make_jump()
{
  sound s = silence(0.24);
  add_glide(s, 0.0, 0.24, 260, 780, 0.7, {1.0, 0.45, 0.2, 0.1});
  return s;
}

// A landing: a soft low thump with a little grit.
sound make_land()
{
  sound s = silence(0.2);
  add_glide(s, 0.0, 0.2, 150, 48, 0.9, {1.0, 0.2});
  add_noise(s, 0.0, 0.2, 900, 0.5, 35, 7);
  return s;
}

// Level complete: a rising arpeggio into a held major chord.
sound make_end()
{
  sound s = silence(1.7);
  const std::vector<double> brass = {1.0, 0.6, 0.45, 0.3, 0.18, 0.1};
  const double notes[] = {523.25, 659.25, 783.99, 1046.5};  // C5 E5 G5 C6
  for (int i = 0; i < 4; ++i)
    add_tone(s, i * 0.11, 0.3, notes[i], 0.35, 6, brass);
  for (int i = 0; i < 4; ++i)
    add_tone(s, 0.46, 1.24, notes[i], 0.25, 2.2, brass);
  return s;
}

// Death in lava or by an enemy: a falling groan over a hiss.
sound make_lava()
{
  sound s = silence(0.9);
  add_glide(s, 0.0, 0.9, 420, 70, 0.7, {1.0, 0.5, 0.33, 0.25, 0.2});
  add_noise(s, 0.0, 0.9, 3000, 0.45, 3.5, 13);
  return s;
}

// ---- WAV output -------------------------------------------------------------

void put_tag(byte_buffer &out, const char *tag)
{
  for (int i = 0; i < 4; ++i)
    out.push_back(static_cast<unsigned char>(tag[i]));
}

// Writes 16-bit mono PCM in a RIFF WAVE file; 0 or -1.
int write_wav(const char *path, const sound &s)
{
  const uint32_t data_size = static_cast<uint32_t>(s.size() * 2);
  byte_buffer out;
  put_tag(out, "RIFF");
  put_le32(out, WAV_HEADER_SIZE - 8 + data_size);
  put_tag(out, "WAVE");
  put_tag(out, "fmt ");
  put_le32(out, 16);  // size of the format chunk
  put_le16(out, 1);   // PCM
  put_le16(out, 1);   // mono
  put_le32(out, SAMPLE_RATE);
  put_le32(out, SAMPLE_RATE * 2);  // bytes per second
  put_le16(out, 2);                // bytes per frame
  put_le16(out, 16);               // bits per sample
  put_tag(out, "data");
  put_le32(out, data_size);
  for (double v : s)
    put_le16(out, static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767))));
  return write_file(path, out) ? 0 : -1;
}

// The maker of each effect, by its place in SOUND_FILES.
sound (*const makers[SOUND_FILE_COUNT])() = {make_get_drop, make_jump, make_land, make_end,
                                             make_lava};

const char *data_folder = nullptr;

// Synthesizes the effect at index in SOUND_FILES and writes it to path.
bool write_sound(const char *path, int index)
{
  sound s = makers[index]();
  finish(s);
  return write_wav(path, s) == 0;
}

// Synthesizes every effect into the data folder; returns the exit status.
int make_sounds()
{
  return write_data_files(data_folder, SOUND_FILES, SOUND_FILE_COUNT, write_sound);
}

const tool_usage usage = {
  "sound-maker",
  "Synthesizes the game's sound effects into DATA_FOLDER/sound as 16-bit mono WAV files.",
  {{nullptr, nullptr, {operand("DATA_FOLDER", "the game's data folder", &data_folder)}}},
};

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, make_sounds);
}
