// music-maker: composes the game's tune "kez" into a Standard MIDI File.
// A cheerful 36-bar piece in C major at 132 beats a minute (about 65
// seconds) that ends on the bar before its own start, so it loops. Every
// instrument is one that Debian's freepats patch set has.
// Usage: music-maker --help
#include "tools/asset-kit/command_line.h"
#include "tools/music-maker/midi_file.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int BEATS_PER_MINUTE = 132;
constexpr uint32_t MICROSECONDS_PER_MINUTE = 60000000;
constexpr uint32_t EIGHTH = TICKS_PER_QUARTER / 2;
constexpr int EIGHTHS_PER_BAR = 8;
constexpr uint32_t BAR = EIGHTH * EIGHTHS_PER_BAR;
// Notes end a little before the next begins, so repeated notes sound apart.
constexpr uint32_t ARTICULATION_GAP = 30;

// General MIDI programs (numbered from 0) that freepats provides.
constexpr int FLUTE = 73, TRUMPET = 56, FRENCH_HORN = 60, GLOCKENSPIEL = 9;
constexpr int ELECTRIC_PIANO = 4, FINGER_BASS = 33, STRING_ENSEMBLE = 48;

// Channels; channel 10 (9 from 0) is General MIDI's drum kit.
enum channel_role { LEAD, COMP, BASS, SPARKLE, PAD, BRASS, HORN, DRUMS = 9 };

// General MIDI drum keys that freepats provides.
constexpr int KICK = 36, SNARE = 38, CLOSED_HAT = 42, OPEN_HAT = 46, CRASH = 49;
constexpr int TOM_HIGH = 50, TOM_MID = 47, TOM_LOW = 45, TOM_FLOOR = 43;

constexpr int CONTROL_VOLUME = 7, CONTROL_PAN = 10;

enum drum_style { DRUMS_LIGHT, DRUMS_FULL, DRUMS_FILL_END };

// One section of the piece: its chords (one or two a bar), its tune and
// which parts play.
struct section {
  const char *chords;       // bars separated by '|', e.g. "C | Am | Dm G"
  const char *tune;         // "E5:2 G5:2 ..." note and length in eighths, r = rest
  int tune_channel;         // -1 for none
  bool comp, sparkle, pad, double_tune;
  drum_style drums;
  bool crash;               // a cymbal on its first beat
};

const section piece[] = {
    // Intro: the harmony alone, with a twinkling arpeggio.
    {"C | Am | F | G", "", -1, true, true, false, false, DRUMS_LIGHT, false},
    // A: the tune on the flute.
    {"C | Am | F | G | C | Am | Dm G | C",
     "E5:2 G5:2 C6:3 B5:1 | A5:2 G5:2 E5:4 | F5:2 A5:2 C6:2 A5:2 | G5:6 r:2 | "
     "E5:2 G5:2 C6:2 D6:2 | E6:3 D6:1 C6:2 A5:2 | F5:2 A5:2 B5:2 D6:2 | C6:6 r:2",
     LEAD, true, false, false, false, DRUMS_FULL, true},
    // B: a brighter answer on the trumpet over strings.
    {"F | G | Em | Am | F | G | C F | G",
     "A5:1 C6:1 A5:1 F5:1 A5:2 C6:2 | B5:1 D6:1 B5:1 G5:1 B5:2 D6:2 | E6:2 D6:2 B5:2 G5:2 | "
     "A5:6 r:2 | F5:2 A5:2 C6:2 F6:2 | E6:2 D6:2 B5:2 G5:2 | G5:2 E5:2 F5:2 A5:2 | G5:4 B5:2 D6:2",
     BRASS, false, true, true, false, DRUMS_FULL, true},
    // A again, the flute doubled by the glockenspiel, with a closing turn.
    {"C | Am | F | G | C | Am | Dm G | C",
     "E5:2 G5:2 C6:3 B5:1 | A5:2 G5:2 E5:4 | F5:2 A5:2 C6:2 A5:2 | G5:6 r:2 | "
     "E5:2 G5:2 C6:2 D6:2 | E6:3 D6:1 C6:2 A5:2 | F5:2 A5:2 B5:2 D6:2 | C6:2 G5:2 C6:4",
     LEAD, true, false, false, true, DRUMS_FULL, true},
    // Bridge: the horn sings low over the strings; the drums roll into
    // the last section.
    {"Am | F | G | G", "A4:4 C5:4 | F4:4 A4:4 | G4:4 B4:4 | D5:8", HORN, false, false, true, false,
     DRUMS_FILL_END, false},
    // Outro: a falling phrase that hands back to the intro.
    {"C | F | G | G", "E5:2 D5:2 C5:4 | F5:2 E5:2 D5:2 C5:2 | B4:4 D5:4 | G5:6 r:2", LEAD, true,
     true, false, false, DRUMS_LIGHT, true},
};

// ---- Reading the little notations --------------------------------------------

struct chord {
  int root;   // MIDI key of the root in octave 3
  bool minor;
};

// Pitch class of a note letter, C = 0.
int letter_class(char letter)
{
  static const int classes[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  return classes[letter - 'A'];
}

// The chords of a section, two entries a bar (a single chord fills both).
std::vector<chord> read_chords(const char *text, int &bars)
{
  std::vector<chord> halves;
  bars = 0;
  std::string s = std::string(text) + "|";
  size_t start = 0, bar_end;
  while ((bar_end = s.find('|', start)) != std::string::npos) {
    std::vector<chord> in_bar;
    for (size_t i = start; i < bar_end; ++i)
      if (s[i] >= 'A' && s[i] <= 'G')
        in_bar.push_back({48 + letter_class(s[i]), i + 1 < bar_end && s[i + 1] == 'm'});
    halves.push_back(in_bar.front());
    halves.push_back(in_bar.back());
    ++bars;
    start = bar_end + 1;
  }
  return halves;
}

// The notes of a tune: MIDI key (or -1 for a rest) and length in eighths.
struct tune_note {
  int key, eighths;
};

std::vector<tune_note> read_tune(const char *text)
{
  std::vector<tune_note> notes;
  for (const char *p = text; *p;) {
    if (*p == ' ' || *p == '|') {
      ++p;
      continue;
    }
    tune_note n = {-1, 0};
    if (*p != 'r')
      n.key = 12 * (p[1] - '0' + 1) + letter_class(p[0]);
    p = std::strchr(p, ':') + 1;
    n.eighths = std::atoi(p);
    while (*p && *p != ' ')
      ++p;
    notes.push_back(n);
  }
  return notes;
}

// The three keys of a chord from a base octave offset.
void triad(const chord &c, int octave_shift, int keys[3])
{
  keys[0] = c.root + 12 * octave_shift;
  keys[1] = keys[0] + (c.minor ? 3 : 4);
  keys[2] = keys[0] + 7;
}

// ---- The parts ----------------------------------------------------------------

void play_tune(midi_track &t, const section &sec, uint32_t start)
{
  uint32_t at = start;
  for (const tune_note &n : read_tune(sec.tune)) {
    uint32_t length = n.eighths * EIGHTH;
    if (n.key >= 0) {
      bool on_beat = (at - start) % TICKS_PER_QUARTER == 0;
      add_note(t, at, length - ARTICULATION_GAP, sec.tune_channel, n.key, on_beat ? 104 : 92);
      if (sec.double_tune)
        add_note(t, at, length - ARTICULATION_GAP, SPARKLE, n.key + 12, 60);
    }
    at += length;
  }
}

// Bass: root, root, fifth, octave in a bouncing rhythm, per half bar chord.
void play_bass(midi_track &t, const std::vector<chord> &halves, uint32_t start)
{
  static const int steps[4][2] = {{0, 3}, {0, 1}, {7, 2}, {12, 2}};  // interval, eighths
  for (size_t h = 0; h < halves.size(); h += 2) {
    uint32_t at = start + (h / 2) * BAR;
    bool split = halves[h].root != halves[h + 1].root || halves[h].minor != halves[h + 1].minor;
    for (int i = 0; i < 4; ++i) {
      const chord &c = halves[h + (split && i >= 2)];
      uint32_t length = steps[i][1] * EIGHTH;
      add_note(t, at, length - ARTICULATION_GAP, BASS, c.root - 12 + steps[i][0], i == 0 ? 100 : 84);
      at += length;
    }
  }
}

// Comping: short chords on the off-beats.
void play_comp(midi_track &t, const std::vector<chord> &halves, uint32_t start)
{
  for (size_t e = 0; e < halves.size() * 4; ++e) {
    if (e % 2 == 0)
      continue;
    int keys[3];
    triad(halves[e / 4], 1, keys);
    for (int k = 1; k < 3; ++k)
      add_note(t, start + e * EIGHTH, EIGHTH - ARTICULATION_GAP, COMP, keys[k], 58);
  }
}

// Sparkle: an eighth-note arpeggio up and down the chord, two octaves up.
void play_sparkle(midi_track &t, const std::vector<chord> &halves, uint32_t start)
{
  static const int pattern[4] = {0, 1, 2, 1};
  for (size_t e = 0; e < halves.size() * 4; ++e) {
    int keys[3];
    triad(halves[e / 4], 2, keys);
    add_note(t, start + e * EIGHTH, EIGHTH, SPARKLE, keys[pattern[e % 4]], e % 2 ? 44 : 56);
  }
}

// Pad: the chord held for each half bar.
void play_pad(midi_track &t, const std::vector<chord> &halves, uint32_t start)
{
  for (size_t h = 0; h < halves.size(); ++h) {
    int keys[3];
    triad(halves[h], 1, keys);
    for (int key : keys)
      add_note(t, start + h * 4 * EIGHTH, 4 * EIGHTH - ARTICULATION_GAP, PAD, key, 62);
  }
}

void play_drums(midi_track &t, const section &sec, int bars, uint32_t start)
{
  for (int bar = 0; bar < bars; ++bar) {
    uint32_t b = start + bar * BAR;
    bool last = bar == bars - 1;
    if (sec.drums == DRUMS_FILL_END && last) {
      // A roll down the toms into the next section.
      static const int toms[8] = {SNARE, SNARE, TOM_HIGH, TOM_HIGH, TOM_MID, TOM_MID, TOM_LOW, TOM_FLOOR};
      for (int e = 0; e < EIGHTHS_PER_BAR; ++e)
        add_note(t, b + e * EIGHTH, EIGHTH, DRUMS, toms[e], 70 + 6 * e);
      continue;
    }
    add_note(t, b, EIGHTH, DRUMS, KICK, 104);
    add_note(t, b + 4 * EIGHTH, EIGHTH, DRUMS, KICK, 96);
    if (sec.drums == DRUMS_LIGHT) {
      for (int e = 0; e < EIGHTHS_PER_BAR; e += 2)
        add_note(t, b + e * EIGHTH, EIGHTH, DRUMS, CLOSED_HAT, 50);
      continue;
    }
    if (bar % 2)
      add_note(t, b + 5 * EIGHTH, EIGHTH, DRUMS, KICK, 80);
    add_note(t, b + 2 * EIGHTH, EIGHTH, DRUMS, SNARE, 92);
    add_note(t, b + 6 * EIGHTH, EIGHTH, DRUMS, SNARE, 92);
    for (int e = 0; e < EIGHTHS_PER_BAR; ++e) {
      bool open = bar % 4 == 3 && e == 7;
      add_note(t, b + e * EIGHTH, EIGHTH, DRUMS, open ? OPEN_HAT : CLOSED_HAT, e % 2 ? 46 : 66);
    }
  }
  if (sec.crash)
    add_note(t, start, 4 * EIGHTH, DRUMS, CRASH, 84);
}

// The set-up of one channel: its instrument, level and place in the stereo.
struct channel_setup {
  int channel, program, volume, pan;
};

const channel_setup setups[] = {
    {LEAD, FLUTE, 110, 64},          {COMP, ELECTRIC_PIANO, 84, 44}, {BASS, FINGER_BASS, 112, 64},
    {SPARKLE, GLOCKENSPIEL, 76, 88}, {PAD, STRING_ENSEMBLE, 80, 72}, {BRASS, TRUMPET, 96, 56},
    {HORN, FRENCH_HORN, 100, 60},    {DRUMS, 0, 100, 64},
};

const char *output = nullptr;

const tool_usage usage = {
  "music-maker",
  "Composes the game's tune into a Standard MIDI File.",
  {{nullptr, nullptr, {operand("OUTPUT.mid", "the MIDI file to write", &output)}}},
};

// Composes the tune and writes it; returns the exit status.
int compose()
{
  // Track 0 holds the tempo; then one track per channel.
  std::vector<midi_track> tracks(1 + sizeof setups / sizeof setups[0]);
  add_tempo(tracks[0], 0, MICROSECONDS_PER_MINUTE / BEATS_PER_MINUTE);
  add_time_signature_4_4(tracks[0], 0);
  auto track_of = [&](int channel) -> midi_track & {
    for (size_t i = 0; i < sizeof setups / sizeof setups[0]; ++i)
      if (setups[i].channel == channel)
        return tracks[1 + i];
    return tracks[0];
  };
  for (const channel_setup &c : setups) {
    midi_track &t = track_of(c.channel);
    if (c.channel != DRUMS)
      add_program(t, 0, c.channel, c.program);
    add_control(t, 0, c.channel, CONTROL_VOLUME, c.volume);
    add_control(t, 0, c.channel, CONTROL_PAN, c.pan);
  }
  uint32_t start = 0;
  for (const section &sec : piece) {
    int bars = 0;
    std::vector<chord> halves = read_chords(sec.chords, bars);
    if (sec.tune_channel >= 0)
      play_tune(track_of(sec.tune_channel), sec, start);
    play_bass(track_of(BASS), halves, start);
    if (sec.comp)
      play_comp(track_of(COMP), halves, start);
    if (sec.sparkle)
      play_sparkle(track_of(SPARKLE), halves, start);
    if (sec.pad)
      play_pad(track_of(PAD), halves, start);
    play_drums(track_of(DRUMS), sec, bars, start);
    start += bars * BAR;
  }
  if (write_midi(output, tracks, start) != 0)
    return file_error(output, "cannot write");
  return 0;
}

}  // namespace

int main(int argc, char **argv)
{
  return run_tool(usage, argc, argv, compose);
}
