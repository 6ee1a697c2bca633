// Recordings of games: the keys every world update read, as a key script
// (the simulator's format) after a first line naming the level it began on.
#pragma once

// Reads the recording at path for --replay, before any window opens; on a
// mistake says why on stderr ("file:line:column: ..." for a bad line) and
// returns false. level is set to the level the recording began on (a
// number or a file, as --level takes it); left as it is when it does not say.
bool load_replay(const char *path, const char **level);
// Makes --record write each game to path (the last game played is kept),
// naming level (null: level 1) as its start; false when path cannot be written.
bool start_recording(const char *path, const char *level);
// True while games are played back from a recording.
bool replaying();

// A game begins: the recording starts afresh, or the replay from its start.
void begin_recorded_game();
// Before each world update: a replay holds down the keys of this update
// (and only those); a recording notes the keys held.
void keys_for_update();
// True once a replay has played its last update.
bool replay_over();
// A game ends: the recording is written out whole.
void end_recorded_game();
