// pilko's small base, beneath the game, its libraries and its tools: the one
// careful reader of files that come from outside, files replaced whole,
// values in either byte order, and text made safe to print. Plain C++ and POSIX.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

typedef std::vector<unsigned char> byte_buffer;

// ---- Files from outside ------------------------------------------------------
// Whatever a player or an author puts in a file's place (a folder, a FIFO, a
// device, a file that never ends) is refused at once, never waited on.

// Opens path for reading when it is a regular file, without waiting on it.
// Returns a blocking, close-on-exec file descriptor, or -1 with why in error
// ("a folder, not a file", "not a regular file", or the system's words);
// *missing (when given) tells that nothing of that name exists.
int open_regular_file(const char *path, std::string &error, bool *missing = nullptr);
// The same as a stream for reading bytes ("rb"), or null with why in error.
FILE *open_regular_stream(const char *path, std::string &error);
// Reads at most limit bytes of the open file fd; too_long (when given) is set
// when it holds more. False, with why in error, when a read fails.
bool read_at_most(int fd, long limit, byte_buffer &bytes, std::string &error, bool *too_long = nullptr);
// Reads at most limit bytes of the regular file at path, as the two above.
// error reads "cannot read: ..." when the file cannot be opened.
bool read_regular_file(const std::string &path, long limit, byte_buffer &bytes, std::string &error,
                       bool *too_long = nullptr);

// ---- Files written whole ----------------------------------------------------

// Makes bytes the whole content of the file at path: written to a temporary
// file beside it, flushed, then renamed over it, so that path always holds
// either its old content or all of the new, and two writers never mix. False,
// with why in error, when any step fails (a full disk, a file size limit, a
// folder or device in path's place); the old file is then untouched and no
// temporary file stays.
bool replace_file(const std::string &path, const byte_buffer &bytes, std::string &error);
// Whether replace_file could write path now, tried without touching path: no
// folder or device in its place, and room for a temporary file beside it.
// False, with why in error, when not.
bool can_replace_file(const std::string &path, std::string &error);

// ---- Values in a byte order -------------------------------------------------

// The 16-bit and 32-bit values and the float stored at p, least significant
// byte first, whatever the host's byte order.
uint32_t le16_at(const unsigned char *p);
uint32_t le32_at(const unsigned char *p);
float le_float_at(const unsigned char *p);
// The 32-bit value at offset of bytes (which with its four bytes lies inside).
uint32_t get_le32(const byte_buffer &bytes, long offset);
// Appends a value least significant byte first.
void put_le16(byte_buffer &out, uint32_t value);
void put_le32(byte_buffer &out, uint32_t value);
// Stores a 32-bit value at offset (which with its four bytes lies inside bytes).
void set_le32(byte_buffer &bytes, long offset, uint32_t value);
// The 16-bit and 32-bit values stored at p most significant byte first, as
// the formats of other systems store them (MIDI, SGI pictures).
uint32_t be16_at(const unsigned char *p);
uint32_t be32_at(const unsigned char *p);

// ---- Text ----------------------------------------------------------------------

// The lines of text. A line ends at LF, at CR LF or at CR alone (old Macs), as
// every editor writes them; a line end after the last line adds no empty line.
std::vector<std::string> split_lines(const std::string &text);

// text with every byte a terminal would act on or could not show written as
// \xNN: control characters (NUL and ESC among them), DEL, C1 controls and
// bytes that are not UTF-8. Printable ASCII and UTF-8 letters pass as they are.
std::string printable(const std::string &text);

// ---- Messages ------------------------------------------------------------------

// The name that begins every message of the running program: "pilko", or a
// tool's own name, which the tools' command line sets.
extern const char *program_name;
// Prints "PROGRAM: MESSAGE" on the standard error stream.
void report_problem(const std::string &message);
// Prints "PROGRAM: PATH: MESSAGE" on the standard error stream, the path made
// printable (a file's name may hold any byte).
void report_file_problem(const std::string &path, const std::string &message);
