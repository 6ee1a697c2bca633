// The world update's cost per tick.
#include "bench/ticks.h"
#include "bench/measure.h"
#include "world/game_rules.h"
#include "world/update.h"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

constexpr uint32_t LONGEST_RANDOM_HOLD = 32;  // ticks the random player holds one set of keys
// Only one set of random keys in this many holds TAB and END, the level
// skip, so that most of the time is spent playing rather than skipping.
constexpr uint32_t SKIP_ONE_IN = 64;

// A small seeded generator (xorshift32): the same keys on every run.
struct random_keys {
  uint32_t state = 2463534242u;
  uint32_t next()
  {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

// The key bits of a list of script key names, as a script line holds them.
uint32_t script_keys(const char *names)
{
  std::vector<key_run> runs;
  bool ok = read_key_script(std::string("1 ") + names + "\n", "keys", runs, stderr);
  return ok && runs.size() == 1 ? runs[0].keys : 0;
}

// ns spent in count world updates with keys held.
long long timed_updates(uint32_t keys, long count)
{
  hold_script_keys(keys);
  long long start = now_ns();
  for (long i = 0; i < count; i++)
    world_update();
  return now_ns() - start;
}

// Plays every solution once; adds the ticks played and the ns spent.
void play_solutions(const std::vector<campaign_level> &levels, long &ticks, long long &ns)
{
  for (const campaign_level &level : levels) {
    start_level(level);
    for (const key_run &run : level.script) {
      ns += timed_updates(run.keys, run.ticks);
      ticks += run.ticks;
    }
  }
}

// Holds random keys until ticks reaches total, moving to the next level
// when one ends and starting it again when the lives run out.
void play_random(const std::vector<campaign_level> &levels, long total, long &ticks, long long &ns)
{
  random_keys random;
  uint32_t skip = script_keys("TAB END");
  uint32_t play_keys = script_keys("UP DOWN LEFT RIGHT SPACE 1 2 3 4");
  size_t level = 0;
  start_level(levels[level]);
  while (ticks < total) {
    uint32_t keys = random.next() & play_keys;
    if (random.next() % SKIP_ONE_IN == 0)
      keys |= skip;
    long hold = 1 + (long)(random.next() % LONGEST_RANDOM_HOLD);
    ns += timed_updates(keys, hold);
    ticks += hold;
    // What the level loop and the frames do: the level-complete sequence
    // begins, and once past its last phase the next level starts.
    begin_level_complete();
    bool ended = level_phase > PHASE_LAST;
    if (ended)
      level = (level + 1) % levels.size();
    // A hold may revive the hero more than once: past the last life too.
    if (ended || lives <= 0)
      start_level(levels[level]);
  }
  hold_script_keys(0);
}

}  // namespace

double measure_ticks(const std::vector<campaign_level> &levels, long total_ticks)
{
  long ticks = 0;
  long long ns = 0;
  while (ticks < total_ticks / 2)
    play_solutions(levels, ticks, ns);
  play_random(levels, total_ticks, ticks, ns);
  return (double)ns / (double)ticks;
}
