// Standard MIDI File (format 1) writing: notes and controls gathered per
// track, then written in time order.
#pragma once

#include <cstdint>
#include <vector>

constexpr int TICKS_PER_QUARTER = 480;

// One timed event: a channel message or, for tempo, a meta event.
struct midi_event {
  uint32_t tick;
  int order;  // at the same tick: lower first (note-offs before note-ons)
  std::vector<uint8_t> bytes;
};

struct midi_track {
  std::vector<midi_event> events;
};

// Channel messages (channel 0..15).
void add_program(midi_track &t, uint32_t tick, int channel, int program);
void add_control(midi_track &t, uint32_t tick, int channel, int control, int value);
// A note from tick for length ticks.
void add_note(midi_track &t, uint32_t tick, uint32_t length, int channel, int key, int velocity);
// Tempo in microseconds per quarter note, and a 4/4 time signature.
void add_tempo(midi_track &t, uint32_t tick, uint32_t microseconds_per_quarter);
void add_time_signature_4_4(midi_track &t, uint32_t tick);

// Writes the tracks as a format-1 file; every track ends at end_tick, so a
// player that loops the file loops it on the bar line. 0 or -1.
int write_midi(const char *path, std::vector<midi_track> tracks, uint32_t end_tick);
