// Screenshots: the picture on screen written to the first free "vgrab-%03d.tga".
// The picture is written whole to a temporary file of its own and only then
// given its name, so a failed write leaves no broken file and no name taken.
// What is captured is picture_area: the whole 640 x 480 screen in the
// designed mode, elsewhere the 4:3 picture at the size it is drawn, without
// the bars.
#include "game/screenshot.h"
#include "render/render.h"

#include <alleggl.h>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int CAPTURE_DEPTH = 24;    // true colour, no palette needed
constexpr int BYTES_PER_PIXEL = 3;   // GL_RGB, GL_UNSIGNED_BYTE
constexpr int NAME_SIZE = 32;        // "vgrab-" + any int + ".tga"
constexpr char TEMPORARY_NAME[] = "vgrab-XXXXXX.part";  // mkstemps fills in the Xs
constexpr int TEMPORARY_SUFFIX_LENGTH = 5;             // ".part"

// Whether a failed capture has been reported in this game: once is enough
// while F12 is held on a full disk.
bool failure_reported = false;

// True when nothing of that name is there: no file, no folder, no link,
// not even a link that points nowhere.
bool name_is_free(const char *name)
{
  struct stat status;
  return lstat(name, &status) != 0 && errno == ENOENT;
}

// Formats the first name of the series that nothing has yet; a gap left by
// a deleted file is filled before higher numbers are used.
void first_free_name(char *name, int size)
{
  int n = 0;
  std::snprintf(name, size, "vgrab-%03d.tga", n);
  while (!name_is_free(name))
    std::snprintf(name, size, "vgrab-%03d.tga", ++n);
}

// Allegro's TGA writer on a stream the game opened itself, so that the file
// it writes is the one just created, never whatever a name points to.
int stream_close(void *stream) { return std::fclose((FILE *)stream); }
int stream_putc(int c, void *stream) { return std::fputc(c, (FILE *)stream); }
long stream_write(const void *bytes, long n, void *stream)
{
  return (long)std::fwrite(bytes, 1, (size_t)n, (FILE *)stream);
}
int stream_error(void *stream) { return std::ferror((FILE *)stream); }
int no_getc(void *) { return EOF; }
int no_ungetc(int, void *) { return EOF; }
long no_read(void *, long, void *) { return 0; }
int no_seek(void *, int) { return -1; }
int at_end(void *) { return 1; }
const PACKFILE_VTABLE write_only_stream = {stream_close, no_getc,  no_ungetc, no_read,     stream_putc,
                                           stream_write, no_seek, at_end,    stream_error};

// Writes the capture as a TGA file to a new temporary name, filled into
// temporary (created here, so no link is followed); 0 on success, else the
// error number, with the partial file removed.
int write_temporary(BITMAP *capture, char *temporary)
{
  int fd = mkstemps(temporary, TEMPORARY_SUFFIX_LENGTH);
  if (fd < 0)
    return errno;
  FILE *stream = fdopen(fd, "wb");
  PACKFILE *file = stream ? pack_fopen_vtable(&write_only_stream, stream) : nullptr;
  if (!file) {
    int error = errno ? errno : ENOMEM;
    if (stream)
      std::fclose(stream);
    else
      close(fd);
    unlink(temporary);
    return error;
  }
  errno = 0;
  save_tga_pf(file, capture, nullptr);
  // The stream keeps its first error; flushing at the close shows the rest.
  int failed = std::ferror(stream) != 0;
  int error = errno;
  failed |= pack_fclose(file) != 0;
  if (!failed)
    return 0;
  if (error == 0)
    error = errno ? errno : EIO;
  unlink(temporary);
  return error;
}

// Gives the finished file the first free name of the series without ever
// replacing anything (another writer may take a name meanwhile); 0 on
// success, else the error number.
int publish(const char *temporary)
{
  char name[NAME_SIZE];
  for (;;) {
    first_free_name(name, sizeof name);
    if (renameat2(AT_FDCWD, temporary, AT_FDCWD, name, RENAME_NOREPLACE) == 0)
      return 0;
    if (errno == EEXIST)
      continue;
    // File systems without a no-replace rename still refuse to link over a name.
    if (errno != EINVAL || link(temporary, name) != 0) {
      if (errno == EEXIST)
        continue;
      return errno;
    }
    unlink(temporary);
    return 0;
  }
}

void report_failure(int error)
{
  if (failure_reported)
    return;
  failure_reported = true;
  std::fprintf(stderr, "pilko: warning: cannot save a screenshot here: %s\n", std::strerror(error));
}

// Copies the GL rows into the bitmap upside down, so that its row 0 is the
// top of the screen. Pixels go through makecol24, which packs them in the
// layout the TGA writer reads back, whatever graphics mode is set.
void copy_upright(const unsigned char *pixels, BITMAP *bitmap)
{
  for (int k = 0; k < bitmap->h; k++) {
    const unsigned char *row = pixels + (size_t)k * bitmap->w * BYTES_PER_PIXEL;
    int y = bitmap->h - 1 - k;
    for (int x = 0; x < bitmap->w; x++) {
      const unsigned char *p = row + x * BYTES_PER_PIXEL;
      _putpixel24(bitmap, x, y, makecol24(p[0], p[1], p[2]));
    }
  }
}

}  // namespace

void save_screenshot()
{
  BITMAP *capture = create_bitmap_ex(CAPTURE_DEPTH, picture_area.width, picture_area.height);
  if (!capture)
    return;
  clear_bitmap(capture);
  // One frame of pixels; kept, so that a held F12 does not churn a frame's
  // worth of memory (900 KB at 640 x 480) a tick. The world update calls
  // this after the last frame was flipped and before the next is drawn: the
  // back buffer holds the frame on screen (a driver that exchanged the
  // buffers at the flip would give the frame before).
  static std::vector<unsigned char> pixels;
  allegro_gl_begin();
  read_drawn_picture(GL_RGB, pixels);
  allegro_gl_end();
  copy_upright(pixels.data(), capture);
  // A failed write costs a picture, not the game.
  char temporary[sizeof TEMPORARY_NAME];
  std::memcpy(temporary, TEMPORARY_NAME, sizeof TEMPORARY_NAME);
  int error = write_temporary(capture, temporary);
  if (error == 0) {
    error = publish(temporary);
    if (error != 0)
      unlink(temporary);
  }
  if (error != 0)
    report_failure(error);
  destroy_bitmap(capture);
}

void allow_screenshot_warning()
{
  failure_reported = false;
}
