// One input through the MIDI check and through the WAV check (see
// fuzz_inputs.h).
#include "fuzz/fuzz_inputs.h"

#include "base/base.h"
#include "game/sound_file.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

constexpr size_t MIDI_FIRST_TRACK = 14;  // after the header chunk
constexpr size_t WAV_FORMAT = 20;        // the format chunk's fields, when it comes first
constexpr size_t WAV_FORMAT_LENGTH = 16;  // and its length

// Allegro on a display when there is one: its player needs the timer that
// only a real system driver has. Without one, only the loaders run.
bool start_allegro_with_timer()
{
  static int started = -1;
  if (started < 0) {
    bool display = std::getenv("DISPLAY") != nullptr;
    check(install_allegro(display ? SYSTEM_AUTODETECT : SYSTEM_NONE, &errno, std::atexit) == 0,
          "Allegro starts");
    started = display && install_timer() == 0;
  }
  return started == 1;
}

}  // namespace

bool fuzz_midi_input(const uint8_t *data, size_t size)
{
  if (midi_problem(data, size))
    return false;
  bool timer = start_allegro_with_timer();
  std::string path = write_input(".mid", data, size);
  MIDI *midi = load_music(path.c_str());
  unlink(path.c_str());
  check(midi != nullptr, "Allegro reads an accepted MIDI file");
  check(midi->divisions == (int)be16_at(data + 12), "Allegro times the song as the check did");
  size_t at = MIDI_FIRST_TRACK;
  for (uint32_t i = 0; i < be16_at(data + 10); i++) {
    uint32_t length = be32_at(data + at + 4);
    check(midi->track[i].len == (int)length, "Allegro reads each track whole");
    at += 8 + length;
  }
  if (timer)
    get_midi_length(midi);  // plays every event, start to end, without sound
  destroy_midi(midi);
  return true;
}

bool fuzz_wav_input(const uint8_t *data, size_t size)
{
  if (wav_problem(data, size))
    return false;
  start_allegro_with_timer();
  std::string path = write_input(".wav", data, size);
  SAMPLE *sample = load_effect(path.c_str());
  unlink(path.c_str());
  check(sample != nullptr, "Allegro reads an accepted WAV file");
  check(sample->len > 0, "an accepted WAV has sound");
  check(sample->bits == 8 || sample->bits == 16, "8 or 16 bits a sample");
  // The layout our own files have: the format first, the sound right after it.
  size_t sound = WAV_FORMAT + WAV_FORMAT_LENGTH;
  if (std::memcmp(data + 12, "fmt ", 4) == 0 && le32_at(data + 16) == WAV_FORMAT_LENGTH &&
      std::memcmp(data + sound, "data", 4) == 0) {
    uint32_t channels = le16_at(data + WAV_FORMAT + 2), bits = le16_at(data + WAV_FORMAT + 14);
    check(sample->freq == (int)le32_at(data + WAV_FORMAT + 4), "Allegro plays at the check's rate");
    check(sample->bits == (int)bits && (sample->stereo != 0) == (channels == 2),
          "Allegro reads the check's format");
    check(sample->len == le32_at(data + sound + 4) / le16_at(data + WAV_FORMAT + 12),
          "Allegro reads every frame of the sound and no more");
  }
  destroy_sample(sample);
  return true;
}
