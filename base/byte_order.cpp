// Values in bytes, whatever the host's byte order: little-endian, the order
// of every file pilko writes, and big-endian, as MIDI and SGI store theirs.
#include "base/base.h"

#include <cassert>
#include <cstring>

uint32_t le16_at(const unsigned char *p) { return (uint32_t)p[0] | (uint32_t)p[1] << 8; }

uint32_t le32_at(const unsigned char *p) { return le16_at(p) | le16_at(p + 2) << 16; }

float le_float_at(const unsigned char *p)
{
  uint32_t bits = le32_at(p);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

uint32_t get_le32(const byte_buffer &bytes, long offset)
{
  assert(offset >= 0 && offset + 4 <= (long)bytes.size() && "get_le32 reads inside the buffer");
  return le32_at(bytes.data() + offset);
}

void put_le16(byte_buffer &out, uint32_t value)
{
  out.push_back(value & 0xFF);
  out.push_back((value >> 8) & 0xFF);
}

void put_le32(byte_buffer &out, uint32_t value)
{
  put_le16(out, value & 0xFFFF);
  put_le16(out, value >> 16);
}

void set_le32(byte_buffer &bytes, long offset, uint32_t value)
{
  assert(offset >= 0 && offset + 4 <= (long)bytes.size() && "set_le32 writes inside the buffer");
  for (int i = 0; i < 4; i++)
    bytes[offset + i] = (unsigned char)(value >> (8 * i));
}

uint32_t be16_at(const unsigned char *p) { return (uint32_t)p[0] << 8 | (uint32_t)p[1]; }

uint32_t be32_at(const unsigned char *p) { return be16_at(p) << 16 | be16_at(p + 2); }
