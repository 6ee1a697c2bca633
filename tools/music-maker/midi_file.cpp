// Standard MIDI File writing.
#include "tools/music-maker/midi_file.h"

#include "tools/asset-kit/files.h"

#include <algorithm>

namespace {

constexpr uint8_t NOTE_OFF = 0x80, NOTE_ON = 0x90, CONTROL = 0xB0, PROGRAM = 0xC0;
constexpr uint8_t META = 0xFF, META_TEMPO = 0x51, META_TIME_SIGNATURE = 0x58, META_END = 0x2F;
constexpr int FORMAT_MANY_TRACKS = 1;

void put_be(std::vector<uint8_t> &out, uint32_t value, int bytes)
{
  for (int i = bytes - 1; i >= 0; --i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A variable-length quantity: seven bits a byte, high bit set on all but
// the last.
void put_variable(std::vector<uint8_t> &out, uint32_t value)
{
  uint8_t groups[5];
  int n = 0;
  do {
    groups[n++] = value & 0x7F;
    value >>= 7;
  } while (value);
  while (n > 1)
    out.push_back(groups[--n] | 0x80);
  out.push_back(groups[0]);
}

void add(midi_track &t, uint32_t tick, int order, std::vector<uint8_t> bytes)
{
  t.events.push_back({tick, order, std::move(bytes)});
}

}  // namespace

void add_program(midi_track &t, uint32_t tick, int channel, int program)
{
  add(t, tick, 0, {static_cast<uint8_t>(PROGRAM | channel), static_cast<uint8_t>(program)});
}

void add_control(midi_track &t, uint32_t tick, int channel, int control, int value)
{
  add(t, tick, 0,
      {static_cast<uint8_t>(CONTROL | channel), static_cast<uint8_t>(control), static_cast<uint8_t>(value)});
}

void add_note(midi_track &t, uint32_t tick, uint32_t length, int channel, int key, int velocity)
{
  add(t, tick, 2,
      {static_cast<uint8_t>(NOTE_ON | channel), static_cast<uint8_t>(key), static_cast<uint8_t>(velocity)});
  add(t, tick + length, 1,
      {static_cast<uint8_t>(NOTE_OFF | channel), static_cast<uint8_t>(key), 0});
}

void add_tempo(midi_track &t, uint32_t tick, uint32_t microseconds_per_quarter)
{
  std::vector<uint8_t> bytes = {META, META_TEMPO, 3};
  put_be(bytes, microseconds_per_quarter, 3);
  add(t, tick, 0, bytes);
}

void add_time_signature_4_4(midi_track &t, uint32_t tick)
{
  // 4/4, a click every quarter, eight 32nds to the quarter.
  add(t, tick, 0, {META, META_TIME_SIGNATURE, 4, 4, 2, 24, 8});
}

int write_midi(const char *path, std::vector<midi_track> tracks, uint32_t end_tick)
{
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  put_be(out, 6, 4);
  put_be(out, FORMAT_MANY_TRACKS, 2);
  put_be(out, static_cast<uint32_t>(tracks.size()), 2);
  put_be(out, TICKS_PER_QUARTER, 2);
  for (midi_track &t : tracks) {
    std::stable_sort(t.events.begin(), t.events.end(), [](const midi_event &a, const midi_event &b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const midi_event &e : t.events) {
      put_variable(body, e.tick - now);
      now = e.tick;
      body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    put_variable(body, end_tick > now ? end_tick - now : 0);
    body.insert(body.end(), {META, META_END, 0});
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    put_be(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
  }
  return write_file(path, out) ? 0 : -1;
}
