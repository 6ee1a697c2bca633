// Reading files that come from outside, and replacing a file whole.
#include "base/base.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr long READ_CHUNK_BYTES = 64 * 1024;  // the first read's size

// The system's words for the last failed call.
std::string system_words() { return std::strerror(errno); }

// Writes all size bytes to fd, carrying on after interrupted or partial writes.
bool write_all(int fd, const unsigned char *data, size_t size)
{
  while (size > 0) {
    ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR)
      continue;
    if (written <= 0)
      return false;
    data += written;
    size -= (size_t)written;
  }
  return true;
}

// The permissions a new file gets from this process: what it would have had
// if created in place, since a temporary file starts private.
mode_t new_file_mode()
{
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// open_regular_file, with prefix before the system's words of a failure.
int open_for_reading(const char *path, const char *prefix, std::string &error, bool *missing)
{
  if (missing)
    *missing = false;
  // Opened without waiting, so that a FIFO is refused rather than waited on.
  int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (missing)
      *missing = errno == ENOENT;
    error = prefix + system_words();
    return -1;
  }
  struct stat info;
  if (fstat(fd, &info) != 0)
    error = prefix + system_words();
  else if (!S_ISREG(info.st_mode))
    error = S_ISDIR(info.st_mode) ? "a folder, not a file" : "not a regular file";
  else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0)
    error = prefix + system_words();
  else
    return fd;
  close(fd);
  return -1;
}

// Makes the temporary file beside path that replace_file writes, filling in
// its name; its descriptor, or -1 with why in error. Anything but a regular
// file (or nothing) at path is refused: a rename would replace a folder's
// name or a device's node instead of writing a file.
int make_temporary_beside(const std::string &path, std::string &temporary, std::string &error)
{
  struct stat status;
  if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
    error = S_ISDIR(status.st_mode) ? "cannot write: a folder, not a file" : "cannot write: not a regular file";
    return -1;
  }
  temporary = path + ".XXXXXX";
  int fd = mkstemp(&temporary[0]);
  if (fd < 0)
    error = "cannot write: " + system_words();
  return fd;
}

}  // namespace

int open_regular_file(const char *path, std::string &error, bool *missing)
{
  return open_for_reading(path, "", error, missing);
}

FILE *open_regular_stream(const char *path, std::string &error)
{
  int fd = open_regular_file(path, error);
  FILE *stream = fd >= 0 ? fdopen(fd, "rb") : nullptr;
  if (fd >= 0 && !stream) {
    error = system_words();
    close(fd);
  }
  return stream;
}

bool read_at_most(int fd, long limit, byte_buffer &bytes, std::string &error, bool *too_long)
{
  // The buffer grows as the file proves long, up to one byte more than the
  // limit (which tells a longer file): a large limit costs nothing up front.
  bytes.clear();
  long got = 0;
  while (got <= limit) {
    bytes.resize((size_t)std::min(limit + 1, std::max(2 * got, READ_CHUNK_BYTES)));
    ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      error = "cannot read: " + system_words();
      bytes.clear();
      return false;
    }
    if (n == 0)
      break;
    got += n;
  }
  if (too_long)
    *too_long = got > limit;
  bytes.resize(got > limit ? limit : got);
  return true;
}

bool read_regular_file(const std::string &path, long limit, byte_buffer &bytes, std::string &error,
                       bool *too_long)
{
  int fd = open_for_reading(path.c_str(), "cannot read: ", error, nullptr);
  if (fd < 0)
    return false;
  bool ok = read_at_most(fd, limit, bytes, error, too_long);
  close(fd);
  return ok;
}

bool replace_file(const std::string &path, const byte_buffer &bytes, std::string &error)
{
  std::string temporary;
  int fd = make_temporary_beside(path, temporary, error);
  if (fd < 0)
    return false;
  bool ok = fchmod(fd, new_file_mode()) == 0 && write_all(fd, bytes.data(), bytes.size()) &&
            fsync(fd) == 0;
  if (!ok)
    error = "cannot write: " + system_words();
  if (close(fd) != 0 && ok) {
    error = "cannot write: " + system_words();
    ok = false;
  }
  if (ok && rename(temporary.c_str(), path.c_str()) != 0) {
    error = "cannot write: " + system_words();
    ok = false;
  }
  if (!ok)
    unlink(temporary.c_str());
  return ok;
}

bool can_replace_file(const std::string &path, std::string &error)
{
  std::string temporary;
  int fd = make_temporary_beside(path, temporary, error);
  if (fd < 0)
    return false;
  close(fd);
  unlink(temporary.c_str());
  return true;
}
