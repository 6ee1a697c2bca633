// The tune: long enough, looping on a bar line, and written only for
// instruments that the patch index beside the game gives the MIDI player.
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr double SHORTEST_TUNE = 60.0;  // seconds
constexpr int DRUM_CHANNEL = 9;
constexpr int BEATS_PER_BAR = 4;

// What the tests need to know of a MIDI file.
struct midi_summary {
  bool readable = false;
  int format = -1, tracks = 0, division = 0;
  double seconds = 0;                 // length with the tempo changes applied
  std::set<uint32_t> track_ends;      // tick of each track's end
  std::set<int> programs;             // program changes, counted from 0
  std::set<int> drum_keys;            // keys played on the drum channel
  std::set<int> melodic_channels;     // channels that play notes, drums aside
  std::set<int> channels_with_program;
  int hanging_notes = 0;              // note-ons never switched off
};

uint32_t be(const std::vector<unsigned char> &b, size_t at, int bytes)
{
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i)
    v = v << 8 | b[at + i];
  return v;
}

midi_summary read_midi(const std::vector<unsigned char> &b)
{
  midi_summary m;
  if (b.size() < 14 || be(b, 0, 4) != 0x4D546864)  // "MThd"
    return m;
  m.format = be(b, 8, 2);
  m.tracks = be(b, 10, 2);
  m.division = be(b, 12, 2);
  std::map<uint32_t, uint32_t> tempo_at = {{0, 500000}};  // tick -> microseconds a quarter
  uint32_t last_tick = 0;
  size_t at = 14;
  for (int t = 0; t < m.tracks; ++t) {
    if (at + 8 > b.size() || be(b, at, 4) != 0x4D54726B)  // "MTrk"
      return m;
    size_t end = at + 8 + be(b, at + 4, 4);
    at += 8;
    uint32_t tick = 0;
    uint8_t status = 0;
    std::map<int, int> sounding;  // channel * 128 + key -> count
    while (at < end) {
      uint32_t delta = 0;
      do
        delta = delta << 7 | (b[at] & 0x7F);
      while (b[at++] & 0x80);
      tick += delta;
      if (b[at] & 0x80)
        status = b[at++];
      if (status == 0xFF) {
        uint8_t type = b[at++];
        uint32_t length = b[at++];
        if (type == 0x51)
          tempo_at[tick] = be(b, at, 3);
        if (type == 0x2F)
          m.track_ends.insert(tick);
        at += length;
        continue;
      }
      int channel = status & 0x0F, kind = status & 0xF0;
      if (kind == 0xC0) {
        m.programs.insert(b[at]);
        m.channels_with_program.insert(channel);
        at += 1;
        continue;
      }
      if (kind == 0xD0) {
        at += 1;
        continue;
      }
      int key = b[at], velocity = b[at + 1];
      at += 2;
      if (kind == 0x90 && velocity > 0) {
        ++sounding[channel * 128 + key];
        if (channel == DRUM_CHANNEL)
          m.drum_keys.insert(key);
        else
          m.melodic_channels.insert(channel);
      } else if (kind == 0x80 || kind == 0x90) {
        --sounding[channel * 128 + key];
      }
    }
    for (auto &s : sounding)
      m.hanging_notes += s.second > 0 ? s.second : 0;
    last_tick = std::max(last_tick, tick);
    at = end;
  }
  // Seconds: sum the ticks under each tempo.
  uint32_t previous_tick = 0, tempo = 500000;
  for (auto &change : tempo_at) {
    m.seconds += double(change.first - previous_tick) * tempo / 1e6 / m.division;
    previous_tick = change.first;
    tempo = change.second;
  }
  m.seconds += double(last_tick - previous_tick) * tempo / 1e6 / m.division;
  m.readable = true;
  return m;
}

// The patch index: program (1..128) or drum key -> patch file.
struct patch_index {
  std::map<int, std::string> programs, drums;
};

patch_index read_patch_index(const std::string &path)
{
  patch_index index;
  std::ifstream in(path);
  std::string line;
  bool in_drums = false;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#')
      continue;
    std::istringstream words(line);
    std::string first, second;
    words >> first >> second;
    if (first == "end_multipatch") {
      in_drums = false;
      continue;
    }
    if (second == "begin_multipatch") {
      in_drums = true;
      continue;
    }
    (in_drums ? index.drums : index.programs)[std::stoi(first)] = second;
  }
  return index;
}

bool file_exists(const std::string &path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

class Tune : public ::testing::Test {
protected:
  midi_summary midi = read_midi(read_bytes(data_file("music/kez.mid")));
  patch_index index = read_patch_index(std::string(build_dir) + "/default.cfg");
};

}  // namespace

TEST_F(Tune, LastsAMinuteOrMore)
{
  ASSERT_TRUE(midi.readable);
  EXPECT_EQ(midi.format, 1);
  EXPECT_GE(midi.seconds, SHORTEST_TUNE);
}

TEST_F(Tune, EveryTrackEndsOnTheSameBarLine)
{
  ASSERT_TRUE(midi.readable);
  ASSERT_EQ(midi.track_ends.size(), 1u) << "tracks end at different ticks";
  EXPECT_EQ(*midi.track_ends.begin() % (BEATS_PER_BAR * midi.division), 0u);
  EXPECT_EQ(midi.hanging_notes, 0);
}

TEST_F(Tune, UsesOnlyInstrumentsThePatchSetHas)
{
  ASSERT_TRUE(midi.readable);
  ASSERT_FALSE(index.programs.empty()) << "no patch index beside the game";
  for (int channel : midi.melodic_channels)
    EXPECT_TRUE(midi.channels_with_program.count(channel)) << "channel " << channel
                                                           << " plays the default piano unasked";
  for (int program : midi.programs)
    EXPECT_TRUE(index.programs.count(program + 1)) << "program " << program << " has no patch";
  for (int key : midi.drum_keys)
    EXPECT_TRUE(index.drums.count(key)) << "drum key " << key << " has no patch";
}

TEST_F(Tune, PatchIndexPointsAtRealPatchFiles)
{
  ASSERT_GT(index.programs.size(), 60u);
  ASSERT_GT(index.drums.size(), 40u);
  for (auto &entry : index.programs) {
    EXPECT_TRUE(file_exists(entry.second)) << entry.second;
    // Programs count from 1 in the index and from 0 in the file names.
    std::string name = entry.second.substr(entry.second.rfind('/') + 1);
    EXPECT_EQ(std::stoi(name.substr(0, 3)) + 1, entry.first) << entry.second;
  }
  for (auto &entry : index.drums)
    EXPECT_TRUE(file_exists(entry.second)) << entry.second;
}

TEST_F(Tune, AllegroIsToldToUseTheSoftwarePlayer)
{
  std::ifstream in(std::string(build_dir) + "/allegro.cfg");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("[sound]"), std::string::npos);
  EXPECT_NE(text.find("midi_card = DIGI"), std::string::npos);
}
