// One input through the map loader, the level text parser, the picture check
// and the MIDI and WAV checks (see fuzz_inputs.h), and Allegro started for the
// checks whose accepted files go on through its loaders.
#include "fuzz/fuzz_inputs.h"

#include "base/base.h"
#include "game/sound_file.h"
#include "level/level.h"
#include "world/map_load.h"
#include "world/world.h"
#include "render/picture_file.h"

#include <allegro.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t MIDI_FIRST_TRACK = 14;  // after the header chunk
constexpr size_t WAV_FORMAT = 20;        // the format chunk's fields, when it comes first
constexpr size_t WAV_FORMAT_LENGTH = 16;  // and its length

bool on_grid(float world) { return world >= 0.0f && world <= 2.0f * (GRID_SIZE - 1); }

// Starts Allegro once, on the display when there is one (its MIDI player
// needs the timer only a real system driver has); true when the timer runs.
bool start_allegro()
{
  static int timer = -1;
  if (timer < 0) {
    bool display = std::getenv("DISPLAY") != nullptr;
    check(install_allegro(display ? SYSTEM_AUTODETECT : SYSTEM_NONE, &errno, std::atexit) == 0,
          "Allegro starts");
    set_color_depth(24);
    set_color_conversion(COLORCONV_NONE);  // pictures keep the depth they are read at
    timer = display && install_timer() == 0;
  }
  return timer == 1;
}

// Checks the bytes as a picture of the kind that suffix names; an accepted
// picture goes on through Allegro's own loader, which must read it at the
// size its header gives.
bool picture_accepted(const char *suffix, const uint8_t *data, size_t size)
{
  if (picture_problem(suffix, data, size, (long long)size))
    return false;
  start_allegro();
  std::string path = write_input(suffix, data, size);
  BITMAP *picture = load_bitmap(path.c_str(), nullptr);
  unlink(path.c_str());
  check(picture != nullptr, "Allegro reads an accepted picture");
  bool tga = suffix[1] == 't';
  int width = (int)(tga ? le16_at(data + 12) : le32_at(data + 18));
  int height = (int)(tga ? le16_at(data + 14) : le32_at(data + 22));
  check(picture->w == width && picture->h == height, "the picture has its header's size");
  destroy_bitmap(picture);
  return true;
}

}  // namespace

bool fuzz_map_input(const uint8_t *data, size_t size)
{
  std::string path = write_input(".map", data, size);
  reset_world();
  int loaded = load_map(path.c_str());
  unlink(path.c_str());
  if (!loaded) {
    check(map_load_problem()[0] != '\0', "a refused map has a reason");
    check(enemy_count == 0, "a refused map leaves no enemies");
    return false;
  }
  check(enemy_count >= 0 && enemy_count <= MAX_ENEMIES, "enemy count in 0..10");
  check(on_grid(hero_x) && on_grid(hero_y), "the hero starts on the grid");
  for (int i = 0; i < enemy_count; i++)
    check(on_grid(enemies[i].x) && on_grid(enemies[i].y), "every enemy starts on the grid");
  check(drops_left >= 0 && drops_left <= GRID_SIZE * GRID_SIZE, "drops within the grid");
  return true;
}

bool fuzz_picture_input(const uint8_t *data, size_t size)
{
  bool tga = picture_accepted(".tga", data, size);
  bool bmp = picture_accepted(".bmp", data, size);
  return tga || bmp;
}

bool fuzz_level_text_input(const uint8_t *data, size_t size)
{
  static level_data level, again;
  static level_sources sources;
  diagnostics messages;
  if (!parse_level_text(std::string((const char *)data, size), level, sources, messages))
    return false;
  check_level(level, sources, messages);
  format_diagnostics("fuzz.level", messages);
  if (level.enemy_count > MAX_ENEMIES)
    return true;  // a level the checker refuses has no map to compare
  diagnostics reread;
  check(parse_level_text(write_level_text(level), again, sources, reread), "its own text reads back");
  check(encode_map(again) == encode_map(level), "its own text gives the same map");
  return true;
}

bool fuzz_midi_input(const uint8_t *data, size_t size)
{
  if (midi_problem(data, size))
    return false;
  bool timer = start_allegro();
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
  start_allegro();
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
