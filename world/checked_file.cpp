// Checked files for Allegro's loaders: a read-only packfile over bytes in
// memory, through Allegro's packfile vtable, and the one warning of a file
// left out.
#include "world/checked_file.h"

#include <algorithm>
#include <allegro.h>
#include <cstring>
#include <unistd.h>

namespace {

// What one open packfile has read so far.
struct memory_reader {
  const byte_buffer *bytes;
  size_t at;
};

size_t bytes_left(const memory_reader &reader) { return reader.bytes->size() - reader.at; }

int close_reader(void *userdata)
{
  delete (memory_reader *)userdata;
  return 0;
}

int next_byte(void *userdata)
{
  memory_reader &reader = *(memory_reader *)userdata;
  return bytes_left(reader) > 0 ? (*reader.bytes)[reader.at++] : EOF;
}

// The byte given back is always the one just read: the bytes never change.
int give_back(int c, void *userdata)
{
  memory_reader &reader = *(memory_reader *)userdata;
  if (reader.at == 0)
    return EOF;
  reader.at--;
  return c;
}

long read_bytes(void *out, long n, void *userdata)
{
  memory_reader &reader = *(memory_reader *)userdata;
  size_t count = std::min(bytes_left(reader), n > 0 ? (size_t)n : 0);
  if (count > 0)
    std::memcpy(out, reader.bytes->data() + reader.at, count);
  reader.at += count;
  return (long)count;
}

int refuse_byte(int, void *) { return EOF; }
long refuse_bytes(const void *, long, void *) { return 0; }

// Only forward, as Allegro's own seek; past the end stops at the end and fails.
int skip_bytes(void *userdata, int offset)
{
  memory_reader &reader = *(memory_reader *)userdata;
  if (offset < 0)
    return -1;
  bool inside = (size_t)offset <= bytes_left(reader);
  reader.at += inside ? (size_t)offset : bytes_left(reader);
  return inside ? 0 : -1;
}

int at_end(void *userdata) { return bytes_left(*(memory_reader *)userdata) == 0; }
int no_error(void *) { return 0; }

const PACKFILE_VTABLE memory_vtable = {close_reader, next_byte,  give_back, read_bytes, refuse_byte,
                                       refuse_bytes, skip_bytes, at_end,    no_error};

// One line naming the file and why the game goes on without it.
void warn_unloaded(const char *path, const std::string &why)
{
  report_problem("warning: cannot load " + printable(path) + " (" + why + "); playing on without it");
}

}  // namespace

void *load_checked_file(const char *path, long limit,
                        const std::function<const char *(const byte_buffer &)> &problem_of,
                        const std::function<void *(PACKFILE *)> &load)
{
  byte_buffer bytes;
  std::string error;
  bool too_long = false;
  int fd = open_regular_file(path, error);
  bool read = fd >= 0 && read_at_most(fd, limit, bytes, error, &too_long);
  if (fd >= 0)
    close(fd);
  const char *problem = read && !too_long ? problem_of(bytes) : nullptr;
  if (read && too_long)
    error = "longer than " + std::to_string(limit) + " bytes";
  else if (problem)
    error = problem;
  if (!error.empty()) {
    warn_unloaded(path, error);
    return nullptr;
  }
  memory_reader *reader = new memory_reader{&bytes, 0};
  PACKFILE *file = pack_fopen_vtable(&memory_vtable, reader);
  void *loaded = nullptr;
  if (file) {
    loaded = load(file);
    pack_fclose(file);  // frees the reader
  } else {
    delete reader;
  }
  if (!loaded)
    warn_unloaded(path, "Allegro could not read it");
  return loaded;
}
