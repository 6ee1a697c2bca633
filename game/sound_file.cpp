// Sound files: the whole-file checks in front of Allegro's MIDI and WAV
// loaders, and the loaders that use them on bytes read once.
#include "game/sound_file.h"
#include "base/base.h"
#include "world/checked_file.h"

#include <algorithm>
#include <allegro.h>
#include <cstring>
#include <map>

namespace {

// ---- MIDI ----------------------------------------------------------------------

constexpr size_t CHUNK_HEAD_SIZE = 8;        // four letters, then a 32-bit length
constexpr uint32_t MIDI_HEADER_LENGTH = 6;   // format, track count, division
constexpr uint32_t MIDI_FORMAT_MANY_TRACKS = 1;  // 0: one track; 2 (songs in a row) is refused
constexpr uint32_t MIDI_DIVISION_SMPTE = 0x8000;  // frames a second instead of ticks a quarter
constexpr int VARIABLE_MAX_BYTES = 4;        // a variable-length number has at most 28 bits
constexpr unsigned char STATUS_BIT = 0x80;   // set on a status byte, clear on a data byte
constexpr unsigned char NOTE_ON = 0x90;
constexpr unsigned char FIRST_SYSTEM_STATUS = 0xF0;  // below: the channel messages
constexpr unsigned char META = 0xFF;
constexpr unsigned char META_END_OF_TRACK = 0x2F;
constexpr unsigned char META_TEMPO = 0x51;
constexpr uint32_t TEMPO_LENGTH = 3;          // microseconds a quarter, 24 bits
constexpr uint32_t DEFAULT_TEMPO = 500000;    // a quarter lasts this long before any tempo event

// A track's bytes being read, and what the song needs from all of them.
struct track_reader {
  const unsigned char *at, *end;
};

struct song_facts {
  bool has_note = false;
  uint32_t last_tick = 0;                     // of the longest track
  std::map<uint32_t, uint32_t> tempo_changes;  // tick: microseconds a quarter
};

// The data bytes that follow a channel message's status.
int data_byte_count(unsigned char status)
{
  unsigned char kind = status & 0xF0;
  return kind == 0xC0 || kind == 0xD0 ? 1 : 2;  // program change, channel pressure
}

bool read_variable(track_reader &track, uint32_t &value)
{
  value = 0;
  for (int i = 0; i < VARIABLE_MAX_BYTES && track.at < track.end; i++) {
    unsigned char byte = *track.at++;
    value = value << 7 | (byte & 0x7F);
    if (!(byte & STATUS_BIT))
      return true;
  }
  return false;
}

// Reads one meta event after its 0xFF; sets ended at the end of the track.
const char *read_meta(track_reader &track, uint32_t tick, song_facts &song, bool &ended)
{
  if (track.at == track.end)
    return "a MIDI event cut short";
  unsigned char type = *track.at++;
  uint32_t length;
  if (!read_variable(track, length) || length > (uint32_t)(track.end - track.at))
    return "a MIDI event longer than its track";
  if (type == META_TEMPO) {
    if (length != TEMPO_LENGTH)
      return "a MIDI tempo of other than three bytes";
    uint32_t tempo = (uint32_t)track.at[0] << 16 | be16_at(track.at + 1);
    if (tempo == 0)
      return "a MIDI tempo of 0";
    // Two tempos at one tick: the faster counts, so the song is never
    // judged longer than a player may make it.
    auto change = song.tempo_changes.emplace(tick, tempo).first;
    change->second = std::min(change->second, tempo);
  }
  if (type == META_END_OF_TRACK) {
    if (length != 0 || track.at != track.end)
      return "a MIDI track that goes on after its end";
    ended = true;
  }
  track.at += length;
  return nullptr;
}

// Reads every event of one track, each whole inside it.
const char *read_track(track_reader track, song_facts &song)
{
  uint32_t tick = 0;
  unsigned char running_status = 0;
  bool ended = false;
  while (track.at < track.end) {
    uint32_t delta;
    if (!read_variable(track, delta) || track.at == track.end)
      return "a MIDI event cut short";
    tick += delta;
    if (tick < delta)
      return "a MIDI track too long to time";
    unsigned char status = *track.at;
    if (status & STATUS_BIT)
      track.at++;
    else if (running_status)
      status = running_status;  // the status of the event before, unrepeated
    else
      return "a MIDI event without a status";
    if (status == META) {
      running_status = 0;
      if (const char *problem = read_meta(track, tick, song, ended))
        return problem;
      continue;
    }
    if (status >= FIRST_SYSTEM_STATUS)
      return "a MIDI system message";
    running_status = status;
    int count = data_byte_count(status);
    if (track.end - track.at < count)
      return "a MIDI event longer than its track";
    for (int i = 0; i < count; i++)
      if (track.at[i] & STATUS_BIT)
        return "a MIDI data byte out of range";
    if ((status & 0xF0) == NOTE_ON && track.at[1] > 0)
      song.has_note = true;
    track.at += count;
  }
  if (!ended)
    return "a MIDI track without its end";
  song.last_tick = std::max(song.last_tick, tick);
  return nullptr;
}

// How long the song lasts, every tempo change applied from its tick on.
double song_microseconds(const song_facts &song, uint32_t ticks_per_quarter)
{
  double length = 0;
  uint32_t tick = 0, tempo = DEFAULT_TEMPO;
  for (const auto &change : song.tempo_changes) {
    if (change.first >= song.last_tick)
      break;
    length += (double)(change.first - tick) * tempo / ticks_per_quarter;
    tick = change.first;
    tempo = change.second;
  }
  return length + (double)(song.last_tick - tick) * tempo / ticks_per_quarter;
}

bool chunk_named(const unsigned char *at, const char *name) { return std::memcmp(at, name, 4) == 0; }

// ---- WAV -----------------------------------------------------------------------

constexpr size_t RIFF_HEAD_SIZE = 12;     // "RIFF", the length of the rest, "WAVE"
constexpr uint32_t FORMAT_LENGTH = 16;    // the PCM fields; longer ones carry more
constexpr uint32_t FORMAT_PCM = 1;
constexpr int FORMAT_CHANNELS = 2;        // offsets in the format chunk
constexpr int FORMAT_RATE = 4;
constexpr int FORMAT_BYTE_RATE = 8;
constexpr int FORMAT_FRAME_BYTES = 12;
constexpr int FORMAT_BITS = 14;
constexpr uint32_t MIN_SAMPLE_RATE = 1000;     // slower than any voice
constexpr uint32_t MAX_SAMPLE_RATE = 192000;   // the fastest sound cards

// Why a format chunk's PCM fields are not what Allegro plays; null when they are.
const char *format_problem(const unsigned char *fields, uint32_t length)
{
  if (length < FORMAT_LENGTH)
    return "a WAV format chunk cut short";
  uint32_t channels = le16_at(fields + FORMAT_CHANNELS), bits = le16_at(fields + FORMAT_BITS);
  uint32_t rate = le32_at(fields + FORMAT_RATE), frame = le16_at(fields + FORMAT_FRAME_BYTES);
  if (le16_at(fields) != FORMAT_PCM)
    return "a WAV of other than plain PCM";
  if ((channels != 1 && channels != 2) || (bits != 8 && bits != 16))
    return "a WAV of other than 1 or 2 channels of 8 or 16 bits";
  if (rate < MIN_SAMPLE_RATE || rate > MAX_SAMPLE_RATE)
    return "a WAV of a sample rate out of bounds";
  if (frame != channels * bits / 8 || le32_at(fields + FORMAT_BYTE_RATE) != rate * frame)
    return "a WAV whose frame size does not match its format";
  return nullptr;
}

}  // namespace

const char *midi_problem(const unsigned char *bytes, size_t size)
{
  if (size < CHUNK_HEAD_SIZE + MIDI_HEADER_LENGTH || !chunk_named(bytes, "MThd") ||
      be32_at(bytes + 4) != MIDI_HEADER_LENGTH)
    return "not a MIDI file";
  uint32_t format = be16_at(bytes + 8), tracks = be16_at(bytes + 10), division = be16_at(bytes + 12);
  if (format > MIDI_FORMAT_MANY_TRACKS)
    return "a MIDI of songs in a row";
  if (tracks < 1 || tracks > MIDI_MAX_TRACKS)
    return "a MIDI of a track count out of bounds";
  if (division == 0 || (division & MIDI_DIVISION_SMPTE))
    return "a MIDI not timed in ticks a quarter note";
  song_facts song;
  size_t at = CHUNK_HEAD_SIZE + MIDI_HEADER_LENGTH;
  for (uint32_t i = 0; i < tracks; i++) {
    if (size - at < CHUNK_HEAD_SIZE || !chunk_named(bytes + at, "MTrk"))
      return "a MIDI with fewer tracks than it says";
    uint32_t length = be32_at(bytes + at + 4);
    at += CHUNK_HEAD_SIZE;
    if (length > size - at)
      return "a MIDI track longer than the file";
    if (const char *problem = read_track(track_reader{bytes + at, bytes + at + length}, song))
      return problem;
    at += length;
  }
  if (at != size)
    return "a MIDI with more than its tracks";
  if (!song.has_note)
    return "a MIDI without a note";
  if (song_microseconds(song, division) < MIDI_MIN_SONG_MICROSECONDS)
    return "a MIDI song too short to loop";
  return nullptr;
}

const char *wav_problem(const unsigned char *bytes, size_t size)
{
  if (size < RIFF_HEAD_SIZE || !chunk_named(bytes, "RIFF") || !chunk_named(bytes + 8, "WAVE"))
    return "not a WAV file";
  if (le32_at(bytes + 4) != size - CHUNK_HEAD_SIZE)
    return "a WAV whose length is not its file's";
  // Allegro's loader reads every chunk to the end of the file, and a later
  // chunk can undo an earlier one: every chunk is checked, not only the first.
  const char *format = "a WAV without its format before its sound";
  bool format_seen = false, sound_seen = false;
  uint32_t frame_bytes = 0;
  for (size_t at = RIFF_HEAD_SIZE; at < size;) {
    if (size - at < CHUNK_HEAD_SIZE)
      return "a WAV chunk cut short";
    uint32_t length = le32_at(bytes + at + 4);
    const unsigned char *content = bytes + at + CHUNK_HEAD_SIZE;
    if (length > size - at - CHUNK_HEAD_SIZE)
      return "a WAV chunk longer than the file";
    // RIFF pads a chunk of odd length to an even one; Allegro's loader does
    // not skip the pad, and would read the wrong bytes for the next chunk.
    if (length % 2 != 0)
      return "a WAV chunk of odd length";
    if (chunk_named(bytes + at, "fmt ")) {
      if (format_seen)
        return "a WAV of two formats";
      format_seen = true;
      format = format_problem(content, length);
      frame_bytes = format ? 0 : le16_at(content + FORMAT_FRAME_BYTES);
    } else if (chunk_named(bytes + at, "data")) {
      if (sound_seen)
        return "a WAV of two sounds";
      sound_seen = true;
      if (format)
        return format;
      if (length == 0)
        return "a WAV without sound";
      if (length % frame_bytes != 0)
        return "a WAV sound of part of a frame";
    }
    at += CHUNK_HEAD_SIZE + length;
  }
  return sound_seen ? nullptr : "a WAV without sound";
}

MIDI *load_music(const char *path)
{
  return (MIDI *)load_checked_file(
      path, MUSIC_MAX_BYTES, [](const byte_buffer &b) { return midi_problem(b.data(), b.size()); },
      [](PACKFILE *file) { return (void *)load_midi_pf(file); });
}

SAMPLE *load_effect(const char *path)
{
  return (SAMPLE *)load_checked_file(
      path, SOUND_MAX_BYTES, [](const byte_buffer &b) { return wav_problem(b.data(), b.size()); },
      [](PACKFILE *file) { return (void *)load_wav_pf(file); });
}
