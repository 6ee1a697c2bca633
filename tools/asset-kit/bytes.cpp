// Little-endian values in byte buffers.
#include "tools/asset-kit/bytes.h"

#include <cassert>
#include <cstring>

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

void put_le_float(byte_buffer &out, float value)
{
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  put_le32(out, bits);
}

void set_le32(byte_buffer &bytes, long offset, uint32_t value)
{
  assert(offset >= 0 && offset + 4 <= (long)bytes.size() && "set_le32 writes inside the buffer");
  for (int i = 0; i < 4; i++)
    bytes[offset + i] = (unsigned char)(value >> (8 * i));
}

uint32_t get_le32(const byte_buffer &bytes, long offset)
{
  assert(offset >= 0 && offset + 4 <= (long)bytes.size() && "get_le32 reads inside the buffer");
  uint32_t value = 0;
  for (int i = 0; i < 4; i++)
    value |= (uint32_t)bytes[offset + i] << (8 * i);
  return value;
}
