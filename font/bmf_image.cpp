// The decoder of the SGI picture embedded in a BMF file, and the reader of
// the BMF file around it. A font file is input from outside: every size and
// offset is checked against the file before it is used, so a damaged or
// hostile file fails the load instead of reading or writing out of bounds.
#include "font/bmf_image.h"
#include "base/base.h"  // values in a byte order

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int SGI_HEADER_SIZE = 512;     // the row tables or planes start here
constexpr int SGI_HEADER_WORDS = 6;      // magic, type, dimension, x, y, z sizes
constexpr uint8_t SGI_STORAGE_RLE = 1;   // high byte of type; anything else is plain
constexpr int SCRATCH_ROW_FACTOR = 256;  // a packed row may take width * 256 bytes
constexpr uint8_t RLE_COPY_FLAG = 0x80;  // control bit: copy the next n bytes
constexpr uint8_t RLE_COUNT_MASK = 0x7F;
constexpr uint8_t OPAQUE = 255;

constexpr char BMF_MAGIC[3] = {'B', 'M', 'F'};
constexpr int BMF_NAME_SIZE = 96;
constexpr int BMF_GLYPH_BYTES = 16;      // four little-endian floats

// Ends the process when memory for the picture's header or tables cannot be
// had; sizes are checked first, so only a true shortage gets here.
[[noreturn]] void out_of_memory()
{
  std::fputs("Out of memory!\n", stderr);
  std::exit(1);
}

void *allocate_or_exit(size_t size)
{
  void *memory = std::malloc(size);
  if (!memory)
    out_of_memory();
  return memory;
}

// Reads size bytes at an absolute file position; false on a short read.
bool read_at(FILE *file, long position, void *out, size_t size)
{
  if (std::fseek(file, position, SEEK_SET) != 0)
    return false;
  return std::fread(out, 1, size, file) == size;
}

// Bytes from position to the end of the file, or -1 when it cannot be told.
long bytes_after(FILE *file, long position)
{
  if (std::fseek(file, 0, SEEK_END) != 0)
    return -1;
  long end = std::ftell(file);
  if (end < 0 || end < position)
    return -1;
  return end - position;
}

}  // namespace

struct bmf_image_reader {
  uint16_t magic;      // not checked: writers disagree on it
  uint16_t type;       // high byte storage, low byte bytes per channel
  uint16_t dimension;  // not used
  uint16_t width;
  uint16_t height;
  uint16_t channels;
  FILE *file;
  long image_start;    // file position of the picture's header
  long image_size;     // bytes from image_start to the end of the file
  uint8_t *row_scratch;   // one packed row
  uint32_t *row_start;    // run-length only: row offsets from image_start
  uint32_t *row_length;   // run-length only: packed row lengths
};

namespace {

bool run_length_encoded(const bmf_image_reader *reader)
{
  return (reader->type >> 8) == SGI_STORAGE_RLE;
}

// Channel planes the file holds: a flat SGI picture (one or two dimensions)
// may say 0 channels and holds one.
int stored_channels(const bmf_image_reader *reader)
{
  return reader->channels == 0 ? 1 : reader->channels;
}

// Channel planes read for the pixels: the first four at most.
int decoded_channels(const bmf_image_reader *reader)
{
  return std::min(stored_channels(reader), BMF_IMAGE_DECODED_CHANNELS);
}

// Rows in the file, and entries in each run-length row table.
size_t row_count(const bmf_image_reader *reader)
{
  return (size_t)reader->height * stored_channels(reader);
}

size_t scratch_size(const bmf_image_reader *reader)
{
  return (size_t)reader->width * SCRATCH_ROW_FACTOR;
}

// The header's sizes are ones we read, and the file is long enough for all
// the planes or the row tables they call for, also those never decoded.
bool header_is_sound(const bmf_image_reader *reader)
{
  if ((reader->type & 0xFF) != 1)
    return false;
  if (reader->width < 1 || reader->width > BMF_IMAGE_MAX_SIZE ||
      reader->height < 1 || reader->height > BMF_IMAGE_MAX_SIZE)
    return false;
  size_t body = run_length_encoded(reader) ? 2 * sizeof(uint32_t) * row_count(reader)
                                           : row_count(reader) * reader->width;
  return (size_t)reader->image_size >= SGI_HEADER_SIZE + body;
}

// Every packed row lies inside the file and fits the row scratch.
bool row_tables_are_sound(const bmf_image_reader *reader)
{
  for (size_t index = 0; index < row_count(reader); index++) {
    uint64_t start = reader->row_start[index];
    uint64_t length = reader->row_length[index];
    if (length > scratch_size(reader) || start + length > (uint64_t)reader->image_size)
      return false;
  }
  return true;
}

// Reads the offset and length tables of a run-length encoded picture.
bool read_row_tables(bmf_image_reader *reader)
{
  size_t count = row_count(reader);
  reader->row_start = (uint32_t *)allocate_or_exit(count * sizeof(uint32_t));
  reader->row_length = (uint32_t *)allocate_or_exit(count * sizeof(uint32_t));
  uint8_t bytes[4];
  long position = reader->image_start + SGI_HEADER_SIZE;
  if (std::fseek(reader->file, position, SEEK_SET) != 0)
    return false;
  for (size_t index = 0; index < 2 * count; index++) {
    if (std::fread(bytes, 1, sizeof bytes, reader->file) != sizeof bytes)
      return false;
    uint32_t *table = index < count ? reader->row_start : reader->row_length;
    table[index % count] = be32_at(bytes);
  }
  return row_tables_are_sound(reader);
}

// Unpacks one run-length row into width bytes. A row may end before the
// width (the rest stays black) or without its 0 mark at the end of its
// bytes; a run that goes past the width or past the packed bytes fails.
bool unpack_row(const uint8_t *packed, size_t packed_length, uint8_t *row, int width)
{
  std::memset(row, 0, width);
  size_t in = 0;
  int out = 0;
  while (in < packed_length) {
    uint8_t control = packed[in++];
    int count = control & RLE_COUNT_MASK;
    if (count == 0)
      return true;
    if (count > width - out)
      return false;
    if (control & RLE_COPY_FLAG) {
      if ((size_t)count > packed_length - in)
        return false;
      std::memcpy(row + out, packed + in, count);
      in += count;
    } else {
      if (in >= packed_length)
        return false;
      std::memset(row + out, packed[in++], count);
    }
    out += count;
  }
  return true;
}

// Reads row r of channel c (rows bottom first) into width bytes.
bool read_channel_row(bmf_image_reader *reader, int row, int channel, uint8_t *out)
{
  size_t index = (size_t)row + (size_t)channel * reader->height;
  if (!run_length_encoded(reader)) {
    long position = reader->image_start + SGI_HEADER_SIZE + (long)(index * reader->width);
    return read_at(reader->file, position, out, reader->width);
  }
  uint32_t length = reader->row_length[index];
  if (!read_at(reader->file, reader->image_start + (long)reader->row_start[index],
               reader->row_scratch, length))
    return false;
  return unpack_row(reader->row_scratch, length, out, reader->width);
}

// Composes one output row of RGBA pixels from the decoded channel rows:
// grey from one channel, grey and alpha from two, opaque colour from three,
// colour and alpha from four.
void compose_row(uint8_t *const channel_rows[BMF_IMAGE_DECODED_CHANNELS], int channels,
                 int width, uint8_t *out)
{
  for (int x = 0; x < width; x++, out += 4) {
    uint8_t c0 = channel_rows[0][x];
    bool colour = channels >= 3;
    out[0] = c0;
    out[1] = colour ? channel_rows[1][x] : c0;
    out[2] = colour ? channel_rows[2][x] : c0;
    if (channels == 2)
      out[3] = channel_rows[1][x];
    else if (channels == BMF_IMAGE_DECODED_CHANNELS)
      out[3] = channel_rows[3][x];
    else
      out[3] = OPAQUE;
  }
}

}  // namespace

bmf_image_reader *bmf_image_open(FILE *file)
{
  bmf_image_reader *reader = (bmf_image_reader *)allocate_or_exit(sizeof *reader);
  std::memset(reader, 0, sizeof *reader);
  reader->file = file;
  reader->image_start = std::ftell(file);
  uint8_t header[2 * SGI_HEADER_WORDS];
  bool sound = reader->image_start >= 0 &&
               std::fread(header, 1, sizeof header, file) == sizeof header;
  if (sound) {
    uint16_t *words[SGI_HEADER_WORDS] = {&reader->magic, &reader->type, &reader->dimension,
                                         &reader->width, &reader->height, &reader->channels};
    for (int word = 0; word < SGI_HEADER_WORDS; word++)
      *words[word] = (uint16_t)(header[2 * word] << 8 | header[2 * word + 1]);
    reader->image_size = bytes_after(file, reader->image_start);
    sound = reader->image_size >= 0 && header_is_sound(reader);
  }
  if (sound) {
    reader->row_scratch = (uint8_t *)allocate_or_exit(scratch_size(reader));
    if (run_length_encoded(reader))
      sound = read_row_tables(reader);
  }
  if (!sound) {
    bmf_image_close(reader);
    return nullptr;
  }
  return reader;
}

void bmf_image_close(bmf_image_reader *reader)
{
  if (!reader)
    return;
  std::free(reader->row_scratch);
  std::free(reader->row_start);
  std::free(reader->row_length);
  std::free(reader);
}

unsigned char *bmf_image_read_rgba(FILE *file, int *width, int *height, int *channels)
{
  *width = *height = *channels = 0;
  bmf_image_reader *reader = bmf_image_open(file);
  if (!reader)
    return nullptr;
  *width = reader->width;
  *height = reader->height;
  *channels = reader->channels;

  size_t row_bytes = (size_t)reader->width * 4;
  uint8_t *pixels = (uint8_t *)std::malloc(row_bytes * reader->height);
  uint8_t *channel_rows[BMF_IMAGE_DECODED_CHANNELS] = {};
  bool sound = pixels != nullptr;
  for (int c = 0; c < BMF_IMAGE_DECODED_CHANNELS && sound; c++) {
    channel_rows[c] = (uint8_t *)std::malloc(reader->width);
    sound = channel_rows[c] != nullptr;
  }
  int decoded = decoded_channels(reader);
  for (int row = 0; row < reader->height && sound; row++) {
    for (int c = 0; c < decoded && sound; c++)
      sound = read_channel_row(reader, row, c, channel_rows[c]);
    if (sound)
      compose_row(channel_rows, decoded, reader->width, pixels + row * row_bytes);
  }
  for (uint8_t *buffer : channel_rows)
    std::free(buffer);
  bmf_image_close(reader);
  if (!sound) {
    std::free(pixels);
    return nullptr;
  }
  return pixels;
}

unsigned char *bmf_read_font(FILE *file, bitmap_glyph_rect glyphs[BMF_GLYPH_COUNT],
                             int *width, int *height)
{
  uint8_t magic[sizeof BMF_MAGIC];
  if (std::fread(magic, 1, sizeof magic, file) != sizeof magic ||
      std::memcmp(magic, BMF_MAGIC, sizeof magic) != 0)
    return nullptr;
  uint8_t name[BMF_NAME_SIZE];
  if (std::fread(name, 1, sizeof name, file) != sizeof name)
    return nullptr;
  for (int code = 0; code < BMF_GLYPH_COUNT; code++) {
    uint8_t record[BMF_GLYPH_BYTES];
    if (std::fread(record, 1, sizeof record, file) != sizeof record)
      return nullptr;
    glyphs[code].x = le_float_at(record);
    glyphs[code].y = le_float_at(record + 4);
    glyphs[code].width = le_float_at(record + 8);
    glyphs[code].height = le_float_at(record + 12);
  }
  int channels;
  return bmf_image_read_rgba(file, width, height, &channels);
}
