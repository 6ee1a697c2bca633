// Key scripts: parsing "COUNT KEY KEY ... # comment" lines, and the keys
// they hold in Allegro's key array.
#include "base/base.h"
#include "replay/replay.h"

#include <allegro.h>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace {

// The keys play reads, with their script names. F12 is left out on purpose:
// a screenshot needs a display, which the simulator does not have.
struct named_key {
  const char *name;
  int scancode;
};

const named_key script_keys[] = {
  {"UP", KEY_UP},     {"DOWN", KEY_DOWN}, {"LEFT", KEY_LEFT}, {"RIGHT", KEY_RIGHT},
  {"SPACE", KEY_SPACE}, {"1", KEY_1},     {"2", KEY_2},       {"3", KEY_3},
  {"4", KEY_4},       {"TAB", KEY_TAB},   {"END", KEY_END},
};
constexpr int SCRIPT_KEY_COUNT = sizeof script_keys / sizeof script_keys[0];

// The bit of a key name (any case), or -1.
int key_bit(const char *word, size_t length)
{
  for (int i = 0; i < SCRIPT_KEY_COUNT; i++)
    if (std::strlen(script_keys[i].name) == length && strncasecmp(word, script_keys[i].name, length) == 0)
      return i;
  return -1;
}

void report(FILE *errors, const char *name, int line, size_t column, const char *message,
            const char *word, size_t length)
{
  std::fprintf(errors, "%s:%d:%zu: %s", printable(name).c_str(), line, column + 1, message);
  if (word)
    std::fprintf(errors, " '%s'", printable(std::string(word, length)).c_str());
  std::fprintf(errors, "\n");
}

// Parses one line (comment already cut off). A blank line gives no run.
bool parse_line(const std::string &line_text, const char *name, int line, std::vector<key_run> &runs,
                FILE *errors)
{
  const char *text = line_text.c_str();
  size_t at = 0;
  size_t length = line_text.size();
  auto skip_space = [&] { while (at < length && std::isspace((unsigned char)text[at])) at++; };
  auto word_end = [&] { size_t end = at; while (end < length && !std::isspace((unsigned char)text[end])) end++; return end; };

  skip_space();
  if (at == length)
    return true;
  size_t end = word_end();
  const char *count_text = text + at;
  char *parsed_end = nullptr;
  errno = 0;
  long ticks = std::strtol(count_text, &parsed_end, 10);
  if (parsed_end != text + end || !std::isdigit((unsigned char)count_text[0])) {
    report(errors, name, line, at, "expected a tick count, got", count_text, end - at);
    return false;
  }
  if (errno != 0 || ticks < 1 || ticks > MAX_TICKS_PER_LINE) {
    report(errors, name, line, at, "tick count must be 1 to 1000000, got", count_text, end - at);
    return false;
  }
  uint32_t keys = 0;
  for (at = end, skip_space(); at < length; skip_space()) {
    end = word_end();
    int bit = key_bit(text + at, end - at);
    if (bit < 0) {
      report(errors, name, line, at, "unknown key", text + at, end - at);
      return false;
    }
    keys |= 1u << bit;
    at = end;
  }
  runs.push_back(key_run{ticks, keys, line});
  return true;
}

}  // namespace

void hold_script_keys(uint32_t keys)
{
  for (int bit = 0; bit < SCRIPT_KEY_COUNT; bit++)
    key[script_keys[bit].scancode] = (keys >> bit & 1u) ? 1 : 0;
}

uint32_t held_script_keys()
{
  uint32_t keys = 0;
  for (int bit = 0; bit < SCRIPT_KEY_COUNT; bit++)
    if (key[script_keys[bit].scancode])
      keys |= 1u << bit;
  return keys;
}

std::string key_script_text(const std::vector<key_run> &runs)
{
  std::string text;
  for (const key_run &run : runs) {
    text += std::to_string(run.ticks);
    for (int bit = 0; bit < SCRIPT_KEY_COUNT; bit++)
      if (run.keys >> bit & 1u)
        text += std::string(" ") + script_keys[bit].name;
    text += "\n";
  }
  return text;
}

bool read_key_script(const std::string &text, const char *name, std::vector<key_run> &runs, FILE *errors)
{
  int line = 0;
  for (std::string &content : split_lines(text)) {
    line++;
    size_t comment = content.find('#');
    if (comment != std::string::npos)
      content.resize(comment);
    if (!parse_line(content, name, line, runs, errors))
      return false;
  }
  return true;
}

bool read_key_script_file(const char *path, std::string &text)
{
  byte_buffer bytes;
  std::string error;
  bool too_long = false;
  bool read = std::strcmp(path, "-") == 0 ? read_at_most(STDIN_FILENO, MAX_SCRIPT_BYTES, bytes, error, &too_long)
                                          : read_regular_file(path, MAX_SCRIPT_BYTES, bytes, error, &too_long);
  if (!read || too_long) {
    report_file_problem(path, read ? "longer than 1 MB: not a key script" : error);
    return false;
  }
  text.assign(bytes.begin(), bytes.end());
  return true;
}

bool load_key_script(const char *path, std::vector<key_run> &runs, FILE *errors)
{
  std::string text;
  return read_key_script_file(path, text) && read_key_script(text, path, runs, errors);
}
