// The tune lasts a minute, loops on a bar line, and plays only instruments the build's patch
// index (beside the game) gives Allegro's software MIDI player.
#include <gtest/gtest.h>
#include "tests/assets/asset_files.h"

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>

namespace {

struct midi_summary {
  int format = -1, division = 0, hanging_notes = 0;
  double seconds = 0;               // of the first track (all end together), with its tempos
  std::set<uint32_t> track_ends;    // tick of each track's end
  std::set<int> programs, drum_keys;  // programs counted from 0; keys on channel 10
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
  m.division = be(b, 12, 2);
  double tempo = 500000;  // microseconds a quarter
  size_t at = 14;
  for (int t = 0, tracks = be(b, 10, 2); t < tracks; ++t) {
    if (at + 8 > b.size() || be(b, at, 4) != 0x4D54726B)  // "MTrk"
      return m;
    size_t end = at + 8 + be(b, at + 4, 4);
    uint32_t tick = 0;
    uint8_t status = 0;
    std::map<int, int> sounding;  // channel * 128 + key -> notes on
    for (at += 8; at < end;) {
      uint32_t delta = 0;
      do
        delta = delta << 7 | (b[at] & 0x7F);
      while (b[at++] & 0x80);
      tick += delta;
      if (t == 0)
        m.seconds += delta * tempo / 1e6 / m.division;
      if (b[at] & 0x80)
        status = b[at++];
      int channel = status & 0x0F, kind = status & 0xF0;
      if (status == 0xFF) {
        if (b[at] == 0x51)
          tempo = be(b, at + 2, 3);
        if (b[at] == 0x2F)
          m.track_ends.insert(tick);
        at += 2 + b[at + 1];
      } else if (kind == 0xC0 || kind == 0xD0) {
        if (kind == 0xC0)
          m.programs.insert(b[at]);
        at += 1;
      } else {
        int key = channel * 128 + b[at];
        if (kind == 0x90 && b[at + 1] > 0) {
          ++sounding[key];
          if (channel == 9)
            m.drum_keys.insert(b[at]);
        } else if (kind == 0x80 || kind == 0x90) {
          --sounding[key];
        }
        at += 2;
      }
    }
    for (auto &s : sounding)
      m.hanging_notes += std::max(s.second, 0);
  }
  m.format = be(b, 8, 2);
  return m;
}

// The patch index: program (1..128) or drum key -> patch file.
void read_patch_index(const std::string &path, std::map<int, std::string> &programs,
                      std::map<int, std::string> &drums)
{
  std::ifstream in(path);
  bool in_drums = false;
  for (std::string line, first, second; std::getline(in, line);) {
    std::istringstream words(line);
    second.clear();
    if (!(words >> first) || first[0] == '#')
      continue;
    words >> second;
    if (first == "end_multipatch" || second == "begin_multipatch")
      in_drums = second == "begin_multipatch";
    else
      (in_drums ? drums : programs)[std::stoi(first)] = second;
  }
}

bool file_exists(const std::string &path)
{
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

TEST(Tune, LastsAMinuteAndEveryTrackEndsOnTheSameBarLine)
{
  midi_summary m = read_midi(read_bytes(data_file("music/kez.mid")));
  ASSERT_EQ(m.format, 1);
  EXPECT_GE(m.seconds, 60.0);
  ASSERT_EQ(m.track_ends.size(), 1u) << "tracks end at different ticks";
  EXPECT_EQ(*m.track_ends.begin() % (4 * m.division), 0u) << "the loop is not on a bar line";
  EXPECT_EQ(m.hanging_notes, 0);
}

TEST(Tune, PlaysOnlyInstrumentsThePatchIndexPointsAt)
{
  midi_summary m = read_midi(read_bytes(data_file("music/kez.mid")));
  std::map<int, std::string> programs, drums;
  read_patch_index(std::string(build_dir) + "/default.cfg", programs, drums);
  ASSERT_GT(programs.size(), 60u);
  ASSERT_GT(drums.size(), 40u);
  for (int program : m.programs)
    EXPECT_TRUE(programs.count(program + 1)) << "program " << program << " has no patch";
  for (int key : m.drum_keys)
    EXPECT_TRUE(drums.count(key)) << "drum key " << key << " has no patch";
  for (auto *index : {&programs, &drums})
    for (auto &entry : *index)
      EXPECT_TRUE(file_exists(entry.second)) << entry.second;
  for (auto &entry : programs)  // the index counts from 1, the freepats file names from 0
    EXPECT_EQ(std::stoi(entry.second.substr(entry.second.rfind('/') + 1)) + 1, entry.first);
  std::ifstream in(std::string(build_dir) + "/allegro.cfg");
  std::string cfg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(cfg.find("midi_card = DIGI"), std::string::npos) << "no software player asked for";
}
