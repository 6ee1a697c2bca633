// Key scripts for the simulator: runs of ticks with the keys held in each.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// One script line: hold exactly these keys for this many ticks.
struct key_run {
  long ticks;
  uint32_t keys;  // one bit per script key, in the order the script names list them
  int line;       // line number in the script, from 1
};

// Largest tick count one line may ask for (about 11 hours of play).
constexpr long MAX_TICKS_PER_LINE = 1000000;
// Largest script read: far more than any level needs.
constexpr long MAX_SCRIPT_BYTES = 1 << 20;

// Holds exactly the script keys whose bits are set in keys, in Allegro's key
// array, and lets the others go.
void hold_script_keys(uint32_t keys);
// The bits of the script keys that Allegro's key[] holds down now.
uint32_t held_script_keys();
// Writes one run as a script line: "COUNT KEY KEY ...".
void write_key_run(FILE *out, long ticks, uint32_t keys);

// Reads a whole script from its text; on the first bad line writes
// "NAME:LINE:COLUMN: message" to errors and returns false.
bool read_key_script(const std::string &text, const char *name, std::vector<key_run> &runs, FILE *errors);
// Reads the script file at path ("-" for standard input), which must be a
// regular file (or a pipe for "-") of at most MAX_SCRIPT_BYTES; on failure
// says so ("tool: path: message", or the bad line in errors) and returns false.
bool load_key_script(const char *path, std::vector<key_run> &runs, FILE *errors);
