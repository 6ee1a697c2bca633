// Byte buffers for the file writers and readers: little-endian values.
#pragma once

#include <cstdint>
#include <vector>

using byte_buffer = std::vector<unsigned char>;

// Appends a 16-bit or 32-bit value, least significant byte first.
void put_le16(byte_buffer &out, uint32_t value);
void put_le32(byte_buffer &out, uint32_t value);
// Appends a float's 32 bits, least significant byte first.
void put_le_float(byte_buffer &out, float value);
// Stores a 32-bit value at offset (which with its four bytes lies inside the buffer).
void set_le32(byte_buffer &bytes, long offset, uint32_t value);
// The 32-bit value at offset, least significant byte first.
uint32_t get_le32(const byte_buffer &bytes, long offset);
