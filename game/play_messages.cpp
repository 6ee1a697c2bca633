// What play tells the player: the level banner (its number and its name from
// the index of levels beside the maps) and the death line, written in the
// vector font over a shaded band.
#include "game/play_messages.h"
#include "game/overlay_text.h"
#include "level/level.h"
#include "world/game_rules.h"
#include "world/world.h"

#include <alleggl.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace {

// A level's banner stands at full strength for BANNER_TICKS frames (two
// seconds; one frame a world update), then fades out over BANNER_FADE_TICKS.
constexpr int BANNER_TICKS = 50;
constexpr int BANNER_FADE_TICKS = 12;
// A banner that also says where screenshots go stands longer, to be read.
constexpr int NOTED_BANNER_TICKS = 125;
constexpr float BANNER_TOP_SHARE = 0.8f;  // the banner's top, as a share of the screen's height
constexpr float DEATH_LINE_TOP = 110.0f;  // pixels from the bottom, clear of the status line
constexpr float LINE_HEIGHT = 3.0f;       // a line's height in units of its letters
constexpr float BAND_PADDING = 4.0f;      // pixels of band above and below the lines
constexpr float BAND_SHADE = 0.45f;       // how much the band darkens the picture
constexpr float LEVEL_LETTERS = 10.0f;    // pixels a font unit: "Level 3"
constexpr float NAME_LETTERS = 20.0f;     // the level's name
constexpr float NOTE_LETTERS = 8.0f;      // where screenshots go
constexpr float DEATH_LETTERS = 9.0f;     // the death line

// One line of words over the scene.
struct caption_line {
  std::string text;
  float letters;  // pixels a font unit
  overlay_colour colour;
};

// The banner of the level being played, and how long it has stood.
struct level_banner {
  std::vector<caption_line> lines;
  int age = INT_MAX;  // frames since it began: none yet
  int hold_ticks = BANNER_TICKS;
};

level_banner banner;
std::string single_level_name;
std::string screenshot_note;  // for the next banner, when there is one to give

// The level's name in the index beside its map; a map it does not list is
// named by its file.
std::string indexed_name(const char *path)
{
  legend_hints unused;
  return index_entry_for_map(path, unused);
}

// The folder pilko plays in, the player's home written as "~".
std::string playing_folder()
{
  char folder[PATH_MAX];
  if (!getcwd(folder, sizeof folder))
    return ".";
  const char *home = std::getenv("HOME");
  size_t home_length = home ? std::strlen(home) : 0;
  if (home_length > 1 && std::strncmp(folder, home, home_length) == 0 && folder[home_length] == '/')
    return std::string("~") + (folder + home_length);
  return folder;
}

// The lines stacked down from top (pixels from the bottom) over one band.
void draw_caption(const std::vector<caption_line> &lines, float top, float opacity)
{
  float height = 0;
  for (const caption_line &line : lines)
    height += LINE_HEIGHT * line.letters;
  draw_shaded_band(top - height / 2, height / 2 + BAND_PADDING, BAND_SHADE, opacity);
  float y = top;
  for (const caption_line &line : lines) {
    float line_height = LINE_HEIGHT * line.letters;
    draw_centred_words(line.text.c_str(), screen_width / 2.0f, y - line_height / 2, line.letters,
                       line.colour, opacity);
    y -= line_height;
  }
}

// The banner's opacity, from 1 down to 0, age frames after it began.
float banner_opacity(int age, int hold_ticks)
{
  if (age < hold_ticks)
    return 1.0f;
  if (age >= hold_ticks + BANNER_FADE_TICKS)
    return 0.0f;
  return 1.0f - (float)(age - hold_ticks) / BANNER_FADE_TICKS;
}

// True while a death waits for SPACE: not in a level's end, which needs no
// revival, nor once the last life is spent.
bool hero_lies_dead()
{
  return hero_dead && level_phase == PHASE_PLAYING && lives > 0;
}

}  // namespace

void name_single_level(const std::string &name)
{
  single_level_name = name;
}

void tell_where_screenshots_go()
{
  screenshot_note = "F12 saves screenshots in " + playing_folder();
}

void announce_level()
{
  banner = level_banner{};
  banner.age = 0;
  if (single_map) {
    std::string name = single_level_name.empty() ? indexed_name(current_map_path()) : single_level_name;
    banner.lines.push_back({name, NAME_LETTERS, OVERLAY_GOLD});
  } else {
    std::string number = std::to_string(level_number);
    banner.lines.push_back({"Level " + number, LEVEL_LETTERS, OVERLAY_WHITE});
    std::string name = indexed_name(map_path);
    if (name != "map" + number)  // a map the index does not list says no more than its number
      banner.lines.push_back({name, NAME_LETTERS, OVERLAY_GOLD});
  }
  if (!screenshot_note.empty()) {
    banner.lines.push_back({screenshot_note, NOTE_LETTERS, OVERLAY_WHITE});
    banner.hold_ticks = NOTED_BANNER_TICKS;
    screenshot_note.clear();  // said once
  }
}

void draw_play_messages()
{
  float opacity = banner_opacity(banner.age, banner.hold_ticks);
  if (banner.age < INT_MAX)
    banner.age++;
  bool dead = hero_lies_dead();
  if (opacity <= 0.0f && !dead)
    return;
  allegro_gl_begin();
  begin_overlay();
  if (opacity > 0.0f)
    draw_caption(banner.lines, screen_height * BANNER_TOP_SHARE, opacity);
  if (dead)
    draw_caption({{death_line(lives), DEATH_LETTERS, OVERLAY_WHITE}}, DEATH_LINE_TOP, 1.0f);
  end_overlay();
  allegro_gl_end();
}

std::string death_line(int32_t lives)
{
  if (lives <= 1)
    return "Last life lost: press SPACE to end the game";
  int32_t left = lives - 1;
  return "Press SPACE to come back to life (" + std::to_string(left) +
         (left == 1 ? " life left)" : " lives left)");
}
