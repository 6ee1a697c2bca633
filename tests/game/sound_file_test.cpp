// The checks in front of Allegro's MIDI and WAV loaders: crafted files (among them those that
// crashed or hung Allegro's player) are refused with their reason. And every checked loader,
// pictures too: our own files load, a refused or unreadable file costs one warning line.
#include "tests/support/headless.h"
#include "assets/asset_files.h"
#include "game/sound_file.h"
#include "render/picture_file.h"
#include "tests/support/files.h"
#include "tests/support/scratch_folder.h"

#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

byte_buffer operator+(byte_buffer a, const byte_buffer &b)
{
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The value in width bytes, most significant first (MIDI) or last (RIFF).
byte_buffer number(uint32_t value, int width, bool big_endian = true)
{
  byte_buffer out;
  for (int i = 0; i < width; i++)
    out.push_back((unsigned char)(value >> (8 * (big_endian ? width - 1 - i : i))));
  return out;
}

// A chunk: four letters, the length (big-endian for MIDI, little for RIFF), the bytes.
byte_buffer chunk(const char *name, const byte_buffer &body, bool big_endian = true)
{
  return byte_buffer(name, name + 4) + number((uint32_t)body.size(), 4, big_endian) + body;
}

byte_buffer midi(uint32_t format, uint32_t tracks, uint32_t division, const byte_buffer &body)
{
  return chunk("MThd", number(format, 2) + number(tracks, 2) + number(division, 2)) + body;
}

const byte_buffer NOTE = {0x00, 0x90, 60, 64, 0x60, 0x80, 60, 0};  // half a second at 96 a quarter
const byte_buffer END = {0x00, 0xFF, 0x2F, 0x00};

// A song of one track, 96 ticks a quarter.
byte_buffer song(const byte_buffer &events) { return midi(0, 1, 96, chunk("MTrk", events)); }

// A WAV format chunk; a frame size of 0: as the channels and bits make it.
byte_buffer format_chunk(uint32_t tag = 1, uint32_t channels = 1, uint32_t rate = 22050, uint32_t bits = 16, uint32_t frame = 0)
{
  frame = frame ? frame : channels * bits / 8;
  return chunk("fmt ", number(tag, 2, false) + number(channels, 2, false) + number(rate, 4, false) +
                           number(rate * frame, 4, false) + number(frame, 2, false) + number(bits, 2, false),
               false);
}

// A WAV file, its RIFF length right unless one is given.
byte_buffer wav(const byte_buffer &chunks, long riff_length = -1)
{
  byte_buffer body = byte_buffer{'W', 'A', 'V', 'E'} + chunks;
  return byte_buffer{'R', 'I', 'F', 'F'} + number(riff_length < 0 ? body.size() : riff_length, 4, false) + body;
}

byte_buffer sound_data(size_t bytes) { return chunk("data", byte_buffer(bytes, 0x10), false); }

// Whether a loader gave something; what it gave is freed.
template <typename T> bool freed(T *loaded, void (*destroy)(T *))
{
  destroy(loaded);
  return loaded != nullptr;
}

// Whether the game's loader for the file's kind (by its name) loads it.
bool loads(const std::string &path)
{
  std::string kind = path.substr(path.size() - 4);
  return kind == ".mid"   ? freed(load_music(path.c_str()), destroy_midi)
         : kind == ".wav" ? freed(load_effect(path.c_str()), destroy_sample)
                          : freed(load_picture(path.c_str()), destroy_bitmap);
}

}  // namespace

TEST(CheckedFile, RefusesCraftedFilesWithTheirReason)
{
  struct crafted {
    const char *what;
    byte_buffer bytes;
    const char *reason;
  };
  const crafted midi_files[] = {
    // The four that crashed or hung the game: a division by zero, reads far past the
    // track (SIGSEGV) and a loop of no length that spins Allegro's timer thread for ever.
    {"0 ticks a quarter", midi(0, 1, 0, chunk("MTrk", NOTE + END)), "a MIDI not timed in ticks a quarter note"},
    {"text past its track", song(NOTE + byte_buffer{0, 0xFF, 0x01, 0xFF, 0xFF, 0xFF, 0x7F}),
     "a MIDI event longer than its track"},
    {"huge system message", song(byte_buffer{0, 0xF0, 0xFF, 0xFF, 0xFF, 0x7F} + NOTE + END), "a MIDI system message"},
    {"song of no length", song(byte_buffer{0, 0x90, 60, 64, 0, 0x80, 60, 0} + END), "a MIDI song too short to loop"},
    {"one tick at 32767 a quarter", midi(0, 1, 0x7FFF, chunk("MTrk", byte_buffer{0, 0x90, 60, 64, 1, 0x80, 60, 0} + END)),
     "a MIDI song too short to loop"},
    {"frames a second", midi(0, 1, 0xE728, chunk("MTrk", NOTE + END)), "a MIDI not timed in ticks a quarter note"},
    {"no note", song(byte_buffer{0, 0xC0, 5, 0x60, 0x90, 60, 0} + END), "a MIDI without a note"},
    {"tempo 0", song(byte_buffer{0, 0xFF, 0x51, 3, 0, 0, 0} + NOTE + END), "a MIDI tempo of 0"},
    {"tempo of one byte", song(byte_buffer{0, 0xFF, 0x51, 1, 9} + NOTE + END), "a MIDI tempo of other than three bytes"},
    {"33 tracks said", midi(1, MIDI_MAX_TRACKS + 1, 96, chunk("MTrk", NOTE + END)), "a MIDI of a track count out of bounds"},
    {"songs in a row", midi(2, 1, 96, chunk("MTrk", NOTE + END)), "a MIDI of songs in a row"},
    {"two tracks said, one given", midi(1, 2, 96, chunk("MTrk", NOTE + END)), "a MIDI with fewer tracks than it says"},
    {"track longer than the file", midi(0, 1, 96, byte_buffer{'M', 'T', 'r', 'k', 0, 0, 1, 0} + NOTE + END),
     "a MIDI track longer than the file"},
    {"bytes after the tracks", song(NOTE + END) + byte_buffer{0}, "a MIDI with more than its tracks"},
    {"no end of track", song(NOTE), "a MIDI track without its end"},
    {"events after the end", song(NOTE + END + NOTE), "a MIDI track that goes on after its end"},
    {"data before any status", song(byte_buffer{0, 60, 64} + NOTE + END), "a MIDI event without a status"},
    {"data byte of 200", song(byte_buffer{0, 0x90, 60, 200} + NOTE + END), "a MIDI data byte out of range"},
    {"note cut short", song(byte_buffer{0, 0x90, 60}), "a MIDI event longer than its track"},
    {"time without its event", song(NOTE + byte_buffer{0x81}), "a MIDI event cut short"},
    {"song position", song(byte_buffer{0, 0xF2, 0, 0} + NOTE + END), "a MIDI system message"},
    {"a picture", byte_buffer{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "not a MIDI file"},
  };
  for (const auto &file : midi_files)
    EXPECT_STREQ(midi_problem(file.bytes.data(), file.bytes.size()), file.reason) << file.what;
  EXPECT_EQ(midi_problem(song(NOTE + END).data(), song(NOTE + END).size()), nullptr);

  const crafted wav_files[] = {
    // Allegro loads a sound of no frames, which its mixer reads past.
    {"no sound", wav(format_chunk() + sound_data(0)), "a WAV without sound"},
    {"rate 0", wav(format_chunk(1, 1, 0) + sound_data(4)), "a WAV of a sample rate out of bounds"},
    {"no channel", wav(format_chunk(1, 0) + sound_data(4)), "a WAV of other than 1 or 2 channels of 8 or 16 bits"},
    {"24 bits", wav(format_chunk(1, 1, 22050, 24) + sound_data(6)), "a WAV of other than 1 or 2 channels of 8 or 16 bits"},
    {"compressed", wav(format_chunk(2) + sound_data(4)), "a WAV of other than plain PCM"},
    {"frames of the wrong size", wav(format_chunk(1, 2, 22050, 16, 2) + sound_data(4)),
     "a WAV whose frame size does not match its format"},
    {"part of a frame", wav(format_chunk() + sound_data(3)), "a WAV chunk of odd length"},
    {"part of a stereo frame", wav(format_chunk(1, 2) + sound_data(6)), "a WAV sound of part of a frame"},
    {"sound before its format", wav(sound_data(4) + format_chunk()), "a WAV without its format before its sound"},
    {"two formats", wav(format_chunk() + format_chunk() + sound_data(4)), "a WAV of two formats"},
    {"odd chunk before the sound", wav(format_chunk() + chunk("LIST", {'a', 'b', 'c'}, false) + sound_data(4)),
     "a WAV chunk of odd length"},
    {"sound longer than the file", wav(format_chunk() + byte_buffer{'d', 'a', 't', 'a', 0, 1, 0, 0}, 0),
     "a WAV whose length is not its file's"},
    {"RIFF longer than the file", wav(format_chunk() + sound_data(4), 48), "a WAV whose length is not its file's"},  // 8 too many
    {"format only", wav(format_chunk()), "a WAV without sound"},
    // Found by wav_fuzz: Allegro reads on past the sound, and bytes there that are no chunk
    // left it a sound of no frames.
    {"bytes after the sound", wav(format_chunk() + sound_data(4) + byte_buffer{1, 2, 3, 4, 0xFF, 0xFF, 0, 0}),
     "a WAV chunk longer than the file"},
    {"a few bytes after the sound", wav(format_chunk() + sound_data(4) + byte_buffer{0, 0}), "a WAV chunk cut short"},
    {"two sounds", wav(format_chunk() + sound_data(4) + sound_data(2)), "a WAV of two sounds"},
    {"a MIDI file", song(NOTE + END), "not a WAV file"},
  };
  for (const auto &file : wav_files)
    EXPECT_STREQ(wav_problem(file.bytes.data(), file.bytes.size()), file.reason) << file.what;
}

// Crafted files, FIFOs that would block the game, a file past the size limit and missing files,
// for each loader: each is null and one warning line, and the game plays on without it. Every
// file the game ships loads, and says nothing.
TEST(CheckedFile, RefusedFileGivesNullAndOneWarningLineShippedFilesLoadQuietly)
{
  start_headless_allegro();
  scratch_folder scratch;
  std::string folder = scratch.path;
  write_file(folder + "/song.mid", midi(0, 1, 0, chunk("MTrk", NOTE + END)));
  write_file(folder + "/jump.wav", wav(format_chunk() + sound_data(0)));
  write_file(folder + "/logo.tga", std::string("no picture"));
  for (const char *name : {"kez.mid", "land.wav", "title.tga"})
    ASSERT_EQ(mkfifo((folder + "/" + name).c_str(), 0644), 0);
  ASSERT_TRUE(write_file(folder + "/huge.wav", ""));
  ASSERT_EQ(truncate((folder + "/huge.wav").c_str(), SOUND_MAX_BYTES + 1), 0);
  const struct {
    const char *name, *reason;
  } refused[] = {{"song.mid", "a MIDI not timed in ticks a quarter note"},
                 {"kez.mid", "not a regular file"},
                 {"jump.wav", "a WAV without sound"},
                 {"logo.tga", "too short for a TGA header"},
                 {"land.wav", "not a regular file"},
                 {"title.tga", "not a regular file"},
                 {"huge.wav", "longer than 16777216 bytes"},
                 {"gone.wav", "No such file or directory"},
                 {"gone.bmp", "No such file or directory"}};
  for (const auto &file : refused) {
    std::string path = folder + "/" + file.name;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(loads(path)) << file.name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "pilko: warning: cannot load " + path + " (" + file.reason + "); playing on without it\n");
  }
  std::vector<std::string> names(std::begin(PICTURE_FILES), std::end(PICTURE_FILES));
  names.insert(names.end(), std::begin(TEXTURE_FILES), std::end(TEXTURE_FILES));
  names.insert(names.end(), std::begin(SOUND_FILES), std::end(SOUND_FILES));
  names.push_back(MUSIC_FILE);
  for (const std::string &name : names) {
    testing::internal::CaptureStderr();
    EXPECT_TRUE(loads(PILKO_DATA_DIR "/" + name)) << name;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << name;
  }
}
