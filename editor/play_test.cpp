// Play-testing: the level in memory played as a game of one level, through
// the game's own level loop, rules and recording; the keys of a play that
// collects every drop are kept as the level's solution.
#include "editor/session.h"
#include "game/flow.h"
#include "game/play_messages.h"
#include "world/game_rules.h"
#include "world/map_load.h"
#include "world/world.h"

void play_test(editor_session &session)
{
  edit_model &model = session.model;
  byte_buffer map = encode_map(model.level);
  blank_screen();
  start_new_game();
  if (!load_map_bytes(map.data(), (long)map.size())) {
    session.note = std::string("cannot play-test: ") + map_load_problem();
    return;
  }
  // A level played alone: its end comes back here, as it goes back to the
  // title; its banner names it, as its map cannot.
  single_map = session.path.c_str();
  name_single_level(model.level.name);
  play_loaded_game();
  single_map = nullptr;
  ignore_keys_held_now();
  if (drops_left == 0 && every_drop_collected()) {
    model.solution = kept_solution{last_game_keys(), map};
    session.note = "the play-test completed the level with " + std::to_string(lives) +
                   (lives == 1 ? " life" : " lives") + " left: Ctrl+S saves its keys as the solution";
  } else if (drops_left == 0) {
    session.note = "the level was skipped (TAB+END): that proves nothing, no solution is kept";
  } else if (no_lives_left()) {
    session.note = "game over with " + std::to_string(drops_left) + " drops left";
  } else {
    session.note = "the play-test ended with " + std::to_string(drops_left) + " drops left";
  }
}
