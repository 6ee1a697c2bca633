// The editor's panel: the status of the level and the cursor, what the last
// key did, and the messages of the file and of the checker, written with the
// font library's text console over a dark band at the bottom of the view;
// the help page and the question before leaving, the same way, full screen.
#include "assets/asset_files.h"
#include "editor/session.h"
#include "font/font.h"
#include "game/overlay_text.h"
#include "world/world.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstdio>

namespace {

constexpr float TEXT_SCALE = 6.0f;      // pixels per font unit; a console row is 2 units
constexpr float ROW_PIXELS = 2.0f * TEXT_SCALE;
constexpr float MARGIN = 8.0f;          // pixels between the band's edge and the text
constexpr int PANEL_ROWS = 9;           // status, file, note, and the messages
constexpr int PAGE_ROWS = 36;           // the help page, the whole screen
constexpr int CONSOLE_COLUMNS = 160;    // more than a line the panel's width holds
constexpr float BAND_SHADE = 0.72f;     // how dark the band behind the text is
constexpr const char *CONTINUATION = "  ";

constexpr overlay_colour ERROR_TEXT_COLOUR = {1.0f, 0.55f, 0.5f};

int panel_font = -1;

// The width of text in font units, as the console lays it out.
float text_width(const std::string &text)
{
  float min_x = 0, min_y = 0, max_x = 0, max_y = 0;
  vector_string_bounds(panel_font, text.c_str(), &min_x, &min_y, &max_x, &max_y);
  return max_x - min_x;
}

// text broken at blanks into lines no wider than width font units; lines
// after the first are indented. A word wider than a line has one to itself.
std::vector<std::string> wrapped(const std::string &text, float width)
{
  std::vector<std::string> lines = {""};
  size_t at = text.find_first_not_of(' ');
  while (at != std::string::npos) {
    size_t end = text.find(' ', at);
    std::string word = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    std::string &line = lines.back();
    std::string longer = line.empty() ? word : line + " " + word;
    if (line.empty() || line == CONTINUATION || text_width(longer) <= width)
      line = line == CONTINUATION ? line + word : longer;
    else
      lines.push_back(CONTINUATION + word);
    at = end == std::string::npos ? end : text.find_first_not_of(' ', end);
  }
  return lines;
}

// "1 drop", "3 drops".
std::string count_of(int n, const char *one, const char *many)
{
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "sound", or how many errors and warnings the checker found.
std::string verdict(const edit_model &model)
{
  int errors = 0, warnings = 0;
  for (const diagnostic &d : model.findings)
    (d.is_error ? errors : warnings)++;
  if (errors == 0 && warnings == 0)
    return "sound";
  std::string text = errors ? count_of(errors, "error", "errors") : "";
  if (warnings)
    text += (errors ? ", " : "") + count_of(warnings, "warning", "warnings");
  return text;
}

// The cursor's cell, and what the level holds.
std::string status_line(const edit_model &model)
{
  const level_cell &cell = model.level.cells[model.cursor.x][model.cursor.y];
  char place[96];
  std::snprintf(place, sizeof place, "(%d, %d) %s %g%s", model.cursor.x, model.cursor.y,
                kind_word(cell.kind).c_str(), (double)cell_height(cell),
                cell.drop_marker == DROP_MARKER_DROP ? ", a drop" : "");
  return std::string(place) + "    " + count_of(model.summary.drops, "drop", "drops") + ", " +
         std::to_string(std::min(model.level.enemy_count, (int32_t)MAX_ENEMIES)) + " of " +
         std::to_string(MAX_ENEMIES) + " enemies    " + verdict(model);
}

// The level's name and file, and whether both are saved and proven.
std::string file_line(const editor_session &s)
{
  const char *state = unsaved_changes(s.model) ? ", unsaved" : s.new_file ? ", not saved yet" : ", saved";
  std::string file = s.path.substr(s.path.find_last_of('/') + 1);  // the folder would not fit
  std::string line = s.model.level.name + " - " + file + state;
  return line + (solution_is_current(s.model) ? "; a play-test completes it" : "; P play-tests it");
}

// The checker's messages, errors first, each with the cell it names.
std::vector<std::string> finding_texts(const edit_model &model)
{
  std::vector<std::string> texts;
  for (bool errors : {true, false})
    for (const diagnostic &d : model.findings) {
      if (d.is_error != errors)
        continue;
      std::string where = d.cell.x >= 0 ? " (" + std::to_string(d.cell.x) + ", " + std::to_string(d.cell.y) + ")" : "";
      texts.push_back(std::string(errors ? "error" : "warning") + where + ": " + d.message);
    }
  return texts;
}

// The band's lines: status, file, note (or the name being typed), then as
// many messages as the band holds.
std::vector<std::string> band_lines(const editor_session &s, float width)
{
  std::vector<std::string> lines = {status_line(s.model), file_line(s)};
  if (s.mode == editor_mode::naming) {
    lines.push_back("New name (Enter keeps it, ESC does not): " + s.typed_name);
    return lines;  // the console's cursor stays at the end of the name
  }
  for (const std::string &line : wrapped(s.note, width))
    lines.push_back(line);
  std::vector<std::string> messages = s.file_messages;
  for (const std::string &text : finding_texts(s.model))
    messages.push_back(text);
  for (size_t i = 0; i < messages.size(); i++) {
    std::vector<std::string> message = wrapped(messages[i], width);
    bool last_row = lines.size() + message.size() >= (size_t)PANEL_ROWS;
    if (last_row && i + 1 < messages.size()) {
      lines.push_back("... and " + count_of((int)(messages.size() - i), "more message", "more messages") +
                      " (fix the first ones)");
      break;
    }
    for (const std::string &line : message)
      if (lines.size() < (size_t)PANEL_ROWS)
        lines.push_back(line);
  }
  return lines;
}

// The lines of a page that takes the whole screen: the help, or the
// question before leaving.
std::vector<std::string> page_lines(const editor_session &s)
{
  if (s.mode == editor_mode::help) {
    std::vector<std::string> lines = {"The editor's keys (any key goes back)", ""};
    for (const std::string &line : help_lines())
      lines.push_back(line);
    return lines;
  }
  return {"The level has changes that are not saved.", "",
          "Y: leave without them", "Ctrl+S: save, then leave", "any other key: go on editing"};
}

// Writes the lines into the console and draws it from the band's top.
void write_console(const std::vector<std::string> &lines, float top, overlay_colour c, bool show_cursor)
{
  console_clear();
  for (size_t i = 0; i < lines.size(); i++) {
    console_print(lines[i].c_str());
    if (i + 1 < lines.size())
      console_print("\n");
  }
  if (show_cursor)
    font_option_enable(FONT_OPTION_CURSOR);
  else
    font_option_disable(FONT_OPTION_CURSOR);
  glColor3f(c.red, c.green, c.blue);
  glTranslatef(MARGIN, top - MARGIN - 0.5f * ROW_PIXELS, 0.0f);
  glScalef(TEXT_SCALE, TEXT_SCALE, 1.0f);
  // Strokes thinner than a pixel (the bar of an e, of a +) would fall
  // between the pixels: an outline of lines in the same colour keeps them.
  font_option_enable(FONT_OPTION_CONTOURING);
  vector_set_contour_color(c.red, c.green, c.blue, 1.0f);
  console_draw();
  font_option_disable(FONT_OPTION_CONTOURING);
}

}  // namespace

bool load_panel_font()
{
  panel_font = vector_font_load(VECTOR_FONT_FILE);
  if (panel_font < 0 || console_set_font(panel_font) != 0)
    return false;
  console_set_size(CONSOLE_COLUMNS, PAGE_ROWS);
  return true;
}

void unload_panel_font()
{
  if (panel_font >= 0)
    vector_font_unload(panel_font);
  panel_font = -1;
}

void draw_panel(const editor_session &session)
{
  begin_overlay();
  bool page = session.mode == editor_mode::help || session.mode == editor_mode::leaving;
  float text_width_units = (screen_width - 2 * MARGIN) / TEXT_SCALE;
  std::vector<std::string> lines = page ? page_lines(session) : band_lines(session, text_width_units);
  float top = page ? (float)screen_height : 2 * MARGIN + ROW_PIXELS * lines.size();
  draw_shaded_band(top / 2.0f, top / 2.0f, BAND_SHADE, 1.0f);  // from the bottom up to top
  bool errors = !page && (level_has_errors(session.model) || !session.file_messages.empty());
  write_console(lines, top, errors ? ERROR_TEXT_COLOUR : OVERLAY_WHITE, session.mode == editor_mode::naming);
  end_overlay();
}
