// picture-maker: the studio logo, the title picture, and the banners of a
// game lost and of the campaign won, as true-colour TGA files (usage:
// picture-maker --help).
#include "assets/asset_files.h"
#include "tools/asset-kit/command_line.h"
#include "tools/asset-kit/picture.h"
#include "tools/asset-kit/text.h"
#include "tools/picture-maker/scene.h"
#include "world/game_rules.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct arguments {
  const char *font_folder = nullptr, *texture_folder = nullptr, *data_folder = nullptr;
};
arguments args;

// Opens one of the DejaVu faces; exits with a message when it is missing.
text_face *face(const char *file, int size)
{
  std::string path = std::string(args.font_folder) + "/" + file;
  text_face *f = open_text_face(path.c_str(), size);
  if (!f)
    std::exit(file_error(path, "cannot open the font"));
  return f;
}

// One of the game's textures; exits with a message when it cannot be read.
picture texture(texture_file which)
{
  std::string path = std::string(args.texture_folder) + "/" + TEXTURE_FILES[which];
  picture pic;
  if (read_bmp(path.c_str(), pic) != 0)
    std::exit(file_error(path, "cannot read the texture"));
  return pic;
}

// Text centred on x, with a dark outline of the given thickness and a drop
// shadow, for titles over a busy background.
void draw_title_text(picture &pic, text_face *f, const char *text, int centre_x, int baseline,
                     rgb top, rgb bottom, rgb outline, int thickness)
{
  int x = centre_x - text_width(f, text) / 2;
  draw_text(pic, f, text, x + thickness + 2, baseline + thickness + 3, scale(outline, 0.5f),
            scale(outline, 0.5f));
  for (int dy = -thickness; dy <= thickness; ++dy)
    for (int dx = -thickness; dx <= thickness; ++dx)
      if (dx * dx + dy * dy <= thickness * thickness)
        draw_text(pic, f, text, x + dx, baseline + dy, outline, outline);
  draw_text(pic, f, text, x, baseline, top, bottom);
}

// Text with extra space between the letters; returns its width.
int draw_spaced(picture &pic, text_face *f, const char *text, int centre_x, int baseline,
                int spacing, rgb colour)
{
  int width = text_width(f, text) + spacing * (static_cast<int>(std::string(text).size()) - 1);
  int x = centre_x - width / 2;
  for (const char *p = text; *p; ++p)
    x += draw_glyph(pic, f, static_cast<unsigned char>(*p), x, baseline, colour) + spacing;
  return width;
}

// A key cap with its label; returns its width.
int draw_key(picture &pic, text_face *f, unsigned long symbol, const char *label, int x, int y)
{
  constexpr int KEY_HEIGHT = 24, KEY_MIN_WIDTH = 26, KEY_MARGIN = 8;
  int inner = symbol ? render_glyph(f, symbol).advance : text_width(f, label);
  int width = std::max(KEY_MIN_WIDTH, inner + 2 * KEY_MARGIN);
  fill_round_rect(pic, x, y, width, KEY_HEIGHT, 5, rgb255(30, 34, 44), rgb255(30, 34, 44), 1);
  fill_round_rect(pic, x + 1, y + 1, width - 2, KEY_HEIGHT - 3, 4, rgb255(246, 246, 240),
                  rgb255(196, 198, 204), 1);
  int tx = x + (width - inner) / 2, baseline = y + 17;
  if (symbol)
    draw_glyph(pic, f, symbol, tx, baseline, rgb255(28, 32, 44));
  else
    draw_text(pic, f, label, tx, baseline, rgb255(28, 32, 44), rgb255(28, 32, 44));
  return width;
}

// ---- The pictures -----------------------------------------------------------

// The studio's logo: an emblem of a ball in a golden ring over the name.
picture make_logo()
{
  picture pic = make_picture(SCREEN_WIDTH, SCREEN_HEIGHT, {0, 0, 0});
  for (int y = 0; y < SCREEN_HEIGHT; ++y)
    for (int x = 0; x < SCREEN_WIDTH; ++x) {
      float d = std::hypot(x - 320.0f, (y - 200.0f) * 1.2f) / 420.0f;
      pixel_at(pic, x, y) = mix(rgb255(26, 40, 70), rgb255(6, 8, 16), smoothstep(0, 1, d));
    }
  const float cx = 320, cy = 170;
  fill_disc(pic, cx, cy, 86, rgb255(250, 206, 96));
  fill_disc(pic, cx, cy, 78, rgb255(176, 118, 34));
  fill_disc(pic, cx, cy, 74, rgb255(14, 20, 36));
  draw_shaded_ball(pic, cx - 6, cy - 4, 50, rgb255(236, 120, 40));
  text_face *name = face("DejaVuSans-Bold.ttf", 64);
  text_face *small = face("DejaVuSans.ttf", 20);
  text_face *italic = face("DejaVuSerif-Italic.ttf", 24);
  draw_spaced(pic, name, "TOLVANE", 320, 330, 10, rgb255(246, 240, 226));
  fill_round_rect(pic, 190, 348, 260, 2, 0, rgb255(250, 206, 96), rgb255(250, 206, 96), 1);
  draw_spaced(pic, small, "WORKS", 320, 378, 14, rgb255(250, 206, 96));
  draw_spaced(pic, italic, "presents", 320, 428, 1, rgb255(170, 180, 200));
  text_face *hint = face("DejaVuSans.ttf", 13);
  draw_spaced(pic, hint, "press any key", 320, 468, 1, rgb255(110, 122, 146));
  close_text_face(hint);
  close_text_face(name);
  close_text_face(small);
  close_text_face(italic);
  return pic;
}

// The title's floor: grass with a stone path, a lava pool and a metal step.
int title_tile(int x, int y)
{
  if ((x >= 4 && x <= 5 && y >= 3 && y <= 4) || (x == 6 && y == 4))
    return 2;  // lava
  if (y == 1 || x == -1)
    return 1;  // stone path
  if ((x + y) % 7 == 0)
    return 3;  // metal
  return 0;
}

// The title: the hero meets an enemy on the game's own ground, under the
// game's name, with the keys and how to start.
picture make_title()
{
  picture grass = texture(TEXTURE_GRASS), stone = texture(TEXTURE_STONE_FLOOR);
  picture lava = texture(TEXTURE_LAVA), metal = texture(TEXTURE_METAL);
  picture hero = texture(TEXTURE_HERO), enemy = texture(TEXTURE_ENEMY);
  scene s;
  s.eye = {-3.5f, -9.5f, 4.2f};
  s.target = {1.5f, 3.0f, 1.6f};
  s.field_of_view = 50;
  s.tile_skins[0] = &grass;
  s.tile_skins[1] = &stone;
  s.tile_skins[2] = &lava;
  s.tile_skins[3] = &metal;
  s.tile_kind = title_tile;
  s.light = {0.5f, -1.0f, 6.0f};
  s.sky_top = rgb255(28, 70, 150);
  s.sky_horizon = rgb255(170, 206, 236);
  s.balls = {{{-0.6f, 0.6f, 1.0f}, 0.8f, -80, &hero}, {{4.0f, 5.0f, 1.0f}, 0.8f, -125, &enemy}};
  picture pic = make_picture(SCREEN_WIDTH, SCREEN_HEIGHT, {0, 0, 0});
  render_scene(pic, s);

  text_face *title = face("DejaVuSans-Bold.ttf", 120);
  draw_title_text(pic, title, "pilko", 320, 128, rgb255(255, 236, 110), rgb255(255, 136, 24),
                  rgb255(60, 24, 8), 5);
  close_text_face(title);
  text_face *tagline = face("DejaVuSans-BoldOblique.ttf", 18);
  draw_title_text(pic, tagline, "collect every drop, keep clear of the lava", 320, 164,
                  rgb255(255, 255, 255), rgb255(220, 236, 255), rgb255(20, 30, 60), 2);
  close_text_face(tagline);

  // The keys, on a dark panel along the bottom.
  fill_round_rect(pic, 20, 330, 600, 104, 12, rgb255(10, 14, 28), rgb255(10, 14, 28), 0.72f);
  text_face *key = face("DejaVuSans-Bold.ttf", 14);
  text_face *words = face("DejaVuSans.ttf", 16);
  const rgb ink = rgb255(236, 240, 250);
  // Each entry: up to two keys (an arrow's code point, or a label), then what
  // they do; an entry without an action is an empty place. A dash stands
  // between the keys of a range.
  struct key_entry {
    unsigned long first_symbol;
    const char *first_label;
    unsigned long second_symbol;
    const char *second_label;
    bool range;
    const char *action;
  };
  const key_entry entries[2][4] = {
    {{0x2191, "", 0x2193, "", false, "walk"},
     {0x2190, "", 0x2192, "", false, "turn"},
     {0, "SPACE", 0, nullptr, false, "jump / revive"},
     {0, nullptr, 0, nullptr, false, nullptr}},
    {{0, "1", 0, "4", true, "cameras"},
     {0, "P", 0, nullptr, false, "pause"},
     {0, "F12", 0, nullptr, false, "screenshot"},
     {0, "ESC", 0, nullptr, false, "quit"}},
  };
  const int rows[2] = {344, 388}, columns[4] = {40, 206, 326, 490};
  for (int r = 0; r < 2; r++)
    for (int c = 0; c < 4; c++) {
      const key_entry &e = entries[r][c];
      if (!e.action)
        continue;
      int x = columns[c], y = rows[r];
      x += draw_key(pic, key, e.first_symbol, e.first_label, x, y);
      if (e.second_label) {
        if (e.range) {
          draw_text(pic, words, "-", x + 6, y + 17, ink, ink);
          x += 18;
        } else {
          x += 4;
        }
        x += draw_key(pic, key, e.second_symbol, e.second_label, x, y);
      }
      draw_text(pic, words, e.action, x + 10, y + 17, ink, ink);
    }
  close_text_face(key);
  close_text_face(words);

  text_face *prompt = face("DejaVuSans-Bold.ttf", 20);
  draw_title_text(pic, prompt, "Press SPACE to play, ESC to quit", 320, 464, rgb255(255, 255, 255),
                  rgb255(255, 226, 150), rgb255(10, 14, 28), 2);
  close_text_face(prompt);
  return pic;
}

// A banner of a game's end: a golden frame round a shaded fill, a title,
// and under it a small hint.
struct banner_style {
  int width, height;
  rgb fill_top, fill_bottom, title_outline, title_bottom, hint_colour;
  const char *title, *hint;
  int title_baseline, hint_baseline;  // pixels from the banner's top
};

picture make_banner(const banner_style &b)
{
  picture pic = make_picture(b.width, b.height, {0, 0, 0});
  fill_round_rect(pic, 0, 0, b.width, b.height, 10, rgb255(250, 206, 96), rgb255(176, 118, 34), 1);
  fill_round_rect(pic, 3, 3, b.width - 6, b.height - 6, 8, b.fill_top, b.fill_bottom, 1);
  text_face *f = face("DejaVuSans-Bold.ttf", 28);
  if (text_width(f, b.title) > b.width - 16)
    std::exit(tool_error(std::string("the banner is too narrow for \"") + b.title + "\""));
  draw_title_text(pic, f, b.title, b.width / 2, b.title_baseline, rgb255(255, 255, 255),
                  b.title_bottom, b.title_outline, 2);
  close_text_face(f);
  text_face *hint = face("DejaVuSans.ttf", 11);
  draw_spaced(pic, hint, b.hint, b.width / 2, b.hint_baseline, 1, b.hint_colour);
  close_text_face(hint);
  return pic;
}

// The game-over banner: the last life is spent.
picture make_game_over()
{
  return make_banner({GAME_OVER_WIDTH, GAME_OVER_HEIGHT, rgb255(150, 24, 20), rgb255(60, 6, 8),
                      rgb255(40, 4, 4), rgb255(255, 200, 120), rgb255(240, 190, 170), "GAME OVER",
                      "press a key", 32, 47});
}

// The campaign-complete banner: the last level is done.
picture make_campaign_complete()
{
  return make_banner({CAMPAIGN_COMPLETE_WIDTH, CAMPAIGN_COMPLETE_HEIGHT, rgb255(30, 110, 60),
                      rgb255(6, 40, 20), rgb255(4, 30, 12), rgb255(255, 226, 120),
                      rgb255(190, 236, 190), "CAMPAIGN COMPLETE",
                      "every level done - press a key", 37, 56});
}

// The maker of each picture, by its place in PICTURE_FILES.
picture (*const makers[PICTURE_FILE_COUNT])() = {make_logo, make_title, make_game_over,
                                                  make_campaign_complete};

// Draws the picture at index in PICTURE_FILES and writes it to path.
bool write_picture(const char *path, int index)
{
  return write_tga(path, makers[index]()) == 0;
}

// Draws every picture into the data folder; returns the exit status.
int make_pictures()
{
  return write_data_files(args.data_folder, PICTURE_FILES, PICTURE_FILE_COUNT, write_picture);
}

const tool_usage usage = {
  "picture-maker",
  "Draws the logo, the title and the banners of a game's end into DATA_FOLDER/graphics as TGA files.",
  {{nullptr, nullptr, {
    operand("FONT_FOLDER", "the folder of the DejaVu fonts", &args.font_folder),
    operand("TEXTURE_FOLDER", "a data folder whose graphics/ holds the game's textures",
            &args.texture_folder),
    operand("DATA_FOLDER", "the game's data folder", &args.data_folder),
  }}},
};

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, make_pictures);
}
