// Byte buffers for the file writers: little-endian values and whole files.
#pragma once

#include <cstdint>
#include <vector>

using byte_buffer = std::vector<unsigned char>;

// Appends a 16-bit or 32-bit value, least significant byte first.
void put_le16(byte_buffer &out, uint32_t value);
void put_le32(byte_buffer &out, uint32_t value);
// Writes the buffer as the whole file; 0, or -1 when it cannot.
int write_bytes(const char *path, const byte_buffer &bytes);
// Reads a whole file; false when it cannot.
bool read_bytes(const char *path, byte_buffer &bytes);
